#include "camerapicturebuilder.h"

#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
template <typename Unsigned> Unsigned read(const QByteArray& bytes, qint64 offset, bool big)
{
    return big ? qFromBigEndian<Unsigned>(bytes.constData() + offset)
               : qFromLittleEndian<Unsigned>(bytes.constData() + offset);
}
// Tags of the TIFF directory at a TIFF offset, which must be in ascending order.
std::vector<quint16> directoryTags(const QByteArray& bytes, quint32 tiffOffset, bool big)
{
    std::vector<quint16> tags;
    const qint64 start = 12 + tiffOffset;
    const quint16 count = read<quint16>(bytes, start, big);
    for (int i = 0; i < count; ++i)
        tags.push_back(read<quint16>(bytes, start + 2 + 12 * i, big));
    EXPECT_TRUE(std::is_sorted(tags.begin(), tags.end()));
    EXPECT_EQ(read<quint32>(bytes, start + 2 + 12 * count, big), 0u);
    return tags;
}

TEST(CameraPictureBuilderTest, WritesAJpegThatDecodesWithTheExifBlockFirst)
{
    for (const int major : {3, 4}) {
        for (const qint64 size : {qint64(0), qint64(100000), qint64(2 * 1024 * 1024 + 3)}) {
            CameraPictureBuilder builder;
            builder.version(major, 0).fileSize(size);
            builder.options.makerNoteDataAt = size == 100000 ? 70000 : 0; // in a segment of its own
            const QByteArray bytes = builder.bytes();
            SCOPED_TRACE(std::to_string(major) + " " + std::to_string(size));
            EXPECT_TRUE(size == 0 || bytes.size() == size);
            EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("ffd8ffe1")));
            EXPECT_EQ(bytes.mid(6, 6), QByteArray("Exif\0\0", 6));
            EXPECT_EQ(QImage::fromData(bytes, "JPEG").size(), QSize(8, 8));

            const bool big = major < 4;
            EXPECT_EQ(bytes.mid(12, 2), big ? QByteArray("MM") : QByteArray("II"));
            EXPECT_EQ(read<quint16>(bytes, 14, big), 42);
            const std::vector<quint16> ifd0 =
                directoryTags(bytes, read<quint32>(bytes, 16, big), big);
            ASSERT_EQ(ifd0.back(), 0x8769);
            const qint64 pointer = 12 + read<quint32>(bytes, 16, big) + 2 + 12 * (ifd0.size() - 1);
            const std::vector<quint16> exif =
                directoryTags(bytes, read<quint32>(bytes, pointer + 8, big), big);
            EXPECT_NE(std::find(exif.begin(), exif.end(), 0x927c), exif.end());
            EXPECT_NE(std::find(exif.begin(), exif.end(), 0x9003), exif.end());
        }
    }
}

} // namespace

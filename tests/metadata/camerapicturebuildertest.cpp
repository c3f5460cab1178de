#include "camerapicturebuilder.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {
struct Segment
{
    quint8 marker;
    qint64 offset; // of the payload
    qint64 length; // of the payload
};

// Walks the JPEG segments from SOI to SOS the way a viewer does.
std::vector<Segment> segments(const QByteArray& bytes)
{
    std::vector<Segment> found;
    qint64 position = 2;
    while (position + 4 <= bytes.size() && quint8(bytes[position]) == 0xff) {
        const quint8 marker = quint8(bytes[position + 1]);
        const qint64 length = qFromBigEndian<quint16>(bytes.constData() + position + 2);
        found.push_back({marker, position + 4, length - 2});
        if (marker == 0xda)
            break;
        position += 2 + length;
    }
    return found;
}

quint16 read16(const QByteArray& bytes, qint64 offset, bool big)
{
    return big ? qFromBigEndian<quint16>(bytes.constData() + offset)
               : qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 read32(const QByteArray& bytes, qint64 offset, bool big)
{
    return big ? qFromBigEndian<quint32>(bytes.constData() + offset)
               : qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// Tags of the TIFF directory at a TIFF offset, which must be in ascending order.
std::vector<quint16> directoryTags(const QByteArray& bytes, quint32 tiffOffset, bool big)
{
    std::vector<quint16> tags;
    const qint64 start = 12 + tiffOffset;
    const quint16 count = read16(bytes, start, big);
    for (int i = 0; i < count; ++i)
        tags.push_back(read16(bytes, start + 2 + 12 * i, big));
    EXPECT_TRUE(std::is_sorted(tags.begin(), tags.end()));
    EXPECT_EQ(read32(bytes, start + 2 + 12 * count, big), 0u);
    return tags;
}

TEST(CameraPictureBuilderTest, WritesAWellFormedJpegWithTheExifBlockFirst)
{
    for (const int major : {3, 4}) {
        for (const qint64 size : {qint64(0), qint64(100000), qint64(2 * 1024 * 1024 + 3)}) {
            CameraPictureBuilder builder;
            builder.version(major, 0).fileSize(size);
            const QByteArray bytes = builder.bytes();
            SCOPED_TRACE(std::to_string(major) + " " + std::to_string(size));
            if (size > 0) {
                EXPECT_EQ(bytes.size(), size);
            }
            EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("ffd8ffe1")));
            EXPECT_EQ(bytes.mid(6, 6), QByteArray("Exif\0\0", 6));
            const std::vector<Segment> found = segments(bytes);
            ASSERT_GE(found.size(), 6u);
            EXPECT_EQ(found.front().marker, 0xe1);
            EXPECT_EQ(found.back().marker, 0xda);
            EXPECT_TRUE(bytes.mid(found.back().offset + found.back().length)
                            .startsWith(QByteArray::fromHex("3fffd9")));

            const bool big = major < 4;
            EXPECT_EQ(bytes.mid(12, 2), big ? QByteArray("MM") : QByteArray("II"));
            EXPECT_EQ(read16(bytes, 14, big), 42);
            const std::vector<quint16> ifd0 = directoryTags(bytes, read32(bytes, 16, big), big);
            ASSERT_EQ(ifd0.back(), 0x8769);
            const qint64 pointer = 12 + read32(bytes, 16, big) + 2 + 12 * (ifd0.size() - 1);
            const std::vector<quint16> exif =
                directoryTags(bytes, read32(bytes, pointer + 8, big), big);
            EXPECT_NE(std::find(exif.begin(), exif.end(), 0x927c), exif.end());
            EXPECT_NE(std::find(exif.begin(), exif.end(), 0x9003), exif.end());
        }
    }
}

TEST(CameraPictureBuilderTest, PlacesOptionalPartsWhereAsked)
{
    CameraPictureBuilder builder;
    builder.options.makerNoteDataAt = 70000;
    BuiltCameraPicture picture = builder.build();
    EXPECT_GE(picture.layout.makerNoteOffset, 70000);
    EXPECT_EQ(segments(picture.bytes).back().marker, 0xda);

    builder.options.makerNoteDataAt = 0;
    builder.options.truncateTo = 100;
    EXPECT_EQ(builder.bytes().size(), 100);

    builder.options.truncateTo = -1;
    builder.withoutMakerNote();
    picture = builder.build();
    EXPECT_EQ(picture.layout.makerNoteOffset, -1);
    EXPECT_EQ(picture.bytes.indexOf(QByteArray::fromHex("7c92")), -1);
    EXPECT_EQ(picture.bytes.indexOf(QByteArray::fromHex("927c")), -1);
}
} // namespace

#include "camerapicturebuilder.h"
#include "metadata/exifoperator.h"
#include "metadatatestprinters.h"

#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
class PersonalInformationRemovalTest : public testing::Test
{
protected:
    QByteArray strip(const QString& source, QString* error = nullptr)
    {
        const QString destination = folder.filePath("copy.jpg");
        QFile::remove(destination);
        QString reason = QStringLiteral("not cleared");
        reader.deleteExifCopyFile(source, destination, &reason);
        if (error)
            *error = reason;
        return readAll(destination);
    }

    QTemporaryDir folder;
    ExifOperator reader;
};

TEST_F(PersonalInformationRemovalTest,
       FirstGenerationBlocksCopyTheNeutralBlockAndSecondGenerationAreasAreZeroed)
{
    CameraPictureBuilder builder;
    builder.version(3, 0);
    builder.maker.plainPatches = {{272, QByteArray("NEUTRAL BLOCK 16")}};
    const BuiltCameraPicture picture = builder.build();
    const QString source = builder.write(folder.path(), "v3.jpg");
    QString error;
    const QByteArray copy = strip(source, &error);
    EXPECT_TRUE(error.isNull()) << error.toStdString();
    EXPECT_EQ(readAll(source), picture.bytes);

    // The patient block and the area repeat the neutral block; nothing else changes.
    const qint64 d = picture.layout.makerNoteOffset;
    QByteArray expected = picture.bytes;
    expected[d + 10] = char(0xff);
    for (qint64 inNote = 288; inNote < 2048; ++inNote) {
        if (inNote < 448 || inNote >= 1024)
            expected[d + inNote] = picture.bytes[d + 272 + (inNote - 272) % 16];
    }
    EXPECT_EQ(copy, expected);

    // The second generation's areas are zeroed.
    builder = CameraPictureBuilder();
    builder.maker.patientExtraInfo = "extra";
    const BuiltCameraPicture v4 = builder.build();
    expected = v4.bytes;
    expected[v4.layout.makerNoteOffset + 10] = char(0xff);
    expected.replace(v4.layout.makerNoteOffset + 1024, 2048, QByteArray(2048, '\0'));
    EXPECT_EQ(strip(builder.write(folder.path(), "v4.jpg")), expected);
}

TEST_F(PersonalInformationRemovalTest, TheScanCoversTheWholeFileAndAnExistingCopyIsReplaced)
{
    // Beyond the reader's window the version reads as 0: a big-endian maker note
    // is still found by this scan.
    CameraPictureBuilder builder;
    builder.version(3, 0);
    builder.options.exifDirectoryAt = 2 * 1048576;
    const BuiltCameraPicture picture = builder.build();
    const QString source = builder.write(folder.path(), "far.jpg");
    ASSERT_TRUE(CameraPictureBuilder::writeFile(folder.filePath("copy.jpg"), "old copy"));
    QString error;
    reader.deleteExifCopyFile(source, folder.filePath("copy.jpg"), &error);
    EXPECT_TRUE(error.isNull());
    const QByteArray copy = readAll(folder.filePath("copy.jpg"));
    ASSERT_EQ(copy.size(), picture.bytes.size());
    EXPECT_EQ(quint8(copy[picture.layout.makerNoteOffset + 10]), 0xff);
}

TEST_F(PersonalInformationRemovalTest, NothingIsWrittenOrChangedWhenTheAreasAreNotThere)
{
    const BuiltCameraPicture v4 = CameraPictureBuilder().build();
    const BuiltCameraPicture v3 = CameraPictureBuilder().version(3, 0).build();
    std::vector<std::pair<std::string, QByteArray>> refused = {
        {"no maker note", CameraPictureBuilder().withoutMakerNote().bytes()},
        {"second generation cut short", v4.bytes.left(v4.layout.makerNoteOffset + 3071)},
        {"first generation cut short", v3.bytes.left(v3.layout.makerNoteOffset + 2047)}};
    for (const quint32 offset : {0xffffffffu, 0xfffffff4u, 0xfffff000u}) {
        QByteArray bytes = v4.bytes;
        qToLittleEndian(offset, bytes.data() + v4.layout.entryOffsets[0x927c] + 8);
        refused.push_back({"offset near 2^32", bytes});
    }
    const QString source = folder.filePath("source.jpg");
    for (const auto& [reason, bytes] : refused) {
        ASSERT_TRUE(CameraPictureBuilder::writeFile(source, bytes));
        QString error;
        EXPECT_TRUE(strip(source, &error).isEmpty()) << reason;
        EXPECT_FALSE(error.isEmpty() || QFile::exists(folder.filePath("copy.jpg"))) << reason;
    }
    QString error;
    EXPECT_TRUE(strip(folder.filePath("missing.jpg"), &error).isEmpty() && !error.isEmpty());
    CameraPictureBuilder::writeFile(source, v3.bytes.left(v3.layout.makerNoteOffset + 2048));
    EXPECT_FALSE(strip(source, &error).isEmpty());
    EXPECT_TRUE(error.isNull());

    // Refused in memory: the buffer stays as it was.
    QByteArray cut = v4.bytes.left(v4.layout.makerNoteOffset + 100);
    EXPECT_FALSE(reader.deletePersonalInformation(cut, &error));
    EXPECT_EQ(cut, v4.bytes.left(v4.layout.makerNoteOffset + 100));
    EXPECT_FALSE(error.isEmpty());
    QByteArray empty;
    EXPECT_FALSE(reader.deletePersonalInformation(empty, nullptr));
}

TEST_F(PersonalInformationRemovalTest, WriteFailuresComeBackAndLeaveTheDestinationAlone)
{
    const QString source = CameraPictureBuilder().write(folder.path(), "a.jpg");
    // A missing folder, and the source itself, which is never the destination.
    const QString unreachable = folder.filePath("no/such/folder/copy.jpg");
    for (const QString& destination : {unreachable, source}) {
        QString error;
        reader.deleteExifCopyFile(source, destination, &error);
        EXPECT_FALSE(error.isEmpty()) << destination.toStdString();
    }
    EXPECT_FALSE(QFile::exists(unreachable));
    EXPECT_EQ(readAll(source), CameraPictureBuilder().bytes());

    // A read-only folder keeps its old copy (unless we are root, who may write anyway).
    const QString locked = folder.filePath("locked/copy.jpg");
    CameraPictureBuilder::writeFile(locked, "old");
    QFile::setPermissions(folder.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString error;
    reader.deleteExifCopyFile(source, locked, &error);
    if (!error.isEmpty()) {
        EXPECT_EQ(readAll(locked), "old");
    }
    QFile::setPermissions(folder.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    reader.deleteExifCopyFile(source, folder.filePath("copy.jpg"), nullptr);
    EXPECT_TRUE(QFile::exists(folder.filePath("copy.jpg")));
}

} // namespace

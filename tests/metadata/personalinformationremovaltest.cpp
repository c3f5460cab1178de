#include "camerapicturebuilder.h"
#include "metadata/exifoperator.h"
#include "metadatatestprinters.h"

#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PersonalInformationRemovalTest : public testing::Test
{
protected:
    // Strips the picture and returns the copy's bytes (empty on failure).
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

TEST_F(PersonalInformationRemovalTest, FirstGenerationBlocksBecomeCopiesOfTheNeutralBlock)
{
    CameraPictureBuilder builder;
    builder.version(3, 0);
    builder.maker.plainPatches = {{272, QByteArray("NEUTRAL BLOCK 16")}};
    const BuiltCameraPicture picture = builder.build();
    const QString source = builder.write(folder.path(), "v3.jpg");
    QString error;
    const QByteArray copy = strip(source, &error);
    EXPECT_TRUE(error.isNull()) << error.toStdString();
    ASSERT_EQ(copy.size(), picture.bytes.size());
    EXPECT_EQ(readAll(source), picture.bytes);

    const qint64 d = picture.layout.makerNoteOffset;
    const QByteArray neutral = picture.bytes.mid(d + 272, 16);
    for (qint64 i = 0; i < copy.size(); ++i) {
        const qint64 inNote = i - d;
        const bool patientBlock = inNote >= 288 && inNote < 448;
        const bool area = inNote >= 1024 && inNote < 2048;
        if (inNote == 10)
            EXPECT_EQ(quint8(copy[i]), 0xff);
        else if (patientBlock || area)
            EXPECT_EQ(copy[i], neutral[(inNote - 272) % 16]) << inNote;
        else
            ASSERT_EQ(copy[i], picture.bytes[i]) << "byte " << i << " changed";
    }

    // Every personal field now reads the neutral plaintext.
    EXPECT_FALSE(reader.getExifData(folder.filePath("copy.jpg"), true));
    const auto entity = reader.getExifData(folder.filePath("copy.jpg"), false);
    ASSERT_TRUE(entity);
    EXPECT_EQ(entity->encryptionType, "255");
    // Block 288, bytes 12-31, and the area's bytes 6-25, from the repeated block.
    EXPECT_EQ(entity->patientID, "K 16NEUTRAL BLOCK 16");
    EXPECT_EQ(entity->extendedMakerNoteEntity->patientID, "L BLOCK 16NEUTRAL BL");
    EXPECT_EQ(entity->extendedMakerNoteEntity->patientNameOrder, "4e");
    EXPECT_EQ(entity->shootingMode, "02");
}

TEST_F(PersonalInformationRemovalTest, SecondGenerationAreasAreZeroed)
{
    CameraPictureBuilder builder;
    builder.maker.patientExtraInfo = "extra";
    const BuiltCameraPicture picture = builder.build();
    const QByteArray copy = strip(builder.write(folder.path(), "v4.jpg"));
    ASSERT_EQ(copy.size(), picture.bytes.size());
    const qint64 d = picture.layout.makerNoteOffset;
    for (qint64 i = 0; i < copy.size(); ++i) {
        const qint64 inNote = i - d;
        if (inNote == 10)
            EXPECT_EQ(quint8(copy[i]), 0xff);
        else if (inNote >= 1024 && inNote < 3072)
            ASSERT_EQ(copy[i], '\0') << inNote;
        else
            ASSERT_EQ(copy[i], picture.bytes[i]) << "byte " << i << " changed";
    }
    const auto entity = reader.getExifData(folder.filePath("copy.jpg"), false);
    ASSERT_TRUE(entity);
    EXPECT_EQ(entity->encryptionType, "255");
    EXPECT_EQ(entity->extendedMakerNoteEntity->serial, "LM4A0001");
    EXPECT_EQ(entity->extendedMakerNoteEntity->shootingMode, "02");
}

TEST_F(PersonalInformationRemovalTest, TheScanCoversTheWholeFileAndAnExistingCopyIsReplaced)
{
    // Beyond the reader's window the version reads as 0: a big-endian maker note
    // is still found by this scan.
    CameraPictureBuilder builder;
    builder.version(3, 0);
    builder.options.exifDirectoryAt = 2 * 1048576;
    const BuiltCameraPicture picture = builder.build();
    const QString source = folder.filePath("far.jpg");
    ASSERT_TRUE(CameraPictureBuilder::writeFile(source, picture.bytes));
    ASSERT_TRUE(CameraPictureBuilder::writeFile(folder.filePath("copy.jpg"), "old copy"));
    QString error;
    reader.deleteExifCopyFile(source, folder.filePath("copy.jpg"), &error);
    EXPECT_TRUE(error.isNull());
    const QByteArray copy = readAll(folder.filePath("copy.jpg"));
    ASSERT_EQ(copy.size(), picture.bytes.size());
    EXPECT_EQ(quint8(copy[picture.layout.makerNoteOffset + 10]), 0xff);
}

TEST_F(PersonalInformationRemovalTest, NothingIsWrittenWhenTheAreasAreNotThere)
{
    const QString destination = folder.filePath("copy.jpg");
    const auto expectRefused = [&](const QString& source, const char* reason) {
        QString error;
        reader.deleteExifCopyFile(source, destination, &error);
        EXPECT_FALSE(error.isEmpty()) << reason;
        EXPECT_FALSE(QFile::exists(destination)) << reason;
    };
    expectRefused(CameraPictureBuilder().withoutMakerNote().write(folder.path(), "none.jpg"),
                  "no maker note");
    expectRefused(folder.filePath("missing.jpg"), "no source");
    const BuiltCameraPicture v4 = CameraPictureBuilder().build();
    CameraPictureBuilder::writeFile(folder.filePath("short4.jpg"),
                                    v4.bytes.left(v4.layout.makerNoteOffset + 3071));
    expectRefused(folder.filePath("short4.jpg"), "second generation cut short");
    const BuiltCameraPicture v3 = CameraPictureBuilder().version(3, 0).build();
    CameraPictureBuilder::writeFile(folder.filePath("short3.jpg"),
                                    v3.bytes.left(v3.layout.makerNoteOffset + 2047));
    expectRefused(folder.filePath("short3.jpg"), "first generation cut short");
    for (const quint32 offset : {0xffffffffu, 0xfffffff4u, 0xfffff000u}) {
        QByteArray bytes = v4.bytes;
        qToLittleEndian(offset, bytes.data() + v4.layout.entryOffsets[0x927c] + 8);
        CameraPictureBuilder::writeFile(folder.filePath("wrapped.jpg"), bytes);
        expectRefused(folder.filePath("wrapped.jpg"), "offset near 2^32");
    }
    // Exactly long enough is fine.
    CameraPictureBuilder::writeFile(folder.filePath("exact.jpg"),
                                    v3.bytes.left(v3.layout.makerNoteOffset + 2048));
    QString error;
    reader.deleteExifCopyFile(folder.filePath("exact.jpg"), destination, &error);
    EXPECT_TRUE(error.isNull());
}

TEST_F(PersonalInformationRemovalTest, WriteFailuresComeBackAndLeaveTheDestinationAlone)
{
    const QString source = CameraPictureBuilder().write(folder.path(), "a.jpg");
    QString error;
    reader.deleteExifCopyFile(source, folder.filePath("no/such/folder/copy.jpg"), &error);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.filePath("no/such/folder/copy.jpg")));

    // The source itself is never the destination.
    error.clear();
    reader.deleteExifCopyFile(source, source, &error);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(source), CameraPictureBuilder().bytes());

    // A read-only folder keeps its old copy (unless we are root, who may write anyway).
    QDir(folder.path()).mkdir("locked");
    const QString locked = folder.filePath("locked/copy.jpg");
    CameraPictureBuilder::writeFile(locked, "old");
    QFile::setPermissions(folder.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    error.clear();
    reader.deleteExifCopyFile(source, locked, &error);
    if (!error.isEmpty()) {
        EXPECT_EQ(readAll(locked), "old");
    }
    QFile::setPermissions(folder.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // A null error pointer is allowed.
    reader.deleteExifCopyFile(source, folder.filePath("copy.jpg"), nullptr);
    EXPECT_TRUE(QFile::exists(folder.filePath("copy.jpg")));
}

TEST_F(PersonalInformationRemovalTest, InMemoryRemovalLeavesRefusedDataUntouched)
{
    const BuiltCameraPicture picture = CameraPictureBuilder().build();
    QByteArray cut = picture.bytes.left(picture.layout.makerNoteOffset + 100);
    const QByteArray before = cut;
    QString error;
    EXPECT_FALSE(reader.deletePersonalInformation(cut, &error));
    EXPECT_EQ(cut, before);
    EXPECT_FALSE(error.isEmpty());
    QByteArray empty;
    EXPECT_FALSE(reader.deletePersonalInformation(empty, nullptr));
}
} // namespace

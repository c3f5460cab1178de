#include "camerapicturebuilder.h"
#include "clirun.h"
#include "metadata/exifentity.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QJsonArray parsedArray(const CliRun& run)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return document.array();
}

class InspectCommandTest : public testing::Test
{
protected:
    QTemporaryDir folder;
};

TEST_F(InspectCommandTest, PrintsEveryFieldOfBothRecordsForACameraPicture)
{
    CameraPictureBuilder builder;
    builder.patient("12345", "山田 太郎").serial("A1234567");
    const QString path = builder.write(folder.path(), "IMG_0001.JPG");
    const CliRun run = runCli({"inspect", path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonArray pictures = parsedArray(run);
    ASSERT_EQ(pictures.size(), 1);
    const QJsonObject picture = pictures[0].toObject();
    EXPECT_EQ(picture["path"].toString(), path);
    EXPECT_TRUE(picture["record"].toBool());

    const QJsonObject exif = picture["exif"].toObject();
    for (const ExifEntity::Field& field : ExifEntity::textFields())
        EXPECT_TRUE(exif.contains(QLatin1String(field.name))) << field.name;
    EXPECT_EQ(exif["patientID"].toString(), "12345");
    EXPECT_EQ(exif["patientName"].toString(), "山田 太郎");
    EXPECT_EQ(exif["encryptionType"].toString(), "00");
    EXPECT_EQ(exif["majorUserTagVersion"].toString(), "4");
    EXPECT_EQ(exif["fileSize"].toInteger(), QFile(path).size());
    EXPECT_EQ(exif["encryptKey"].toString(), QByteArray("A123456724050110").toHex());
    EXPECT_EQ(exif["extendedMakerNoteData"].toString().size(), 6144);
    EXPECT_EQ(exif["extendedMakerNoteData"].toString(), exif["extendedMakerNote"].toString());

    const QJsonObject maker = picture["maker"].toObject();
    EXPECT_EQ(maker.size(), qsizetype(ExtendedMakerNoteEntity::fields().size()));
    EXPECT_EQ(maker["serial"].toString(), "A1234567");
    EXPECT_EQ(maker["totalCount"].toString(), "10000");
    EXPECT_EQ(maker["patientName"].toString(), "山田 太郎");
}

TEST_F(InspectCommandTest, AbsentFieldsAreNullAndUnreadFilesFailTheRun)
{
    CameraPictureBuilder firstGeneration;
    firstGeneration.version(2, 0);
    const QString old = firstGeneration.write(folder.path(), "old.JPG");
    const QString stripped =
        CameraPictureBuilder().encryptionType(0xff).write(folder.path(), "x.JPG");
    const QString missing = folder.filePath("missing.JPG");

    CliRun run = runCli({"inspect", old, stripped, missing});
    EXPECT_EQ(run.exitCode, 1);
    QJsonArray pictures = parsedArray(run);
    ASSERT_EQ(pictures.size(), 3);
    const QJsonObject oldPicture = pictures[0].toObject();
    EXPECT_TRUE(oldPicture["record"].toBool());
    EXPECT_TRUE(oldPicture["maker"].isNull());
    EXPECT_TRUE(oldPicture["exif"].toObject()["owner"].isNull());
    for (const int i : {1, 2}) {
        EXPECT_FALSE(pictures[i].toObject()["record"].toBool());
        EXPECT_TRUE(pictures[i].toObject()["exif"].isNull());
        EXPECT_TRUE(pictures[i].toObject()["maker"].isNull());
    }

    // Without the gate the stripped type is read too.
    run = runCli({"inspect", "--no-gate", old, stripped});
    EXPECT_EQ(run.exitCode, 0);
    pictures = parsedArray(run);
    EXPECT_EQ(pictures[1].toObject()["exif"].toObject()["encryptionType"].toString(), "255");
}

TEST_F(InspectCommandTest, RejectsMissingFilesAndUnknownOptions)
{
    EXPECT_EQ(runCli({"inspect"}).exitCode, 2);
    EXPECT_EQ(runCli({"inspect", "--gate-off", "a.jpg"}).exitCode, 2);
}

class StripCommandTest : public InspectCommandTest
{
};

TEST_F(StripCommandTest, WritesTheCopyThatTheGateRefuses)
{
    CameraPictureBuilder builder;
    builder.version(3, 0);
    const QString source = builder.write(folder.path(), "a.JPG");
    const QString copy = folder.filePath("copy.JPG");
    const CliRun run = runCli({"strip", source, copy});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QFile(copy).size(), QFile(source).size());
    EXPECT_EQ(runCli({"inspect", copy}).exitCode, 1);
    const QJsonArray pictures = parsedArray(runCli({"inspect", "--no-gate", copy}));
    EXPECT_EQ(pictures[0].toObject()["exif"].toObject()["encryptionType"].toString(), "255");
}

TEST_F(StripCommandTest, RefusesClearlyAndWritesNothingWhenTheAreasAreMissing)
{
    const QString copy = folder.filePath("copy.JPG");
    const QString plain = CameraPictureBuilder().withoutMakerNote().write(folder.path(), "n.JPG");
    CliRun run = runCli({"strip", plain, copy});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no maker note")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(copy));

    const BuiltCameraPicture picture = CameraPictureBuilder().build();
    const QString cut = folder.filePath("cut.JPG");
    CameraPictureBuilder::writeFile(cut, picture.bytes.left(picture.layout.makerNoteOffset + 2000));
    run = runCli({"strip", cut, copy});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("outside")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(copy));

    EXPECT_EQ(runCli({"strip", plain}).exitCode, 2);
}
} // namespace

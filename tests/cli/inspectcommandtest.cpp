#include "clirun.h"
#include "metadata/exifentity.h"

#include <QFile>

using InspectCommandTest = CliTest;
using StripCommandTest = CliTest;

TEST_F(InspectCommandTest, PrintsEveryFieldOfBothRecordsForACameraPicture)
{
    const QString path = CameraPictureBuilder()
                             .patient("12345", "山田 太郎")
                             .serial("A1234567")
                             .write(home.path(), "IMG_0001.JPG");
    const QJsonArray pictures = parsedJson(expectCli({"inspect", path}, 0).out).array();
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

// strip writes a copy of the same size that the gate refuses: inspect then fails the
// run for it (and for a missing file), and reads it only without the gate.
TEST_F(StripCommandTest, WritesTheCopyThatTheGateRefusesAndInspectShowsAbsentFieldsAsNull)
{
    const QString old = CameraPictureBuilder().version(2, 0).write(home.path(), "old.JPG");
    const QString original = CameraPictureBuilder().version(3, 0).write(home.path(), "a.JPG");
    const QString copy = home.filePath("copy.JPG");
    expectCli({"strip", original, copy}, 0);
    EXPECT_EQ(QFile(copy).size(), QFile(original).size());

    QJsonArray pictures =
        parsedJson(expectCli({"inspect", old, copy, copy + "-missing"}, 1).out).array();
    ASSERT_EQ(pictures.size(), 3);
    EXPECT_TRUE(pictures[0][u"record"].toBool());
    EXPECT_TRUE(pictures[0][u"maker"].isNull());
    EXPECT_TRUE(pictures[0][u"exif"][u"owner"].isNull());
    for (const int i : {1, 2}) {
        EXPECT_FALSE(pictures[i][u"record"].toBool());
        EXPECT_TRUE(pictures[i][u"exif"].isNull());
        EXPECT_TRUE(pictures[i][u"maker"].isNull());
    }

    pictures = parsedJson(expectCli({"inspect", "--no-gate", old, copy}, 0).out).array();
    EXPECT_EQ(pictures[1][u"exif"][u"encryptionType"].toString(), "255");

    // Without the areas it works on, it refuses and writes nothing.
    const BuiltCameraPicture picture = CameraPictureBuilder().build();
    const QString cut = home.filePath("cut.JPG");
    CameraPictureBuilder::writeFile(cut, picture.bytes.left(picture.layout.makerNoteOffset + 2000));
    const QString plain = CameraPictureBuilder().withoutMakerNote().write(home.path(), "n.JPG");
    QFile::remove(copy);
    for (const auto& [source, reason] :
         {std::pair{plain, "no maker note"}, std::pair{cut, "outside"}}) {
        expectCli({"strip", source, copy}, 1, reason);
        EXPECT_FALSE(QFile::exists(copy));
    }
}

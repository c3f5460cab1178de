#include "camerapicturebuilder.h"
#include "metadata/exifoperator.h"
#include "metadatatestprinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class ExifDataTest : public testing::Test
{
protected:
    std::optional<ExifEntity> read(const CameraPictureBuilder& builder, bool gate = true,
                                   const QString& name = QStringLiteral("IMG_0001.JPG"))
    {
        return reader.getExifData(builder.write(folder.path(), name), gate);
    }

    QTemporaryDir folder;
    ExifOperator reader;
};

TEST_F(ExifDataTest, VersionFieldsComeFromThePlainMakerNoteBytes)
{
    CameraPictureBuilder builder;
    const auto versionTexts = [&] {
        return textsOf(reader.getUserTagVersion(builder.bytes()), ExifEntity::textFields());
    };
    builder.version(4, 12).encryptionType(0x01);
    EXPECT_EQ(versionTexts(), "majorUserTagVersion=4 minorUserTagVersion=12 encryptionType=01");
    builder.version(255, 0).encryptionType(0xff);
    EXPECT_EQ(versionTexts(), "majorUserTagVersion=255 minorUserTagVersion=0 encryptionType=255");
    builder.version(3, 1).encryptionType(0);
    EXPECT_EQ(versionTexts(), "majorUserTagVersion=3 minorUserTagVersion=1 encryptionType=00");

    // Neither "II" nor "MM", or no maker note: nothing is set.
    QByteArray bytes = builder.bytes();
    bytes[12] = 'X';
    EXPECT_EQ(reader.getUserTagVersion(bytes), ExifEntity());
    EXPECT_EQ(reader.getUserTagVersion(CameraPictureBuilder().withoutMakerNote().bytes()),
              ExifEntity());
    EXPECT_EQ(reader.getUserTagVersion(bytes.left(13)), ExifEntity());
}

TEST_F(ExifDataTest, TheVersionTableChoosesTheReader)
{
    const std::tuple<int, int, bool> versions[] = {{0, 0, false}, {1, 9, false}, {2, 0, false},
                                                   {2, 1, true},  {2, 2, true},  {3, 0, true},
                                                   {3, 7, true},  {4, 0, true},  {9, 3, true}};
    for (const auto& [major, minor, detailed] : versions) {
        SCOPED_TRACE(std::to_string(major) + "." + std::to_string(minor));
        CameraPictureBuilder builder;
        const auto entity = read(builder.version(major, minor));
        ASSERT_TRUE(entity);
        EXPECT_EQ(entity->extendedMakerNoteEntity.has_value(), detailed);
        EXPECT_EQ(entity->majorUserTagVersion, QString::number(major));
        EXPECT_EQ(entity->extendedMakerNoteData->size(), major >= 4 ? 3072 : 2048);
        EXPECT_EQ(entity->fileSize, quint64(builder.bytes().size()));
    }
}

TEST_F(ExifDataTest, TheGateRefusesEveryEncryptionTypeButZeroAtAnyVersion)
{
    for (const int major : {1, 2, 3, 4}) {
        for (const quint8 type : {quint8(0x01), quint8(0xff), quint8(0x10)}) {
            CameraPictureBuilder builder;
            builder.version(major, 1).encryptionType(type);
            EXPECT_FALSE(read(builder, true)) << major << " " << int(type);
            const auto ungated = read(builder, false);
            ASSERT_TRUE(ungated) << major << " " << int(type);
            EXPECT_EQ(ungated->encryptionType, type == 1 ? "01" : (type == 0x10 ? "16" : "255"));
        }
    }
}

TEST_F(ExifDataTest, AFileWithoutMakerNoteOrByteOrderMarkIsRefusedByTheGate)
{
    EXPECT_FALSE(read(CameraPictureBuilder().withoutMakerNote(), true));
    EXPECT_FALSE(read(CameraPictureBuilder().withoutMakerNote(), false));
    QByteArray bytes = CameraPictureBuilder().version(3, 0).bytes();
    bytes[12] = 'm';
    const QString path = folder.filePath("mark.jpg");
    ASSERT_TRUE(CameraPictureBuilder::writeFile(path, bytes));
    // Refused by the gate (no encryption type); without it the big-endian reader
    // reads it, as it takes the byte order as given, with no detailed record.
    EXPECT_FALSE(reader.getExifData(path, true));
    const auto ungated = reader.getExifData(path, false);
    ASSERT_TRUE(ungated);
    EXPECT_FALSE(ungated->majorUserTagVersion || ungated->encryptionType ||
                 ungated->extendedMakerNoteEntity);
    EXPECT_FALSE(reader.getExifData(folder.filePath("missing.jpg"), false));
    EXPECT_FALSE(reader.getExifData(folder.path(), false));
}

TEST_F(ExifDataTest, NamesDecideTheSecondGenerationAndAMovieIndexIsReadOnlyBesideItsMovie)
{
    const CameraPictureBuilder builder;
    for (const char* name :
         {"a.JPG", "a.jpg", "a.JPEG", "a.jpeg", "a.jpe", "a.jfif", "a.jfi", "a.jif", "dir.x/a.JPG"})
        EXPECT_TRUE(read(builder, true, name)) << name;
    for (const char* name : {"a.JPE", "a.Jpg", "a.JFIF", "a.jpg.bak", "a.png", "a"})
        EXPECT_FALSE(read(builder, true, name)) << name;
    EXPECT_TRUE(read(CameraPictureBuilder().version(3, 0), true, "a.JPE"));

    const std::tuple<const char*, const char*, const char*, bool> rows[] = {
        {"A", "MIF", "mov", true},  {"B", "MIF", "MOV", true}, {"C", "mif", "MOV", true},
        {"D", "mif", "mov", true},  {"E", "MIF", "", false},   {"F", "mif", "", false},
        {"G", "MIF", "MP4", false}, {"H", "Mif", "MOV", false}};
    for (const auto& [base, picture, movie, readable] : rows) {
        const MovieIndexPair pair =
            CameraPictureBuilder().writeMovieIndexPair(folder.path(), base, picture, movie);
        EXPECT_EQ(reader.getExifData(pair.picturePath, true).has_value(), readable) << base;
    }

    const QString picture = builder.write(folder.filePath("CARD.MIF"), "A.MIF");
    EXPECT_FALSE(reader.getExifData(picture, true));
    // Beside the picture: not where the replacement looks.
    CameraPictureBuilder::writeFile(folder.filePath("CARD.MIF/A.MOV"),
                                    CameraPictureBuilder::movieBytes());
    EXPECT_FALSE(reader.getExifData(picture, true));
    // Under the changed folder name: found.
    CameraPictureBuilder::writeFile(folder.filePath("CARD.MOV/A.MOV"),
                                    CameraPictureBuilder::movieBytes());
    EXPECT_TRUE(reader.getExifData(picture, true));
}

TEST_F(ExifDataTest, EachVersionTakesThePatientIdAndNameFromItsOwnPlaces)
{
    using Text = std::optional<QString>;
    const struct
    {
        int major, minor;
        QByteArray areaID, blockID;
        Text recordID, recordName, recordName_I, flatID, flatName;
    } cases[] = {
        // 2.1 takes ID and name together from the flat record when the area's ID is
        // empty, and clears the rest of the area.
        {2, 1, "AREA-ID", "BASE-ID", "AREA-ID", {}, {}, "BASE-ID", "Area Name"},
        {2, 1, "", "BASE-ID", "BASE-ID", "Area Name", {}, "BASE-ID", "Area Name"},
        // 3 takes them separately.
        {3, 0, "AREA-ID", "BASE-ID", "AREA-ID", "Area Name", "Area^Name", "BASE-ID", "Area Name"},
        {3, 0, "", "BASE-ID", "BASE-ID", "Area Name", "Area^Name", "BASE-ID", "Area Name"},
        // The second generation takes the ID of its patient block, even an empty one;
        // order ff shows the ideographic name as it stands and empties it.
        {4, 0, "AREA-ID", "BASE-ID", "BASE-ID", "Area^Name", "", "BASE-ID", "Area^Name"},
        {4, 0, "AREA-ID", "", "", "Area^Name", "", "", "Area^Name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor) + " area " +
                     c.areaID.toStdString() + " block " + c.blockID.toStdString());
        CameraPictureBuilder builder;
        builder.version(c.major, c.minor);
        builder.maker.patientNameOrder = c.major >= 4 ? 0xff : 0x04;
        builder.maker.patientID = c.areaID;
        builder.maker.blockPatientID = c.blockID;
        builder.maker.blockPatientName = "Base Name";
        builder.maker.patientName_I = "Area^Name";
        const auto entity = read(builder);
        ASSERT_TRUE(entity && entity->extendedMakerNoteEntity);
        const ExtendedMakerNoteEntity& record = *entity->extendedMakerNoteEntity;
        EXPECT_EQ(std::tie(record.patientID, record.patientName, record.patientName_I),
                  std::tie(c.recordID, c.recordName, c.recordName_I));
        EXPECT_EQ(std::tie(entity->patientID, entity->patientName), std::tie(c.flatID, c.flatName));
        EXPECT_EQ(record.shootingMode, "02");
        EXPECT_EQ(record.serial, "LM4A0001");
        for (const auto& field : ExtendedMakerNoteEntity::fields()) {
            const std::string name = field.name;
            const bool cleared = c.major == 2 &&
                                 (name.starts_with("patient") || name.starts_with("operator") ||
                                  name == "date_QR") &&
                                 name != "patientID" && name != "patientName" &&
                                 name != "patientExtraInfo" && name != "operatorExtraInfo";
            EXPECT_TRUE(!cleared || !(record.*field.member)) << name;
        }
    }
}
} // namespace

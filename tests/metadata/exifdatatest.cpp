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
    builder.version(4, 12);
    builder.encryptionType(0x01);
    ExifEntity version = reader.getUserTagVersion(builder.bytes());
    EXPECT_EQ(version.majorUserTagVersion, "4");
    EXPECT_EQ(version.minorUserTagVersion, "12");
    EXPECT_EQ(version.encryptionType, "01");
    builder.version(255, 0).encryptionType(0xff);
    version = reader.getUserTagVersion(builder.bytes());
    EXPECT_EQ(version.majorUserTagVersion, "255");
    EXPECT_EQ(version.encryptionType, "255");
    EXPECT_EQ(
        reader.getUserTagVersion(builder.encryptionType(0).version(3, 1).bytes()).encryptionType,
        "00");
    EXPECT_FALSE(version.productNumber);
    EXPECT_FALSE(version.patientID);

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
    struct Row
    {
        int major;
        int minor;
        bool detailed;
    };
    for (const Row row :
         {Row{0, 0, false}, Row{1, 9, false}, Row{2, 0, false}, Row{2, 1, true}, Row{2, 2, true},
          Row{3, 0, true}, Row{3, 7, true}, Row{4, 0, true}, Row{9, 3, true}}) {
        CameraPictureBuilder builder;
        builder.version(row.major, row.minor);
        const auto entity = read(builder);
        ASSERT_TRUE(entity) << row.major << "." << row.minor;
        EXPECT_EQ(entity->extendedMakerNoteEntity.has_value(), row.detailed)
            << row.major << "." << row.minor;
        EXPECT_EQ(entity->majorUserTagVersion, QString::number(row.major));
        EXPECT_EQ(entity->extendedMakerNoteData->size(), row.major >= 4 ? 3072 : 2048);
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

TEST_F(ExifDataTest, SecondGenerationNeedsAPictureExtensionCaseSensitively)
{
    const CameraPictureBuilder builder;
    for (const char* name :
         {"a.JPG", "a.jpg", "a.JPEG", "a.jpeg", "a.jpe", "a.jfif", "a.jfi", "a.jif", "dir.x/a.JPG"})
        EXPECT_TRUE(read(builder, true, name)) << name;
    for (const char* name : {"a.JPE", "a.Jpg", "a.JFIF", "a.jpg.bak", "a.png", "a"})
        EXPECT_FALSE(read(builder, true, name)) << name;
    // The first generation is read whatever the name.
    EXPECT_TRUE(read(CameraPictureBuilder().version(3, 0), true, "a.JPE"));
}

TEST_F(ExifDataTest, AMovieIndexPictureIsReadOnlyBesideItsMovie)
{
    // Any case pairing of the movie finds it; without a movie neither spelling of
    // the extension finds itself; a movie of another kind does not count; a
    // mixed-case extension is no movie index.
    struct Row
    {
        const char* base;
        const char* pictureExtension;
        const char* movieExtension;
        bool read;
    };
    const CameraPictureBuilder builder;
    for (const Row& row :
         {Row{"A", "MIF", "mov", true}, Row{"B", "MIF", "MOV", true}, Row{"C", "mif", "MOV", true},
          Row{"D", "mif", "mov", true}, Row{"E", "MIF", "", false}, Row{"F", "mif", "", false},
          Row{"G", "MIF", "MP4", false}, Row{"H", "Mif", "MOV", false}}) {
        const MovieIndexPair pair = builder.writeMovieIndexPair(
            folder.path(), row.base, row.pictureExtension, row.movieExtension);
        EXPECT_EQ(reader.getExifData(pair.picturePath, true).has_value(), row.read) << row.base;
    }
}

TEST_F(ExifDataTest, FolderNamesTakePartInTheMovieReplacement)
{
    const CameraPictureBuilder builder;
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
        int major;
        int minor;
        QByteArray areaID;
        QByteArray blockID;
        Text recordID;
        Text recordName;
        Text recordName_I;
        Text flatID;
        Text flatName;
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

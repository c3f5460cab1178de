#include "importer/basewatchfolderoperator.h"
#include "importfixture.h"
#include "metadata/exifoperator.h"

using namespace Qt::StringLiterals;

using Naming = BaseWatchFolderOperator;

TEST(DestinationFileNamingTest, ReadsTheCodeTables)
{
    EXPECT_EQ(Naming::getShootingModeString(u"fe"_s), "_ID");
    EXPECT_EQ(Naming::getShootingModeString2(u"Ff"_s), "_Name");
    EXPECT_EQ(Naming::getShootingModeString(u"1"_s), "");
    EXPECT_EQ(Naming::getShootingModeString(u"09"_s), "_Tmac");
    EXPECT_EQ(Naming::getShootingModeString2(u"08"_s), "_Mov");
    EXPECT_EQ(Naming::getShootingModeString(std::nullopt), "");
    for (const char* mode : {"08", "FE", "FF", "fe"})
        EXPECT_EQ(Naming::getCustomModeString(QString::fromLatin1(mode), u"01"_s), "") << mode;
    EXPECT_EQ(Naming::getCustomModeString(u"07"_s, u"03"_s), "-C3");
    EXPECT_EQ(Naming::getCustomModeString(u"00"_s, u"04"_s), "");
    EXPECT_EQ(Naming::getAdditionalInformationString(u"02"_s), "_FLP");
    EXPECT_EQ(Naming::getAdditionalInformationString2(u"04"_s), "_BW");
    EXPECT_EQ(Naming::getAdditionalInformationString2(u"05"_s), "");
    EXPECT_EQ(Naming::getDrawFlagString(u"01"_s), "_D");
    EXPECT_EQ(Naming::getDrawFlagString(u"11"_s), "");
    EXPECT_EQ(Naming::getDrawFlagString(std::nullopt), "");
    // Without a detailed maker note a picture is named with the first set.
    EXPECT_EQ(Naming::majorVersion(ExifEntity()), 0);
}

TEST(DestinationFileNamingTest, MakesFolderNamesSafeAndGroupsNumericIDs)
{
    EXPECT_EQ(Naming::replaceDirectoryName(u"a/b:c*d"_s), u"a_bc.d"_s);
    EXPECT_EQ(Naming::replaceDirectoryName(QStringLiteral("<x>?|\"")), u"(x)..'"_s);
    EXPECT_FALSE(Naming::replaceDirectoryName(std::nullopt).has_value());

    QStringList groups;
    for (const char* id : {"123456", "999", "12", "1000", "99999999999999999999",
                           "9999999999999999999", "123456789012345678901"})
        groups << Naming::getDividedFolderName(id);
    EXPECT_EQ(groups, (QStringList{"$123000", "$0000", "$0000", "$1000", "$99999999999999999000",
                                   "$9999999999999999000", "123456789012345678901"}));

    // A day folder is one folder name whatever its format holds.
    const QDate day(2024, 5, 1);
    const QList<std::pair<QString, std::optional<QString>>> dayFolders = {
        {"yyyy-MM-dd", "2024-05-01"}, {"yyyy/../../../../EVIL", "2024_.._.._.._.._EVIL"},
        {"yyyy/MM", "2024_05"},       {"'..'", std::nullopt},
        {"'.'", std::nullopt},        {"", std::nullopt},
    };
    for (const auto& [format, name] : dayFolders)
        EXPECT_EQ(Naming::getDayFolderName(day, format), name) << format.toStdString();
    EXPECT_EQ(Naming::getDayFolderName(QDate(), u"yyyy"_s), std::nullopt);

    EXPECT_EQ(Naming::getHideFileName("/a/b/name.xml"), "/a/b/.name.xml");
    EXPECT_EQ(Naming::getHideFileName("name.xml"), "name.xml");
}

TEST(DestinationFileNamingTest, FindsAFreeNameOrTheSameShotInTheStagingFolder)
{
    TempHome home;
    const QString folder = home.filePath("staging");
    const CameraPictureBuilder picture;
    const std::optional<ExifEntity> exif =
        ExifOperator().getExifData(picture.write(home.path(), "a.jpg"), true);
    ASSERT_TRUE(exif.has_value());

    EXPECT_EQ(Naming::getValidNewImageFileName2(folder, u"jpg"_s, *exif),
              folder + "/2024-05-01 101530_Mirr-C1.jpg");
    EXPECT_EQ(Naming::getValidNewImageFileName2(folder, std::nullopt, *exif),
              folder + "/2024-05-01 101530_Mirr-C1.JPG");

    // The same shot staged under a numbered name gets no name at all.
    picture.write(folder, "2024-05-01 101530_Mirr-C1(7).jpg");
    EXPECT_FALSE(Naming::getValidNewImageFileName2(folder, u"jpg"_s, *exif).has_value());
    EXPECT_TRUE(Naming::checkNewImageFileExif(*exif, folder + "/2024-05-01 101530_Mirr-C1(7).jpg"));
    EXPECT_FALSE(Naming::checkNewImageFileExif(*exif, folder + "/missing.jpg"));
}

TEST(DestinationFileNamingTest, RefusesDateTimesThatCannotNameAPicture)
{
    ExifEntity exif;
    exif.dateTimeOriginal = u"2024:05:01 10:15:30"_s;
    EXPECT_TRUE(Naming::hasNameableDateTime(exif));
    for (const QString& bad : {u"2024:05:01"_s, u"2024/05/01 10:15:30"_s,
                               u"2024:05:01 10:15:3"_s + QChar(u'\0'), QString()}) {
        exif.dateTimeOriginal = bad;
        EXPECT_FALSE(Naming::hasNameableDateTime(exif)) << bad.toStdString();
    }
    exif.dateTimeOriginal.reset();
    EXPECT_FALSE(Naming::hasNameableDateTime(exif));
}

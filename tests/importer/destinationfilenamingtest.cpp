#include "importer/basewatchfolderoperator.h"
#include "importfixture.h"
#include "metadata/exifoperator.h"

#include <QDir>

using Naming = BaseWatchFolderOperator;

TEST(DestinationFileNamingTest, ReadsTheCodeTables)
{
    EXPECT_EQ(Naming::getShootingModeString(QStringLiteral("fe")), "_ID");
    EXPECT_EQ(Naming::getShootingModeString2(QStringLiteral("Ff")), "_Name");
    EXPECT_EQ(Naming::getShootingModeString(QStringLiteral("1")), "");
    EXPECT_EQ(Naming::getShootingModeString(QStringLiteral("09")), "_Tmac");
    EXPECT_EQ(Naming::getShootingModeString2(QStringLiteral("08")), "_Mov");
    EXPECT_EQ(Naming::getShootingModeString(std::nullopt), "");
    for (const char* mode : {"08", "FE", "FF", "fe"})
        EXPECT_EQ(Naming::getCustomModeString(QString::fromLatin1(mode), QStringLiteral("01")), "")
            << mode;
    EXPECT_EQ(Naming::getCustomModeString(QStringLiteral("07"), QStringLiteral("03")), "-C3");
    EXPECT_EQ(Naming::getCustomModeString(QStringLiteral("00"), QStringLiteral("04")), "");
    EXPECT_EQ(Naming::getAdditionalInformationString(QStringLiteral("02")), "_FLP");
    EXPECT_EQ(Naming::getAdditionalInformationString2(QStringLiteral("04")), "_BW");
    EXPECT_EQ(Naming::getAdditionalInformationString2(QStringLiteral("05")), "");
    EXPECT_EQ(Naming::getDrawFlagString(QStringLiteral("01")), "_D");
    EXPECT_EQ(Naming::getDrawFlagString(QStringLiteral("11")), "");
    EXPECT_EQ(Naming::getDrawFlagString(std::nullopt), "");
    // Without a detailed maker note a picture is named with the first set.
    EXPECT_EQ(Naming::majorVersion(ExifEntity()), 0);
}

TEST(DestinationFileNamingTest, MakesFolderNamesSafeAndGroupsNumericIDs)
{
    EXPECT_EQ(Naming::replaceDirectoryName(QStringLiteral("a/b:c*d")), QStringLiteral("a_bc.d"));
    EXPECT_EQ(Naming::replaceDirectoryName(QStringLiteral("<x>?|\"")), QStringLiteral("(x)..'"));
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
    EXPECT_EQ(Naming::getDayFolderName(QDate(), QStringLiteral("yyyy")), std::nullopt);

    EXPECT_EQ(Naming::getHideFileName("/a/b/name.xml"), "/a/b/.name.xml");
    EXPECT_EQ(Naming::getHideFileName("name.xml"), "name.xml");
}

TEST(DestinationFileNamingTest, FindsAFreeNameOrTheSameShotInTheStagingFolder)
{
    TempHome home;
    const QString folder = home.filePath("staging");
    CameraPictureBuilder picture;
    picture.captureDateTime(QStringLiteral("2024:05:01 10:15:30"));
    const std::optional<ExifEntity> exif =
        ExifOperator().getExifData(picture.write(home.path(), "a.jpg"), true);
    ASSERT_TRUE(exif.has_value());

    const std::optional<QString> first =
        Naming::getValidNewImageFileName2(folder, QStringLiteral("jpg"), *exif);
    EXPECT_EQ(first, folder + "/2024-05-01 101530_Mirr-C1.jpg");
    EXPECT_EQ(Naming::getValidNewImageFileName2(folder, std::nullopt, *exif),
              folder + "/2024-05-01 101530_Mirr-C1.JPG");

    // The same shot staged under a numbered name gets no name at all.
    picture.write(folder, "2024-05-01 101530_Mirr-C1(7).jpg");
    EXPECT_FALSE(
        Naming::getValidNewImageFileName2(folder, QStringLiteral("jpg"), *exif).has_value());
    EXPECT_TRUE(Naming::checkNewImageFileExif(*exif, folder + "/2024-05-01 101530_Mirr-C1(7).jpg"));
    EXPECT_FALSE(Naming::checkNewImageFileExif(*exif, folder + "/missing.jpg"));
}

TEST(DestinationFileNamingTest, RefusesDateTimesThatCannotNameAPicture)
{
    ExifEntity exif;
    exif.dateTimeOriginal = QStringLiteral("2024:05:01 10:15:30");
    EXPECT_TRUE(Naming::hasNameableDateTime(exif));
    for (const QString& bad : {QStringLiteral("2024:05:01"), QStringLiteral("2024/05/01 10:15:30"),
                               QStringLiteral("2024:05:01 10:15:3") + QChar(u'\0'), QString()}) {
        exif.dateTimeOriginal = bad;
        EXPECT_FALSE(Naming::hasNameableDateTime(exif)) << bad.toStdString();
    }
    exif.dateTimeOriginal.reset();
    EXPECT_FALSE(Naming::hasNameableDateTime(exif));
}

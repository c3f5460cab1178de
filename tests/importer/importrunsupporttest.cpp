#include "common/talvorencommon.h"
#include "importer/basewatchfolderoperator.h"
#include "importfixture.h"
#include "metadata/exifoperator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using Support = BaseWatchFolderOperator;

TEST(ImportRunSupportTest, AcceptsOnlyTheMakersCameras)
{
    ExifEntity exif;
    exif.imageDescription = QStringLiteral(" VELKO DENTAL DIGITAL CAMERA\t");
    exif.maker = QStringLiteral("(c) VELKO INC. Japan");
    exif.model = QStringLiteral("Lumora K-4 ");
    EXPECT_TRUE(Support::checkValidImageData(exif));
    exif.model = QStringLiteral("Lumora K-5") + QChar(0x3000);
    EXPECT_TRUE(Support::checkValidImageData(exif));
    exif.model = QStringLiteral("lumora k-4");
    EXPECT_FALSE(Support::checkValidImageData(exif));
    exif.model = QStringLiteral("Lumora K-6");
    EXPECT_FALSE(Support::checkValidImageData(exif));
    exif.model = QStringLiteral("Lumora K-2");
    exif.maker = QStringLiteral("VELKO INC");
    EXPECT_FALSE(Support::checkValidImageData(exif));
    exif.maker.reset();
    EXPECT_FALSE(Support::checkValidImageData(exif));
}

TEST(ImportRunSupportTest, CountsUpperCasePicturesOutsideTheTrashes)
{
    TempHome home;
    const QString card = home.filePath("card");
    for (const char* name : {"DCIM/100/A.JPG", "DCIM/100/B.jpg", "DCIM/100/C.MIF", ".Trashes/D.JPG",
                             "DCIM/.thumbs/E.JPG", "DCIM/.F.JPG"})
        CameraPictureBuilder::writeFile(card + "/" + name, "x");
    EXPECT_EQ(Support::getTotalImageFileCount(card, 0), 2);
    EXPECT_EQ(Support::getTotalImageFileCount(card, 5), 7);
    EXPECT_EQ(Support::getTotalImageFileCount(home.filePath("missing"), 3), 3);
    // A link back to a folder above would otherwise be walked until paths overflow.
    QFile::link(card, card + "/DCIM/loop");
    EXPECT_TRUE(Support::isLoopingFolder(card + "/DCIM/loop"));
    EXPECT_EQ(Support::getTotalImageFileCount(card, 0), 2);
}

TEST(ImportRunSupportTest, KeepsTheTransferringMarkerInTheApplicationDataFolder)
{
    TempHome home;
    const QString marker = Support::transferringFilePath();
    EXPECT_EQ(marker, TalvorenCommon::getApplicationDataDirectory() + "/$TMP");
    Support::createTransferringFile();
    Support::createTransferringFile();
    EXPECT_TRUE(QFileInfo(marker).isFile());
    EXPECT_EQ(QFileInfo(marker).size(), 0);
    Support::deleteTransferringFile();
    Support::deleteTransferringFile();
    EXPECT_FALSE(QFileInfo::exists(marker));
}

TEST(ImportRunSupportTest, LogsElevenLinesPerPicture)
{
    TempHome home;
    CameraPictureBuilder picture;
    picture.patient(QStringLiteral("42"), QStringLiteral("Kato Rin")).shootingMode(0x00);
    picture.maker.flipDirection = 0x03;
    const QString path = picture.write(home.path(), "a.JPG");
    const std::optional<ExifEntity> exif = ExifOperator().getExifData(path, true);
    ASSERT_TRUE(exif.has_value());

    LogCapture log;
    Support::logoutExifInformation(*exif, path, QStringLiteral("unused"));
    const QStringList lines = log.text().split('\n', Qt::SkipEmptyParts);

    ASSERT_EQ(lines.size(), 11);
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains("[debug]: ")) << line.toStdString();
    EXPECT_TRUE(lines[0].endsWith(
        QStringLiteral("対象ファイル取得：%1(%2bytes)").arg(path).arg(QFileInfo(path).size())));
    EXPECT_TRUE(lines[1].endsWith("Exif情報：オリジナル撮影日時[2024:05:01 10:15:30]"));
    EXPECT_TRUE(lines[3].endsWith("Exif情報：機種[Lumora K-4]"));
    EXPECT_TRUE(lines[5].endsWith("メーカーノートバージョン：4.0"));
    EXPECT_TRUE(lines[6].endsWith("メーカーノートシリアルNo.：LM4A0001"));
    EXPECT_TRUE(lines[9].endsWith("メーカーノート患者情報：【撮影モード】STD 【付属情報】COL "
                                  "【患者ID】42 【患者名】Kato Rin"))
        << lines[9].toStdString();
    EXPECT_TRUE(lines[10].contains("メーカーノートダンプ：04"));

    EXPECT_EQ(Support::nullToBlank(std::nullopt), "");
    EXPECT_EQ(Support::nullToBlank(QString()), "");
    EXPECT_EQ(Support::nullToBlank(QStringLiteral("x")), "x");
}

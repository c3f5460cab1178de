#include "common/talvorencommon.h"
#include "importer/basewatchfolderoperator.h"
#include "importer/cameracheck.h"
#include "importer/exifdebuglog.h"
#include "importer/importfolderwalk.h"
#include "importer/transferringmarker.h"
#include "importfixture.h"
#include "metadata/exifoperator.h"

#include <QFile>
#include <QFileInfo>

TEST(CameraCheckTest, AcceptsOnlyTheMakersCameras)
{
    ExifEntity exif;
    exif.imageDescription = QStringLiteral(" VELKO DENTAL DIGITAL CAMERA\t");
    exif.maker = QStringLiteral("(c) VELKO INC. Japan");
    for (const QString& model : {QStringLiteral("Lumora K-4 "), QStringLiteral("Lumora K-5\u3000")})
        EXPECT_TRUE(CameraCheck::isAcceptedCamera((exif.model = model, exif)));
    for (const char* model : {"lumora k-4", "Lumora K-6"})
        EXPECT_FALSE(CameraCheck::isAcceptedCamera((exif.model = QString(model), exif)));
    exif.model = QStringLiteral("Lumora K-2");
    exif.maker = QStringLiteral("VELKO INC");
    EXPECT_FALSE(CameraCheck::isAcceptedCamera(exif));
    exif.maker.reset();
    EXPECT_FALSE(CameraCheck::isAcceptedCamera(exif));
}

TEST(ImportFolderWalkTest, CountsUpperCasePicturesOutsideTheTrashes)
{
    TempHome home;
    const QString card = home.filePath("card");
    for (const char* name : {"DCIM/100/A.JPG", "DCIM/100/B.jpg", "DCIM/100/C.MIF", ".Trashes/D.JPG",
                             "DCIM/.thumbs/E.JPG", "DCIM/.F.JPG"})
        CameraPictureBuilder::writeFile(card + "/" + name, "x");
    // A link back to a folder above would otherwise be walked until paths overflow.
    QFile::link(card, card + "/DCIM/loop");
    EXPECT_EQ(BaseWatchFolderOperator::getTotalImageFileCount(card, 5), 7);
    EXPECT_EQ(ImportFolderWalk::pictureCount(home.filePath("missing"), 3), 3);
}

TEST(TransferringMarkerTest, StandsInTheApplicationDataFolder)
{
    TempHome home;
    const QString marker = TransferringMarker::path();
    EXPECT_EQ(marker, TalvorenCommon::getApplicationDataDirectory() + "/$TMP");
    BaseWatchFolderOperator::createTransferringFile();
    BaseWatchFolderOperator::createTransferringFile();
    EXPECT_TRUE(QFileInfo(marker).isFile() && QFileInfo(marker).size() == 0);
    BaseWatchFolderOperator::deleteTransferringFile();
    BaseWatchFolderOperator::deleteTransferringFile();
    EXPECT_FALSE(QFileInfo::exists(marker));
}

TEST(ExifDebugLogTest, LogsElevenLinesPerPicture)
{
    TempHome home;
    CameraPictureBuilder picture;
    picture.patient(QStringLiteral("42"), QStringLiteral("Kato Rin")).shootingMode(0x00);
    picture.maker.flipDirection = 0x03;
    const QString path = picture.write(home.path(), "a.JPG");
    const std::optional<ExifEntity> exif = ExifOperator().getExifData(path, true);
    ASSERT_TRUE(exif.has_value());

    StderrCapture log;
    ExifDebugLog::write(*exif, path);
    const QStringList lines = log.text().split('\n', Qt::SkipEmptyParts);

    // Empty expected lines hold what this picture leaves blank.
    const QStringList expected = QString::fromUtf8(R"(対象ファイル取得：%1(%2bytes)
Exif情報：オリジナル撮影日時[2024:05:01 10:15:30]

Exif情報：機種[Lumora K-4]

メーカーノートバージョン：4.0
メーカーノートシリアルNo.：LM4A0001


メーカーノート患者情報：【撮影モード】STD 【付属情報】COL 【患者ID】42 【患者名】Kato Rin
メーカーノートダンプ：04)")
                                     .arg(path)
                                     .arg(QFileInfo(path).size())
                                     .split('\n');
    ASSERT_EQ(lines.size(), expected.size());
    for (qsizetype line = 0; line < expected.size(); ++line)
        EXPECT_TRUE(lines[line].contains("[debug]: " + expected[line]))
            << lines[line].toStdString();
}

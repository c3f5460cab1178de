#include "importer/exifdebuglog.h"

#include "common/log.h"
#include "importer/cameracheck.h"
#include "importer/destinationfilenaming.h"
#include "metadata/exifentity.h"

namespace {
// A value the log prints as it is: an absent one shows as "(null)".
QString shown(const std::optional<QString>& text)
{
    return text ? *text : QStringLiteral("(null)");
}

QString loggedPart(QString part)
{
    return part.remove(QLatin1Char('_')).toUpper();
}

// "【撮影モード】… 【付属情報】… 【患者ID】… 【患者名】…", with the mode and orientation
// parts of the naming set that the maker-note version selects.
QString patientInformation(const ExifEntity& exifEntity, const ExtendedMakerNoteEntity& maker)
{
    const bool secondSet = DestinationFileNaming::majorVersion(exifEntity) >= 4;
    const QString modePart = secondSet
                                 ? DestinationFileNaming::getShootingModeString2(maker.shootingMode)
                                 : DestinationFileNaming::getShootingModeString(maker.shootingMode);
    const QString orientationPart = secondSet
                                        ? DestinationFileNaming::getAdditionalInformationString2(
                                              exifEntity.additionalInformation)
                                        : DestinationFileNaming::getAdditionalInformationString(
                                              exifEntity.additionalInformation);
    return QStringLiteral("【撮影モード】%1 【付属情報】%2 【患者ID】%3 【患者名】%4")
        .arg(loggedPart(modePart), loggedPart(orientationPart),
             ExifDebugLog::nullToBlank(maker.patientID),
             ExifDebugLog::nullToBlank(maker.patientName));
}
} // namespace

void ExifDebugLog::write(const ExifEntity& exifEntity, const QString& sourcePath)
{
    const ExtendedMakerNoteEntity maker =
        exifEntity.extendedMakerNoteEntity.value_or(ExtendedMakerNoteEntity());
    Log::debug(QStringLiteral("対象ファイル取得：%1(%2bytes)")
                   .arg(sourcePath, QString::number(exifEntity.fileSize)));
    Log::debug(
        QStringLiteral("Exif情報：オリジナル撮影日時[%1]").arg(shown(exifEntity.dateTimeOriginal)));
    Log::debug(
        QStringLiteral("Exif情報：ファイル変更日時[%1]").arg(shown(exifEntity.fileDateTime)));
    Log::debug(QStringLiteral("Exif情報：機種[%1]").arg(CameraCheck::trimBlanks(exifEntity.model)));
    Log::debug(QStringLiteral("Exif情報：ソフトウェア[%1]").arg(shown(exifEntity.software)));
    Log::debug(QStringLiteral("メーカーノートバージョン：%1.%2")
                   .arg(shown(maker.majorVersion), shown(maker.minorVersion)));
    Log::debug(QStringLiteral("メーカーノートシリアルNo.：%1").arg(nullToBlank(maker.serial)));
    Log::debug(QStringLiteral("メーカーノートオーナー名：%1").arg(nullToBlank(maker.owner)));
    Log::debug(QStringLiteral("メーカーノートカメラ情報：%1")
                   .arg(QStringLiteral("【Identifier】%1 【TimeZone】%2 【SummerTime】%3")
                            .arg(nullToBlank(maker.identifier), nullToBlank(maker.timeZone),
                                 nullToBlank(maker.summerTime))));
    Log::debug(
        QStringLiteral("メーカーノート患者情報：%1").arg(patientInformation(exifEntity, maker)));
    Log::debug(QStringLiteral("メーカーノートダンプ：%1").arg(shown(exifEntity.extendedMakerNote)));
}

QString ExifDebugLog::nullToBlank(const std::optional<QString>& value)
{
    return value.value_or(QString());
}

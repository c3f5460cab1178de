#include "importer/importrunsupport.h"

#include "common/log.h"
#include "common/talvorencommon.h"
#include "importer/destinationfilenaming.h"
#include "metadata/exifentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QStringList acceptedModels = {QStringLiteral("Lumora K-2"), QStringLiteral("Lumora K-3"),
                                    QStringLiteral("Lumora K-4"), QStringLiteral("Lumora K-5")};

bool isBlankOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

// Trims the Unicode space separators and tabs from both ends.
QString trimBlanks(const std::optional<QString>& text)
{
    const QString value = text.value_or(QString());
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && isBlankOrTab(value.at(begin)))
        ++begin;
    while (end > begin && isBlankOrTab(value.at(end - 1)))
        --end;
    return value.mid(begin, end - begin);
}

// A value the log prints as it is: an absent one shows as "(null)".
QString shown(const std::optional<QString>& text)
{
    return text ? *text : QStringLiteral("(null)");
}

QString loggedPart(QString part)
{
    return part.remove(QLatin1Char('_')).toUpper();
}
} // namespace

bool ImportRunSupport::checkValidImageData(const ExifEntity& exifEntity)
{
    if (!trimBlanks(exifEntity.imageDescription)
             .contains(QLatin1String("VELKO DENTAL DIGITAL CAMERA")))
        return false;
    if (!trimBlanks(exifEntity.maker).contains(QLatin1String("VELKO INC.")))
        return false;
    return acceptedModels.contains(trimBlanks(exifEntity.model));
}

QString ImportRunSupport::transferringFilePath()
{
    return QDir(TalvorenCommon::getApplicationDataDirectory()).filePath(QStringLiteral("$TMP"));
}

void ImportRunSupport::createTransferringFile()
{
    QFile marker(transferringFilePath());
    if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
        marker.close();
}

void ImportRunSupport::deleteTransferringFile()
{
    QFile::remove(transferringFilePath());
}

int ImportRunSupport::getTotalImageFileCount(const QString& folder, int startCount)
{
    int count = startCount;
    const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                     QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo(path).isDir()) {
            if (name != QLatin1String(".Trashes") && !isLoopingFolder(path))
                count = getTotalImageFileCount(path, count);
        } else if (!name.startsWith(QLatin1Char('.')) && name.endsWith(QLatin1String(".JPG"))) {
            ++count;
        }
    }
    return count;
}

void ImportRunSupport::logoutExifInformation(const ExifEntity& exifEntity,
                                             const QString& srcFileName,
                                             const QString& /*destFileName*/)
{
    const ExtendedMakerNoteEntity maker =
        exifEntity.extendedMakerNoteEntity.value_or(ExtendedMakerNoteEntity());
    const bool secondSet = DestinationFileNaming::majorVersion(exifEntity) >= 4;
    const QString modePart = secondSet
                                 ? DestinationFileNaming::getShootingModeString2(maker.shootingMode)
                                 : DestinationFileNaming::getShootingModeString(maker.shootingMode);
    const QString orientationPart = secondSet
                                        ? DestinationFileNaming::getAdditionalInformationString2(
                                              exifEntity.additionalInformation)
                                        : DestinationFileNaming::getAdditionalInformationString(
                                              exifEntity.additionalInformation);

    Log::debug(QStringLiteral("対象ファイル取得：%1(%2bytes)")
                   .arg(srcFileName, QString::number(exifEntity.fileSize)));
    Log::debug(
        QStringLiteral("Exif情報：オリジナル撮影日時[%1]").arg(shown(exifEntity.dateTimeOriginal)));
    Log::debug(
        QStringLiteral("Exif情報：ファイル変更日時[%1]").arg(shown(exifEntity.fileDateTime)));
    Log::debug(QStringLiteral("Exif情報：機種[%1]").arg(trimBlanks(exifEntity.model)));
    Log::debug(QStringLiteral("Exif情報：ソフトウェア[%1]").arg(shown(exifEntity.software)));
    Log::debug(QStringLiteral("メーカーノートバージョン：%1.%2")
                   .arg(shown(maker.majorVersion), shown(maker.minorVersion)));
    Log::debug(QStringLiteral("メーカーノートシリアルNo.：%1").arg(nullToBlank(maker.serial)));
    Log::debug(QStringLiteral("メーカーノートオーナー名：%1").arg(nullToBlank(maker.owner)));
    Log::debug(QStringLiteral("メーカーノートカメラ情報：%1")
                   .arg(QStringLiteral("【Identifier】%1 【TimeZone】%2 【SummerTime】%3")
                            .arg(nullToBlank(maker.identifier), nullToBlank(maker.timeZone),
                                 nullToBlank(maker.summerTime))));
    Log::debug(QStringLiteral("メーカーノート患者情報：%1")
                   .arg(QStringLiteral("【撮影モード】%1 【付属情報】%2 【患者ID】%3 【患者名】%4")
                            .arg(loggedPart(modePart), loggedPart(orientationPart),
                                 nullToBlank(maker.patientID), nullToBlank(maker.patientName))));
    Log::debug(QStringLiteral("メーカーノートダンプ：%1").arg(shown(exifEntity.extendedMakerNote)));
}

QString ImportRunSupport::nullToBlank(const std::optional<QString>& value)
{
    return value.value_or(QString());
}

bool ImportRunSupport::isLoopingFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isSymLink())
        return false;
    const QString target = info.canonicalFilePath();
    const QString above = QFileInfo(info.absolutePath()).canonicalFilePath();
    return target.isEmpty() || above == target || above.startsWith(target + QLatin1Char('/')) ||
           target == QLatin1String("/");
}

#include "importer/importdecision.h"

#include "common/talvorencommon.h"
#include "importer/cameracheck.h"
#include "importer/destinationfilenaming.h"

#include <QDate>
#include <QStringList>

namespace {
QString textOf(const std::optional<QString>& text)
{
    return text.value_or(QString());
}

// A folder name that stays one folder below its parent.
bool isUsableFolderName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..");
}
} // namespace

ImportDecision::ImportDecision(const ImportRunSettings& settings, QString originalDateFormat,
                               QString folderDateFormat)
    : settings(settings), originalDateFormat(std::move(originalDateFormat)),
      folderDateFormat(std::move(folderDateFormat))
{
}

ImportDecision::Verdict ImportDecision::decide(const QString& path, Kind kind,
                                               const std::optional<ExifEntity>& exif,
                                               const NameChooser& chooseName,
                                               const RecordsTest& isRecorded) const
{
    Verdict verdict;
    if (!exif || !CameraCheck::isAcceptedCamera(*exif))
        return verdict;
    verdict.outcome = Outcome::NoDateTime;
    if (!DestinationFileNaming::hasNameableDateTime(*exif))
        return verdict;

    const std::optional<QString> patientID = safePatientID(exif->patientID);
    verdict.relativeFolder = filingPath(
        *exif, patientID, DestinationFileNaming::replaceDirectoryName(exif->patientName));
    verdict.destinationFolder = joinPath(kind == Kind::Picture ? settings.destinationFolderPath
                                                               : settings.movieDestinationFolder(),
                                         verdict.relativeFolder);
    verdict.outcome = Outcome::NotSent;
    if (settings.notSendingImage && textOf(patientID).isEmpty())
        return verdict;

    const QString stagingFolder = joinPath(kind == Kind::Picture ? settings.pictureStagingFolder()
                                                                 : settings.movieStagingFolder(),
                                           verdict.relativeFolder);
    verdict.outcome = Outcome::DuplicateInRun;
    const std::optional<QString> newPath = chooseName(stagingFolder, path, *exif);
    if (!newPath)
        return verdict;
    verdict.newPath = *newPath;
    if (settings.avoidMultipleImport && isRecorded(fileNameOf(*newPath), *exif))
        verdict.outcome = Outcome::AlreadyImported;
    else if (isPatientInformation(*exif))
        verdict.outcome = Outcome::RecordOnly;
    else
        verdict.outcome = Outcome::File;
    return verdict;
}

bool ImportDecision::isPatientInformation(const ExifEntity& exif) const
{
    return settings.dontSendPatientInformationImage &&
           textOf(exif.shootingMode).toUpper() == QLatin1String("FE");
}

QString ImportDecision::filingPath(const ExifEntity& exif, const std::optional<QString>& patientID,
                                   const std::optional<QString>& patientName) const
{
    QString id = textOf(patientID);
    const qint64 width = settings.zeroPrefix().size();
    if (settings.zeroPadding && !id.isEmpty() && id.size() < width)
        id = (settings.zeroPrefix() + id).right(width);
    const QString name = textOf(patientName);
    const bool withName = !id.isEmpty() && !name.isEmpty() && !settings.dontAddPatientName;

    QStringList folders;
    if (settings.chopCameraSerialNumber) {
        const QString serial = textOf(DestinationFileNaming::replaceDirectoryName(
            exif.extendedMakerNoteEntity ? exif.extendedMakerNoteEntity->serial : std::nullopt));
        if (isUsableFolderName(serial))
            folders.append(serial);
    }
    if (settings.chopCount && TalvorenCommon::isDigit(id)) {
        folders.append(DestinationFileNaming::getDividedFolderName(id));
        folders.append(withName ? QStringLiteral("%1 %2").arg(id, name) : id);
    } else if (withName) {
        folders.append(QStringLiteral("%1 %2").arg(id, name));
    } else {
        folders.append(id.isEmpty() ? noInformationFolder() : id);
    }
    if (settings.saveDaySubfolder) {
        const QDate day =
            QDate::fromString(textOf(exif.dateTimeOriginal).left(10), originalDateFormat);
        if (const std::optional<QString> dayFolder =
                DestinationFileNaming::getDayFolderName(day, folderDateFormat))
            folders.append(*dayFolder);
    }
    return folders.join(QLatin1Char('/'));
}

std::optional<QString> ImportDecision::safePatientID(const std::optional<QString>& patientID)
{
    std::optional<QString> id = DestinationFileNaming::replaceDirectoryName(patientID);
    if (id && !isUsableFolderName(*id))
        id = QString();
    return id;
}

QString ImportDecision::fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString ImportDecision::joinPath(const QString& folder, const QString& relative)
{
    if (folder.isEmpty())
        return relative;
    if (relative.isEmpty())
        return folder;
    QString left = folder;
    while (left.size() > 1 && left.endsWith(QLatin1Char('/')))
        left.chop(1);
    QString right = relative;
    while (right.startsWith(QLatin1Char('/')))
        right.remove(0, 1);
    return left == QLatin1String("/") ? left + right : left + QLatin1Char('/') + right;
}

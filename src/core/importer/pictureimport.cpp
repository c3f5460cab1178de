#include "pictureimport.h"

#include "common/log.h"
#include "common/notificationcenter.h"
#include "common/runloop.h"
#include "common/talvorencommon.h"
#include "export/exportxmloperator.h"
#include "export/exportxmloperator2.h"
#include "importer/basewatchfolderoperator.h"
#include "importer/copyfailedexception.h"
#include "importer/filecopier.h"
#include "importer/importdecision.h"
#include "importer/sourcefilestate.h"
#include "metadata/exifoperator.h"
#include "platform/fileoperations.h"
#include "records/importedfiledao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <openssl/evp.h>

namespace {
// Pictures up to this size are read once into memory for both the Exif reader and
// the hash; larger files are hashed as a stream and only their head is parsed.
constexpr qint64 wholeReadLimit = 64 * 1024 * 1024;

QString textOf(const std::optional<QString>& text)
{
    return text.value_or(QString());
}

QString fileNameOf(const QString& path)
{
    return ImportDecision::fileNameOf(path);
}

QString joinPath(const QString& folder, const QString& relative)
{
    return ImportDecision::joinPath(folder, relative);
}

// The path without the extension of its last component.
QString withoutExtension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > path.lastIndexOf(QLatin1Char('/')) + 1 ? path.left(dot) : path;
}

std::optional<QString> sha1Of(const QByteArray& data)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data.constData(), static_cast<size_t>(data.size()), digest, &length, EVP_sha1(),
                   nullptr) != 1)
        return std::nullopt;
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), static_cast<int>(length)).toHex());
}

// The companion movie as the camera names it: ".MIF"/".mif" anywhere in the path
// replaced by ".MOV" or ".mov", the first that exists.
std::optional<QString> companionMovie(const QString& path)
{
    for (const QLatin1String index : {QLatin1String(".MIF"), QLatin1String(".mif")}) {
        if (!path.contains(index))
            continue;
        for (const QLatin1String movie : {QLatin1String(".MOV"), QLatin1String(".mov")}) {
            const QString candidate = QString(path).replace(index, movie);
            if (QFileInfo::exists(candidate))
                return candidate;
        }
    }
    return std::nullopt;
}

// The movie beside a movie-index picture: its path without the extension followed
// by ".MOV", else ".mov".
std::optional<QString> movieBeside(const QString& path)
{
    for (const QLatin1String extension : {QLatin1String(".MOV"), QLatin1String(".mov")}) {
        const QString candidate = withoutExtension(path) + extension;
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return std::nullopt;
}

[[noreturn]] void fail(const QString& reason)
{
    throw CopyFailedException(reason);
}

void makeFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("Cannot create the folder \"%1\"").arg(folder));
}

void removeFile(const QString& path)
{
    QFile file(path);
    if (!file.remove())
        fail(QStringLiteral("Cannot remove \"%1\": %2").arg(path, file.errorString()));
}
} // namespace

PictureImport::PictureImport(BaseWatchFolderOperator& owner, const ImportRunSettings& settings,
                             bool isMove, bool isImport, qint64 runTime)
    : owner(owner), settings(settings), isMove(isMove), isImport(isImport), runTime(runTime)
{
}

void PictureImport::importPicture(const QString& path, Kind kind)
{
    const std::optional<SourceFileState> state = SourceFileState::of(path);
    if (!state)
        return;
    if (!state->isSettled()) {
        Log::debug(
            QStringLiteral("File still being written, left for the next run: [%1]").arg(path));
        return;
    }
    const std::optional<Reading> reading = read(path, *state);
    if (!reading) {
        Log::debug(QStringLiteral("File changed while it was read, left for the next run: [%1]")
                       .arg(path));
        return;
    }
    // The hash is taken before the records are asked, and only of pictures that
    // could be filed.
    std::optional<QString> hash;
    const ImportDecision::RecordsTest isRecorded = [&hash](const QString& fileName,
                                                           const ExifEntity& exif) {
        const ExtendedMakerNoteEntity maker =
            exif.extendedMakerNoteEntity.value_or(ExtendedMakerNoteEntity());
        return !ImportedFileDao()
                    .findByLikeFileName(fileName, textOf(maker.serial), textOf(maker.flipDirection),
                                        textOf(exif.drawFlag), textOf(exif.shootingMode), *hash)
                    .isEmpty();
    };
    const auto chooseName = [this](const QString& stagingFolder, const QString& picture,
                                   const ExifEntity& exif) {
        return newPathFor(stagingFolder, picture, exif);
    };
    const ImportDecision decision(settings, owner.originalDateFormatter(),
                                  owner.folderDateFormatter());
    using Outcome = ImportDecision::Outcome;
    if (reading->exif && BaseWatchFolderOperator::checkValidImageData(*reading->exif) &&
        BaseWatchFolderOperator::hasNameableDateTime(*reading->exif)) {
        hash = hashOf(path, *reading);
        if (!hash)
            return;
    }
    const ImportDecision::Verdict verdict = decision.decide(
        path,
        kind == Kind::Picture ? ImportDecision::Kind::Picture : ImportDecision::Kind::MovieIndex,
        reading->exif, chooseName, isRecorded);
    if (verdict.outcome == Outcome::NotCameraPicture) {
        unusable(path);
        return;
    }
    if (verdict.outcome == Outcome::NoDateTime) {
        Log::error(
            QStringLiteral("The picture has no usable original date-time and is not imported: [%1]")
                .arg(path));
        unusable(path);
        return;
    }
    const ExifEntity& exif = *reading->exif;
    if (verdict.outcome == Outcome::NotSent) {
        if (isImport) {
            FileOperations::moveTrash(path);
            if (kind == Kind::MovieIndex) {
                if (const std::optional<QString> movie = movieBeside(path))
                    FileOperations::moveTrash(*movie);
            }
        }
        return;
    }
    if (verdict.outcome == Outcome::DuplicateInRun)
        return;
    std::optional<QString> newPath = verdict.newPath;
    if (verdict.outcome == Outcome::AlreadyImported) {
        BaseWatchFolderOperator::logoutExifInformation(exif, path, *newPath);
        Log::debug(QStringLiteral("「%1」は取込済ファイルです。取込はキャンセルされました。")
                       .arg(*newPath));
        if (kind == Kind::MovieIndex && isImport) {
            if (const std::optional<QString> movie = movieBeside(path)) {
                FileOperations::moveTrash(path);
                FileOperations::moveTrash(*movie);
                runLoopFor(std::chrono::duration<double>(owner.runPauseLength()).count());
            }
        }
        return;
    }

    const QString stagingFolder = newPath->left(newPath->lastIndexOf(QLatin1Char('/')));
    const QString pictureFolder = joinPath(settings.destinationFolderPath, verdict.relativeFolder);
    const QString recordFolder = verdict.destinationFolder;
    const bool removePatientInformation =
        verdict.outcome == Outcome::RecordOnly && (settings.deleteOriginalImage || isImport);

    if (verdict.outcome == Outcome::RecordOnly) {
        record(*newPath, exif, path, removePatientInformation ? recordFolder : pictureFolder,
               *hash);
        if (removePatientInformation)
            QFile::remove(path);
        return;
    }

    QString movieDestination;
    std::optional<QString> movie;
    std::optional<QString> movieHash;
    if (kind == Kind::Picture) {
        makeFolder(stagingFolder);
        if (!stagePicture(path, *state, *reading, *newPath, isMove))
            return;
    } else {
        movie = companionMovie(path);
        if (!movie)
            return;
        const std::optional<SourceFileState> movieState = SourceFileState::of(*movie);
        if (!movieState || !movieState->isSettled()) {
            Log::debug(QStringLiteral("File still being written, left for the next run: [%1]")
                           .arg(*movie));
            return;
        }
        makeFolder(stagingFolder);
        movieDestination = withoutExtension(*newPath) + QStringLiteral(".MOV");
        if (QFileInfo::exists(movieDestination) &&
            !moveOnToFreePair(stagingFolder, *movie, exif, *newPath, movieDestination))
            return;
        const bool sourceWillBeRemoved = settings.deleteOriginalImage || isImport;
        if (!settings.dontSendMif &&
            !stagePicture(path, *state, *reading, *newPath, sourceWillBeRemoved))
            return;
        movieHash = TalvorenCommon::sha1Hash(*movie);
        if (!stageMovie(*movie, *movieState, movieDestination)) {
            if (!settings.dontSendMif)
                QFile::remove(*newPath);
            return;
        }
        if (sourceWillBeRemoved)
            removeFile(path);
    }

    writeSidecar(exif, *newPath);
    if (kind == Kind::Picture && isMove)
        removeFile(path);

    owner.setOperationCounter(owner.operationCounter() + 1);
    owner.filedFolderTally.add(verdict.relativeFolder, recordFolder);
    if (BaseWatchFolderOperator::isProgressWindowOpen())
        NotificationCenter::defaultCenter().post(
            BaseWatchFolderOperator::notificationNameUpdateProgress());

    BaseWatchFolderOperator::logoutExifInformation(exif, path, *newPath);
    Log::debug(QStringLiteral("ファイルコピー(オリジナル：%1)").arg(path));
    Log::debug(QStringLiteral("ファイルコピー(コピー先：%1)").arg(*newPath));

    if (settings.avoidMultipleImport) {
        record(*newPath, exif, path, recordFolder, *hash);
        if (kind == Kind::MovieIndex && textOf(exif.patientID).isEmpty() &&
            !settings.notSendingImage)
            record(movieDestination, exif, *movie, recordFolder, textOf(movieHash));
    }
}

std::optional<PictureImport::Reading> PictureImport::read(const QString& path,
                                                          const SourceFileState& state) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Reading{};
    Reading reading;
    reading.whole = state.size() <= wholeReadLimit;
    reading.data = reading.whole ? file.readAll() : file.read(wholeReadLimit);
    if (reading.whole && reading.data.size() != state.size())
        return std::nullopt;
    reading.exif = ExifOperator().getExifData(reading.data, path, true);
    if (reading.exif)
        reading.exif->fileSize = static_cast<quint64>(state.size());
    return reading;
}

std::optional<QString> PictureImport::hashOf(const QString& path, const Reading& reading) const
{
    return reading.whole ? sha1Of(reading.data) : TalvorenCommon::sha1Hash(path);
}

void PictureImport::unusable(const QString& path) const
{
    if (isImport && settings.moveToTrash)
        FileOperations::moveTrash(path);
}

std::optional<QString> PictureImport::newPathFor(const QString& stagingFolder, const QString& path,
                                                 const ExifEntity& exif) const
{
    const QString extension = QFileInfo(path).suffix();
    const std::optional<QString> original =
        extension.isEmpty() ? std::nullopt : std::optional<QString>(extension);
    return BaseWatchFolderOperator::majorVersion(exif) < 4
               ? BaseWatchFolderOperator::getValidNewImageFileName(stagingFolder, original, exif)
               : BaseWatchFolderOperator::getValidNewImageFileName2(stagingFolder, original, exif);
}

bool PictureImport::stagePicture(const QString& path, const SourceFileState& state,
                                 const Reading& reading, const QString& newPath,
                                 bool sourceWillBeRemoved) const
{
    const FileCopier::Durability durability =
        sourceWillBeRemoved ? FileCopier::Durability::Flushed : FileCopier::Durability::Cached;
    QString error;
    if (settings.deleteExifPersonalInfo && reading.whole) {
        QByteArray copy = reading.data;
        if (!ExifOperator().deletePersonalInformation(copy, &error) ||
            !FileCopier::writeFile(copy, newPath, durability, &error))
            fail(error);
    } else if (settings.deleteExifPersonalInfo) {
        ExifOperator().deleteExifCopyFile(path, newPath, &error);
        if (!error.isNull() ||
            (sourceWillBeRemoved && !FileCopier::flushAndCheckSize(newPath, state.size(), &error)))
            fail(error);
    } else if (!FileCopier::copyFile(path, newPath, durability, &error)) {
        fail(error);
    }
    owner.stagedCopyWritten(path);
    // The copy is only as good as the source it came from: one that changed meanwhile
    // is still being written.
    if (SourceFileState::of(path) != state) {
        QFile::remove(newPath);
        Log::debug(QStringLiteral("File changed while it was copied, left for the next run: [%1]")
                       .arg(path));
        return false;
    }
    return true;
}

bool PictureImport::stageMovie(const QString& movie, const SourceFileState& movieState,
                               const QString& movieDestination) const
{
    QString error;
    if (settings.deleteOriginalImage) {
        if (!FileCopier::moveFile(movie, movieDestination, &error))
            fail(error);
        return true;
    }
    const bool removeMovie = isImport;
    if (!FileCopier::copyFile(
            movie, movieDestination,
            removeMovie ? FileCopier::Durability::Flushed : FileCopier::Durability::Cached, &error))
        fail(error);
    owner.stagedCopyWritten(movie);
    if (SourceFileState::of(movie) != movieState) {
        QFile::remove(movieDestination);
        Log::debug(QStringLiteral("File changed while it was copied, left for the next run: [%1]")
                       .arg(movie));
        return false;
    }
    if (removeMovie)
        removeFile(movie);
    return true;
}

bool PictureImport::moveOnToFreePair(const QString& stagingFolder, const QString& movie,
                                     const ExifEntity& exif, QString& newPath,
                                     QString& movieDestination) const
{
    // Staged movies are not seen by the name search when their movie-index pictures
    // are not staged ("dont send mif"): the same movie staged already is done, another
    // one moves the pair on to a free number.
    const QString extension = QLatin1Char('.') + QFileInfo(newPath).suffix();
    for (int index = 1;; ++index) {
        const QString name =
            BaseWatchFolderOperator::majorVersion(exif) < 4
                ? BaseWatchFolderOperator::getNewImageFileName(exif, index, extension)
                : BaseWatchFolderOperator::getNewImageFileName2(exif, index, extension);
        const QString candidate = joinPath(stagingFolder, name);
        const QString candidateMovie = withoutExtension(candidate) + QStringLiteral(".MOV");
        if (FileCopier::hasSameContent(movie, candidateMovie))
            return false;
        if (!QFileInfo::exists(candidate) && !QFileInfo::exists(candidateMovie)) {
            newPath = candidate;
            movieDestination = candidateMovie;
            return true;
        }
    }
}

void PictureImport::writeSidecar(const ExifEntity& exif, const QString& newPath) const
{
    if (!settings.exportXml)
        return;
    const ExtendedMakerNoteEntity maker =
        exif.extendedMakerNoteEntity.value_or(ExtendedMakerNoteEntity());
    const std::optional<QString> text = BaseWatchFolderOperator::majorVersion(exif) < 4
                                            ? ExportXmlOperator().getXmlData(maker)
                                            : ExportXmlOperator2().getXmlData(maker);
    if (!text)
        return;
    const QString path = BaseWatchFolderOperator::getHideFileName(withoutExtension(newPath) +
                                                                  QStringLiteral(".xml"));
    FileCopier::writeFile(text->toUtf8(), path, FileCopier::Durability::Cached, nullptr);
}

void PictureImport::record(const QString& newPath, const ExifEntity& exif,
                           const QString& originalPath, const QString& folder,
                           const QString& hash) const
{
    const ExtendedMakerNoteEntity maker =
        exif.extendedMakerNoteEntity.value_or(ExtendedMakerNoteEntity());
    ImportedFileEntity entity;
    entity.setFileName(fileNameOf(newPath));
    entity.setCameraId(textOf(maker.serial));
    entity.setDatetime(runTime);
    entity.setOriginalFileName(originalPath);
    entity.setTransferredFolder(folder);
    entity.setMirrorImageType(textOf(maker.flipDirection));
    entity.setDrawingFlg(textOf(exif.drawFlag));
    entity.setMode(textOf(exif.shootingMode));
    entity.setCapturedDttm(runTime);
    entity.setHashCode(hash);
    owner.records.add(entity);
}

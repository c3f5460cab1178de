#include "importer/pictureimport.h"

#include "common/log.h"
#include "common/notificationcenter.h"
#include "common/runloop.h"
#include "common/talvorencommon.h"
#include "export/exportxmloperator.h"
#include "export/exportxmloperator2.h"
#include "importer/basewatchfolderoperator.h"
#include "importer/copyfailedexception.h"
#include "importer/filecopier.h"
#include "importer/filingfolderguard.h"
#include "importer/importdecision.h"
#include "importer/sourcefilestate.h"
#include "importer/sourceremovalbatch.h"
#include "metadata/exifoperator.h"
#include "platform/fileoperations.h"
#include "records/importedfiledao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <openssl/evp.h>
#include <sys/stat.h>

namespace {
using Outcome = ImportReport::Outcome;

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

// Creates the folder and the folders above it; 0 or the errno of the first refusal.
int makeFolderPath(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? path : path.left(slash);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return errno;
        if (slash < 0)
            break;
    }
    struct stat status
    {
    };
    if (::stat(path.constData(), &status) != 0)
        return errno;
    return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
}

// Refusals that concern the name of this one picture's folder (too long, not valid
// on that file system, a file standing in its place), not the staging area itself.
bool isRefusedName(int code)
{
    return code == ENAMETOOLONG || code == EINVAL || code == EILSEQ || code == ENOTDIR;
}

// Removes a source once its copy is staged. One that disappeared meanwhile has
// nothing left to remove (the run notes it as vanished).
void removeFile(const QString& path)
{
    QFile file(path);
    if (!file.remove() && !SourceFileState::isGone(path))
        fail(QStringLiteral("Cannot remove \"%1\": %2").arg(path, file.errorString()));
}
} // namespace

PictureImport::PictureImport(BaseWatchFolderOperator& owner, const ImportRunSettings& settings,
                             bool isMove, bool isImport, qint64 runTime,
                             SourceRemovalBatch& removals)
    : owner(owner), settings(settings), isMove(isMove), isImport(isImport), runTime(runTime),
      removals(removals)
{
}

void PictureImport::importPicture(const QString& path, Kind kind)
{
    const std::optional<SourceFileState> state = SourceFileState::of(path);
    if (!state) {
        if (SourceFileState::isGone(path))
            owner.sourceVanished(path);
        return;
    }
    owner.reportStarted(path);
    if (!state->isSettled()) {
        owner.report(path, Outcome::LeftForLater, QStringLiteral("still being written"));
        Log::debug(
            QStringLiteral("File still being written, left for the next run: [%1]").arg(path));
        return;
    }
    const std::optional<Reading> reading = read(path, *state);
    if (!reading) {
        owner.report(path, Outcome::LeftForLater, QStringLiteral("changed while it was read"));
        Log::debug(QStringLiteral("File changed while it was read, left for the next run: [%1]")
                       .arg(path));
        return;
    }
    if (!reading->exif && SourceFileState::isGone(path)) {
        owner.sourceVanished(path);
        return;
    }
    // The hash is taken before the records are asked, and only of pictures that
    // could be filed.
    std::optional<QString> hash;
    if (reading->exif && BaseWatchFolderOperator::checkValidImageData(*reading->exif) &&
        BaseWatchFolderOperator::hasNameableDateTime(*reading->exif)) {
        hash = hashOf(path, *reading);
        if (!hash) {
            owner.report(path, Outcome::Failed, QStringLiteral("its content could not be read"));
            return;
        }
    }
    const ImportDecision::Verdict verdict = decide(path, kind, reading->exif, hash);
    using Decision = ImportDecision::Outcome;
    if (verdict.outcome == Decision::NotCameraPicture) {
        owner.report(path, Outcome::NotCameraPicture,
                     QStringLiteral("no readable camera maker note"));
        unusable(path);
        return;
    }
    if (verdict.outcome == Decision::NoDateTime) {
        Log::error(
            QStringLiteral("The picture has no usable original date-time and is not imported: [%1]")
                .arg(path));
        owner.report(path, Outcome::NotCameraPicture, QStringLiteral("no capture date-time"));
        unusable(path);
        return;
    }
    const ExifEntity& exif = *reading->exif;
    if (verdict.outcome == Decision::NotSent) {
        owner.report(path, Outcome::NotSent, QStringLiteral("no patient ID"));
        if (isImport) {
            FileOperations::moveTrash(path);
            if (kind == Kind::MovieIndex) {
                if (const std::optional<QString> movie = movieBeside(path))
                    FileOperations::moveTrash(*movie);
            }
        }
        return;
    }
    if (verdict.outcome == Decision::DuplicateInRun) {
        owner.report(path, Outcome::AlreadyImported,
                     QStringLiteral("the same shot is staged already by this run"));
        return;
    }
    std::optional<QString> newPath = verdict.newPath;
    if (verdict.outcome == Decision::AlreadyImported) {
        owner.report(path, Outcome::AlreadyImported);
        BaseWatchFolderOperator::logoutExifInformation(exif, path, *newPath);
        Log::debug(QStringLiteral("「%1」は取込済ファイルです。取込はキャンセルされました。")
                       .arg(*newPath));
        if (kind == Kind::MovieIndex && isImport) {
            if (const std::optional<QString> movie = movieBeside(path)) {
                owner.report(*movie, Outcome::AlreadyImported);
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
        verdict.outcome == Decision::RecordOnly && (settings.deleteOriginalImage || isImport);

    if (verdict.outcome == Decision::RecordOnly) {
        owner.report(path, Outcome::NotSent, QStringLiteral("patient information picture"));
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
        if (!makeFolder(stagingFolder, settings.pictureStagingFolder(), path))
            return;
        const std::optional<qint64> copySize =
            stagePicture(path, *state, *reading, *newPath, false);
        if (!copySize)
            return;
        // The source goes with its folder's batch, after one flush for all of them;
        // its record is committed below, so a run killed before the batch leaves the
        // source as a recorded duplicate, never as a picture filed twice.
        if (isMove)
            removals.add(path, *state, *newPath, *copySize);
    } else {
        movie = companionMovie(path);
        if (!movie) {
            owner.report(path, Outcome::LeftForLater, QStringLiteral("its movie is not there"));
            return;
        }
        const std::optional<SourceFileState> movieState = SourceFileState::of(*movie);
        if (!movieState || !movieState->isSettled()) {
            owner.report(path, Outcome::LeftForLater, QStringLiteral("movie still being written"));
            Log::debug(QStringLiteral("File still being written, left for the next run: [%1]")
                           .arg(*movie));
            return;
        }
        if (!makeFolder(stagingFolder, settings.movieStagingFolder(), path))
            return;
        movieDestination = withoutExtension(*newPath) + QStringLiteral(".MOV");
        if (QFileInfo::exists(movieDestination) &&
            !moveOnToFreePair(stagingFolder, *movie, exif, *newPath, movieDestination)) {
            owner.report(path, Outcome::AlreadyImported);
            return;
        }
        const bool sourceWillBeRemoved = settings.deleteOriginalImage || isImport;
        if (!settings.dontSendMif &&
            !stagePicture(path, *state, *reading, *newPath, sourceWillBeRemoved))
            return;
        movieHash = TalvorenCommon::sha1Hash(*movie);
        if (!stageMovie(*movie, *movieState, movieDestination)) {
            owner.report(path, Outcome::LeftForLater, QStringLiteral("movie changed while copied"));
            if (!settings.dontSendMif)
                QFile::remove(*newPath);
            return;
        }
        if (sourceWillBeRemoved)
            removeFile(path);
    }

    writeSidecar(exif, *newPath);

    owner.setOperationCounter(owner.operationCounter() + 1);
    owner.report(path, Outcome::Filed, recordFolder);
    if (movie)
        owner.report(*movie, Outcome::Filed, recordFolder);
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

ImportDecision::Verdict PictureImport::decide(const QString& path, Kind kind,
                                              const std::optional<ExifEntity>& exif,
                                              const std::optional<QString>& hash) const
{
    const auto isRecorded = [&hash](const QString& fileName, const ExifEntity& picture) {
        const ExtendedMakerNoteEntity maker =
            picture.extendedMakerNoteEntity.value_or(ExtendedMakerNoteEntity());
        const ImportedFileDao records;
        const bool found =
            !records
                 .findByLikeFileNameOrNumbered(
                     fileName, textOf(maker.serial), textOf(maker.flipDirection),
                     textOf(picture.drawFlag), textOf(picture.shootingMode), textOf(hash))
                 .isEmpty();
        // Without an answer the picture could be filed a second time.
        if (records.lastFailure())
            fail(*records.lastFailure());
        return found;
    };
    const auto chooseName = [this](const QString& stagingFolder, const QString& picture,
                                   const ExifEntity& shot) {
        return newPathFor(stagingFolder, picture, shot);
    };
    return ImportDecision(settings, owner.originalDateFormatter(), owner.folderDateFormatter())
        .decide(path,
                kind == Kind::Picture ? ImportDecision::Kind::Picture
                                      : ImportDecision::Kind::MovieIndex,
                exif, chooseName, isRecorded);
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

std::optional<qint64> PictureImport::stagePicture(const QString& path, const SourceFileState& state,
                                                  const Reading& reading, const QString& newPath,
                                                  bool sourceRemovedNow) const
{
    const FileCopier::Durability durability =
        sourceRemovedNow ? FileCopier::Durability::Flushed : FileCopier::Durability::Cached;
    QString error;
    qint64 copySize = state.size();
    if (settings.deleteExifPersonalInfo && reading.whole) {
        QByteArray copy = reading.data;
        if (!ExifOperator().deletePersonalInformation(copy, &error) ||
            !FileCopier::writeFile(copy, newPath, durability, &error))
            fail(error);
        copySize = copy.size();
    } else if (settings.deleteExifPersonalInfo) {
        ExifOperator().deleteExifCopyFile(path, newPath, &error);
        if (!error.isNull() ||
            (sourceRemovedNow && !FileCopier::flushAndCheckSize(newPath, state.size(), &error))) {
            QFile::remove(newPath);
            failUnlessGone(path, error);
            return std::nullopt;
        }
    } else if (!FileCopier::copyFile(path, newPath, durability, &error)) {
        failUnlessGone(path, error);
        return std::nullopt;
    }
    owner.stagedCopyWritten(path);
    // The copy is only as good as the source it came from: one that changed meanwhile
    // is still being written. A complete copy of a source that disappeared since is
    // the only one left: it is kept and filed.
    if (SourceFileState::isGone(path)) {
        owner.sourceVanished(path);
        return copySize;
    }
    if (SourceFileState::of(path) != state) {
        owner.report(path, Outcome::LeftForLater, QStringLiteral("changed while it was copied"));
        QFile::remove(newPath);
        Log::debug(QStringLiteral("File changed while it was copied, left for the next run: [%1]")
                       .arg(path));
        return std::nullopt;
    }
    return copySize;
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
    if (!FileCopier::copyFile(movie, movieDestination,
                              removeMovie ? FileCopier::Durability::Flushed
                                          : FileCopier::Durability::Cached,
                              &error)) {
        failUnlessGone(movie, error);
        return false;
    }
    owner.stagedCopyWritten(movie);
    if (SourceFileState::isGone(movie)) {
        owner.sourceVanished(movie);
        return true;
    }
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

void PictureImport::failUnlessGone(const QString& path, const QString& error) const
{
    if (!SourceFileState::isGone(path))
        fail(error);
    owner.sourceVanished(path);
}

bool PictureImport::makeFolder(const QString& folder, const QString& stagingRoot,
                               const QString& path) const
{
    FilingFolderGuard::requireInside(folder, stagingRoot);
    const int code = makeFolderPath(folder);
    if (code == 0)
        return true;
    const QString reason = QStringLiteral("Cannot create the folder \"%1\": %2")
                               .arg(folder, QString::fromLocal8Bit(std::strerror(code)));
    if (!isRefusedName(code))
        fail(reason);
    owner.pictureRefused(path, reason);
    return false;
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
    owner.records->add(entity);
}

#include "importer/pictureimport.h"

#include "common/log.h"
#include "common/notificationcenter.h"
#include "common/runloop.h"
#include "common/talvorencommon.h"
#include "export/exportxmloperator.h"
#include "export/exportxmloperator2.h"
#include "importer/basewatchfolderoperator.h"
#include "importer/cameracheck.h"
#include "importer/copyfailedexception.h"
#include "importer/exifdebuglog.h"
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

// The staging folder of a staged path.
QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')));
}

// The free staged path for the picture in a staging folder, none when the same shot
// is staged there already.
std::optional<QString> newPathFor(const QString& stagingFolder, const QString& path,
                                  const ExifEntity& exif)
{
    const QString extension = QFileInfo(path).suffix();
    const std::optional<QString> original =
        extension.isEmpty() ? std::nullopt : std::optional<QString>(extension);
    return BaseWatchFolderOperator::majorVersion(exif) < 4
               ? BaseWatchFolderOperator::getValidNewImageFileName(stagingFolder, original, exif)
               : BaseWatchFolderOperator::getValidNewImageFileName2(stagingFolder, original, exif);
}

void logLeftForLater(const QString& path, const QString& seen)
{
    Log::debug(QStringLiteral("File %1, left for the next run: [%2]").arg(seen, path));
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
    const std::optional<Reading> picture = readSettled(path);
    if (!picture)
        return;
    const Verdict verdict = decide(*picture, kind);
    if (verdict.outcome != ImportDecision::Outcome::File) {
        settleUnfiled(*picture, kind, verdict);
        return;
    }
    const std::optional<Staged> staged =
        kind == Kind::Picture ? stagePicture(*picture, verdict) : stageMoviePair(*picture, verdict);
    if (staged)
        finish(*picture, kind, verdict, *staged);
}

std::optional<PictureImport::Reading> PictureImport::readSettled(const QString& path) const
{
    const std::optional<SourceFileState> state = SourceFileState::of(path);
    if (!state) {
        if (SourceFileState::isGone(path))
            owner.sourceVanished(path);
        return std::nullopt;
    }
    owner.reportStarted(path);
    if (!state->isSettled()) {
        leaveForLater(path, QStringLiteral("still being written"));
        return std::nullopt;
    }
    std::optional<Reading> reading = read(path, *state);
    if (!reading) {
        leaveForLater(path, QStringLiteral("changed while it was read"));
        return std::nullopt;
    }
    if (!reading->exif && SourceFileState::isGone(path)) {
        owner.sourceVanished(path);
        return std::nullopt;
    }
    // The hash is taken before the records are asked, and only of pictures that
    // could be filed.
    if (reading->exif && CameraCheck::isAcceptedCamera(*reading->exif) &&
        BaseWatchFolderOperator::hasNameableDateTime(*reading->exif)) {
        reading->hash = reading->whole ? sha1Of(reading->data) : TalvorenCommon::sha1Hash(path);
        if (!reading->hash) {
            owner.report(path, Outcome::Failed, QStringLiteral("its content could not be read"));
            return std::nullopt;
        }
    }
    return reading;
}

std::optional<PictureImport::Reading> PictureImport::read(const QString& path,
                                                          const SourceFileState& state) const
{
    Reading reading;
    reading.path = path;
    reading.state = state;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return reading;
    reading.whole = state.size() <= wholeReadLimit;
    reading.data = reading.whole ? file.readAll() : file.read(wholeReadLimit);
    if (reading.whole && reading.data.size() != state.size())
        return std::nullopt;
    reading.exif = ExifOperator().getExifData(reading.data, path, true);
    if (reading.exif)
        reading.exif->fileSize = static_cast<quint64>(state.size());
    return reading;
}

ImportDecision::Verdict PictureImport::decide(const Reading& picture, Kind kind) const
{
    const auto isRecorded = [&picture](const QString& fileName, const ExifEntity& exif) {
        const ExtendedMakerNoteEntity maker =
            exif.extendedMakerNoteEntity.value_or(ExtendedMakerNoteEntity());
        const ImportedFileDao records;
        const bool found =
            !records
                 .findByLikeFileNameOrNumbered(fileName, textOf(maker.serial),
                                               textOf(maker.flipDirection), textOf(exif.drawFlag),
                                               textOf(exif.shootingMode), textOf(picture.hash))
                 .isEmpty();
        // Without an answer the picture could be filed a second time.
        if (records.lastFailure())
            fail(*records.lastFailure());
        return found;
    };
    return ImportDecision(settings, owner.originalDateFormatter(), owner.folderDateFormatter())
        .decide(picture.path,
                kind == Kind::Picture ? ImportDecision::Kind::Picture
                                      : ImportDecision::Kind::MovieIndex,
                picture.exif, newPathFor, isRecorded);
}

void PictureImport::settleUnfiled(const Reading& picture, Kind kind, const Verdict& verdict) const
{
    using Decision = ImportDecision::Outcome;
    switch (verdict.outcome) {
    case Decision::NotCameraPicture:
        owner.report(picture.path, Outcome::NotCameraPicture,
                     QStringLiteral("no readable camera maker note"));
        unusable(picture.path);
        break;
    case Decision::NoDateTime:
        Log::error(
            QStringLiteral("The picture has no usable original date-time and is not imported: [%1]")
                .arg(picture.path));
        owner.report(picture.path, Outcome::NotCameraPicture,
                     QStringLiteral("no capture date-time"));
        unusable(picture.path);
        break;
    case Decision::NotSent:
        notSent(picture.path, kind);
        break;
    case Decision::DuplicateInRun:
        owner.report(picture.path, Outcome::AlreadyImported,
                     QStringLiteral("the same shot is staged already by this run"));
        break;
    case Decision::AlreadyImported:
        alreadyImported(picture, kind, verdict.newPath);
        break;
    case Decision::RecordOnly:
        recordOnly(picture, verdict);
        break;
    case Decision::File:
        break;
    }
}

void PictureImport::unusable(const QString& path) const
{
    if (isImport && settings.moveToTrash)
        FileOperations::moveTrash(path);
}

void PictureImport::notSent(const QString& path, Kind kind) const
{
    owner.report(path, Outcome::NotSent, QStringLiteral("no patient ID"));
    if (!isImport)
        return;
    FileOperations::moveTrash(path);
    if (kind == Kind::MovieIndex) {
        if (const std::optional<QString> movie = movieBeside(path))
            FileOperations::moveTrash(*movie);
    }
}

void PictureImport::alreadyImported(const Reading& picture, Kind kind, const QString& newPath) const
{
    owner.report(picture.path, Outcome::AlreadyImported);
    ExifDebugLog::write(*picture.exif, picture.path);
    Log::debug(
        QStringLiteral("「%1」は取込済ファイルです。取込はキャンセルされました。").arg(newPath));
    // A duplicate plain picture stays in its source; an Import folder's movie pair
    // goes to the Trash.
    if (kind != Kind::MovieIndex || !isImport)
        return;
    if (const std::optional<QString> movie = movieBeside(picture.path)) {
        owner.report(*movie, Outcome::AlreadyImported);
        FileOperations::moveTrash(picture.path);
        FileOperations::moveTrash(*movie);
        runLoopFor(std::chrono::duration<double>(owner.runPauseLength()).count());
    }
}

void PictureImport::recordOnly(const Reading& picture, const Verdict& verdict) const
{
    // A patient-information picture removed from its source is recorded where its
    // copy would have been filed; one that stays, under the picture destination.
    const bool removeSource = settings.deleteOriginalImage || isImport;
    owner.report(picture.path, Outcome::NotSent, QStringLiteral("patient information picture"));
    record(verdict.newPath, *picture.exif, picture.path,
           removeSource ? verdict.destinationFolder
                        : joinPath(settings.destinationFolderPath, verdict.relativeFolder),
           *picture.hash);
    if (removeSource)
        QFile::remove(picture.path);
}

std::optional<PictureImport::Staged> PictureImport::stagePicture(const Reading& picture,
                                                                 const Verdict& verdict) const
{
    if (!makeFolder(folderOf(verdict.newPath), settings.pictureStagingFolder(), picture.path))
        return std::nullopt;
    const std::optional<qint64> copySize = stageCopy(picture, verdict.newPath, false);
    if (!copySize)
        return std::nullopt;
    // The source goes with its folder's batch, after one flush for all of them; its
    // record is committed when the picture is finished, so a run killed before the
    // batch leaves the source as a recorded duplicate, never as a picture filed twice.
    if (isMove)
        removals.add(picture.path, picture.state, verdict.newPath, *copySize);
    return Staged{verdict.newPath, std::nullopt, {}, std::nullopt};
}

std::optional<PictureImport::Staged> PictureImport::stageMoviePair(const Reading& picture,
                                                                   const Verdict& verdict) const
{
    const QString& path = picture.path;
    Staged staged{verdict.newPath, companionMovie(path), {}, std::nullopt};
    if (!staged.movie) {
        owner.report(path, Outcome::LeftForLater, QStringLiteral("its movie is not there"));
        return std::nullopt;
    }
    const std::optional<SourceFileState> movieState = SourceFileState::of(*staged.movie);
    if (!movieState || !movieState->isSettled()) {
        owner.report(path, Outcome::LeftForLater, QStringLiteral("movie still being written"));
        logLeftForLater(*staged.movie, QStringLiteral("still being written"));
        return std::nullopt;
    }
    const QString stagingFolder = folderOf(staged.newPath);
    if (!makeFolder(stagingFolder, settings.movieStagingFolder(), path))
        return std::nullopt;
    staged.movieDestination = withoutExtension(staged.newPath) + QStringLiteral(".MOV");
    if (QFileInfo::exists(staged.movieDestination) &&
        !moveOnToFreePair(stagingFolder, *staged.movie, *picture.exif, staged.newPath,
                          staged.movieDestination)) {
        owner.report(path, Outcome::AlreadyImported);
        return std::nullopt;
    }
    if (!stagePair(picture, *movieState, staged))
        return std::nullopt;
    return staged;
}

// The picture (unless "dont send mif") and then its movie; when the movie changes
// meanwhile nothing of the pair stays staged.
bool PictureImport::stagePair(const Reading& picture, const SourceFileState& movieState,
                              Staged& staged) const
{
    const bool sourceWillBeRemoved = settings.deleteOriginalImage || isImport;
    if (!settings.dontSendMif && !stageCopy(picture, staged.newPath, sourceWillBeRemoved))
        return false;
    staged.movieHash = TalvorenCommon::sha1Hash(*staged.movie);
    if (!stageMovie(*staged.movie, movieState, staged.movieDestination)) {
        owner.report(picture.path, Outcome::LeftForLater,
                     QStringLiteral("movie changed while copied"));
        if (!settings.dontSendMif)
            QFile::remove(staged.newPath);
        return false;
    }
    if (sourceWillBeRemoved)
        removeFile(picture.path);
    return true;
}

std::optional<qint64> PictureImport::stageCopy(const Reading& picture, const QString& newPath,
                                               bool sourceRemovedNow) const
{
    const std::optional<qint64> copySize = writeCopy(picture, newPath, sourceRemovedNow);
    if (!copySize)
        return std::nullopt;
    owner.stagedCopyWritten(picture.path);
    // The copy is only as good as the source it came from: one that changed meanwhile
    // is still being written. A complete copy of a source that disappeared since is
    // the only one left: it is kept and filed.
    if (SourceFileState::isGone(picture.path)) {
        owner.sourceVanished(picture.path);
        return copySize;
    }
    if (SourceFileState::of(picture.path) != picture.state) {
        QFile::remove(newPath);
        leaveForLater(picture.path, QStringLiteral("changed while it was copied"));
        return std::nullopt;
    }
    return copySize;
}

std::optional<qint64> PictureImport::writeCopy(const Reading& picture, const QString& newPath,
                                               bool sourceRemovedNow) const
{
    const FileCopier::Durability durability =
        sourceRemovedNow ? FileCopier::Durability::Flushed : FileCopier::Durability::Cached;
    QString error;
    if (settings.deleteExifPersonalInfo && picture.whole) {
        QByteArray copy = picture.data;
        if (!ExifOperator().deletePersonalInformation(copy, &error) ||
            !FileCopier::writeFile(copy, newPath, durability, &error))
            fail(error);
        return copy.size();
    }
    if (settings.deleteExifPersonalInfo) {
        ExifOperator().deleteExifCopyFile(picture.path, newPath, &error);
        if (!error.isNull() || (sourceRemovedNow && !FileCopier::flushAndCheckSize(
                                                        newPath, picture.state.size(), &error))) {
            QFile::remove(newPath);
            failUnlessGone(picture.path, error);
            return std::nullopt;
        }
    } else if (!FileCopier::copyFile(picture.path, newPath, durability, &error)) {
        failUnlessGone(picture.path, error);
        return std::nullopt;
    }
    return picture.state.size();
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
        logLeftForLater(movie, QStringLiteral("changed while it was copied"));
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

void PictureImport::leaveForLater(const QString& path, const QString& seen) const
{
    owner.report(path, Outcome::LeftForLater, seen);
    logLeftForLater(path, seen);
}

void PictureImport::finish(const Reading& picture, Kind kind, const Verdict& verdict,
                           const Staged& staged) const
{
    const ExifEntity& exif = *picture.exif;
    writeSidecar(exif, staged.newPath);
    owner.setOperationCounter(owner.operationCounter() + 1);
    owner.reportStaged(picture.path, verdict.destinationFolder, staged.newPath);
    if (staged.movie)
        owner.reportStaged(*staged.movie, verdict.destinationFolder, staged.movieDestination);
    owner.filedFolderTally.add(verdict.relativeFolder, verdict.destinationFolder);
    if (BaseWatchFolderOperator::isProgressWindowOpen())
        NotificationCenter::defaultCenter().post(
            BaseWatchFolderOperator::notificationNameUpdateProgress());

    ExifDebugLog::write(exif, picture.path);
    Log::debug(QStringLiteral("ファイルコピー(オリジナル：%1)").arg(picture.path));
    Log::debug(QStringLiteral("ファイルコピー(コピー先：%1)").arg(staged.newPath));
    if (!settings.avoidMultipleImport)
        return;
    record(staged.newPath, exif, picture.path, verdict.destinationFolder, *picture.hash);
    // The movie of a picture without patient ID gets a record of its own.
    if (kind == Kind::MovieIndex && textOf(exif.patientID).isEmpty() && !settings.notSendingImage)
        record(staged.movieDestination, exif, *staged.movie, verdict.destinationFolder,
               textOf(staged.movieHash));
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

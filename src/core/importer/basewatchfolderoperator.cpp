#include "importer/basewatchfolderoperator.h"

#include "common/log.h"
#include "common/talvorencommon.h"
#include "importer/importfolderwalk.h"
#include "importer/importrunsettings.h"
#include "importer/pictureimport.h"
#include "importer/sourceremovalbatch.h"
#include "importer/stagedfolderfiler.h"
#include "importer/stagingarea.h"
#include "importer/transferringmarker.h"
#include "platform/fileoperations.h"
#include "platform/terminationrequest.h"
#include "settings/settingkeys.h"
#include "settings/settingsvalidation.h"
#include "settings/usersettings.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <typeinfo>

namespace {
std::function<bool()>& progressWindowCheck()
{
    static std::function<bool()> check;
    return check;
}

std::atomic<bool> firstBatchFlag{false};

SettingsDictionary currentSettings()
{
    return UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
}

// Staging under an empty or relative "def tmp" would write below the working folder,
// filing into such a destination likewise: such a run stops before it touches a file.
void checkFolders(const SettingsDictionary& current)
{
    if (const std::optional<SettingProblem> problem = SettingsValidation::checkRunFolders(current))
        throw CopyFailedException(problem->message());
}

// Called inside a catch block: the failure goes on as a CopyFailedException, every
// other exception is turned into one. Pictures left behind pass unchanged (the rest
// was filed); any other failure of an outermost run says how many pictures its
// staging folders still hold, so nobody takes them for lost.
[[noreturn]] void rethrowAsCopyFailure(bool isOutermost)
{
    QString reason;
    try {
        throw;
    } catch (const PicturesLeftBehind&) {
        throw;
    } catch (const CopyFailedException& failure) {
        if (!isOutermost)
            throw;
        reason = failure.reason();
    } catch (const std::exception& exception) {
        reason = QStringLiteral("name:[%1] reasson:[%2]")
                     .arg(QString::fromLatin1(typeid(exception).name()),
                          QString::fromLocal8Bit(exception.what()));
    } catch (...) {
        reason = QStringLiteral("name:[unknown] reasson:[unknown]");
    }
    if (isOutermost)
        reason = StagingArea::withWaitingNote(
            reason, ImportRunSettings::read(SettingsDictionary(), currentSettings()));
    throw CopyFailedException(reason);
}
} // namespace

struct BaseWatchFolderOperator::OutermostRun
{
    // The records are opened anew for every outermost run, like the settings: a
    // long-lived operator (the folder polls) must not keep writing to a database
    // file that has been moved away or replaced since.
    explicit OutermostRun(BaseWatchFolderOperator& owner)
        : owner(owner), lock(owner.lockPolicy, owner.whileWaitingForLock)
    {
        if (lock.isHeld())
            owner.records.emplace().beginRun();
    }
    ~OutermostRun()
    {
        if (lock.isHeld()) {
            owner.records->endRun();
            owner.records.reset();
        }
    }
    OutermostRun(const OutermostRun&) = delete;
    OutermostRun& operator=(const OutermostRun&) = delete;

    BaseWatchFolderOperator& owner;
    ImportLock lock;
};

BaseWatchFolderOperator::BaseWatchFolderOperator() = default;
BaseWatchFolderOperator::~BaseWatchFolderOperator() = default;

void BaseWatchFolderOperator::prepareDateFormatters(const SettingsDictionary& settings)
{
    setOriginalDateFormatter(QStringLiteral("yyyy:MM:dd"));
    setFolderDateFormatter(
        SettingsValidation::folderDateFormat(settings.stringValue(SettingKeys::dateFormatString)));
}

void BaseWatchFolderOperator::copyImage(const QString& folder,
                                        const SettingsDictionary& settingDictionary, bool isMove,
                                        bool isImport, bool isRecursive, const QString& timestamp)
{
    if (!isRecursive) {
        problems.clear();
        sourceRoot = QFileInfo(folder).canonicalFilePath();
    }
    std::optional<OutermostRun> outermost;
    if (!isRecursive && !insideFolderTreeRun) {
        outermost.emplace(*this);
        if (!outermost->lock.isHeld()) {
            counter = 0;
            return;
        }
    }
    try {
        runFolder(folder, settingDictionary, isMove, isImport, isRecursive, timestamp);
    } catch (...) {
        rethrowAsCopyFailure(!isRecursive);
    }
}

void BaseWatchFolderOperator::runFolder(const QString& folder,
                                        const SettingsDictionary& settingDictionary, bool isMove,
                                        bool isImport, bool isRecursive, const QString& timestamp)
{
    pause();
    const QList<ImportFolderWalk::Entry> entries = ImportFolderWalk::entries(folder, sourceRoot);
    counter = 0;
    // A sub-folder that its parent listed a moment ago has disappeared mid-run; a
    // source already missing when the run starts (a card pulled before it) has
    // simply nothing to import.
    if (isRecursive && !QFileInfo(folder).isDir())
        problems.sourceVanished(folder);
    if (ImportFolderWalk::isPassedOverFolder(folder))
        return;
    const SettingsDictionary current = currentSettings();
    const ImportRunSettings settings = ImportRunSettings::read(settingDictionary, current);
    checkFolders(current);
    const qint64 runTime = TalvorenCommon::getNowDatabaseDatetime().toLongLong();
    // Sources of a moving run are removed once per folder, after one flush.
    SourceRemovalBatch removals(settings.temporaryFolder);
    PictureImport pictures(*this, settings, isMove, isImport, runTime, removals);
    for (const ImportFolderWalk::Entry& entry : entries) {
        // Asked to end: the picture in hand is done; what is staged is filed below.
        if (TerminationRequest::signal() != 0)
            break;
        runEntry(entry, pictures, settings, isMove, isImport, timestamp);
    }
    removals.removeSources();
    if (isRecursive)
        return;
    fileStagedFolders(settings);
    if (importReport)
        importReport->stagedFiled();
    if (!problems.isEmpty())
        throw PicturesLeftBehind(problems.report(counter));
}

void BaseWatchFolderOperator::runEntry(const ImportFolderWalk::Entry& entry,
                                       PictureImport& pictures, const ImportRunSettings& settings,
                                       bool isMove, bool isImport, const QString& timestamp)
{
    using Kind = ImportFolderWalk::Kind;
    switch (entry.kind) {
    case Kind::Picture:
        pictures.importPicture(entry.path, PictureImport::Kind::Picture);
        break;
    case Kind::MovieIndex:
        pictures.importPicture(entry.path, PictureImport::Kind::MovieIndex);
        break;
    case Kind::Folder: {
        const qint64 remembered = counter;
        copyImage(entry.path, currentSettings(), isMove, isImport, true, timestamp);
        counter += remembered;
        break;
    }
    case Kind::LinkNotFollowed:
        Log::info(QStringLiteral("The link [%1] leads out of the imported folder or back into "
                                 "it and is not followed.")
                      .arg(entry.path));
        break;
    case Kind::Stray:
        if (isImport && settings.moveToTrash)
            FileOperations::moveTrash(entry.path);
        break;
    case Kind::Passed:
    case Kind::Kept:
        break;
    }
}

void BaseWatchFolderOperator::fileStagedFolders(const ImportRunSettings& settings)
{
    QString error;
    int filed = 0;
    StagedFolderFiler::Listener listener;
    listener.filedUnderOtherName = [this](const QString& folder, const QString& stagedName,
                                          const QString& filedName) {
        records->renameFiled(folder, stagedName, filedName);
    };
    listener.filedAlready = [this](const QString& stagedShot) {
        if (importReport)
            importReport->stagedCopyDropped(stagedShot);
    };
    const bool picturesFiled = StagedFolderFiler::fileStagedFolders(
        settings.pictureStagingFolder(), settings.destinationFolderPath, &error, &filed, listener);
    const bool moviesFiled =
        picturesFiled && StagedFolderFiler::fileStagedFolders(settings.movieStagingFolder(),
                                                              settings.movieDestinationFolder(),
                                                              &error, &filed, listener);
    counter = filed;
    if (!moviesFiled)
        throw CopyFailedException(error);
}

std::optional<QString> BaseWatchFolderOperator::copyProcess(const QStringList& enumeration,
                                                            bool isForceMove, bool isImport)
{
    return copyProcess([&enumeration] { return enumeration; }, isForceMove, isImport);
}

std::optional<QString>
BaseWatchFolderOperator::copyProcess(const std::function<QStringList()>& enumerate,
                                     bool isForceMove, bool isImport)
{
    const std::lock_guard lock(processLock);
    const OutermostRun run(*this);
    if (!run.lock.isHeld()) {
        Log::debug(QStringLiteral("Another import is running: this one is skipped."));
        counter = 0;
        return std::nullopt;
    }
    const SettingsDictionary settings = currentSettings();
    prepareDateFormatters(settings);
    const bool deleteOriginal = settings.boolValue(SettingKeys::deleteOriginalImage);

    createTransferringFile();
    struct TreeRunEnd
    {
        BaseWatchFolderOperator& owner;
        ~TreeRunEnd()
        {
            owner.insideFolderTreeRun = false;
            deleteTransferringFile();
        }
    } treeRunEnd{*this};
    insideFolderTreeRun = true;

    const QStringList enumeration = enumerate();
    if (isImport)
        trashHiddenEntries(enumeration);
    const QStringList folders = topFolders(enumeration);
    counter = 0;
    if (folders.isEmpty()) {
        fileLeftovers();
        return std::nullopt;
    }
    return runTopFolders(folders, settings, deleteOriginal || isForceMove, isImport);
}

std::optional<QString> BaseWatchFolderOperator::runTopFolders(const QStringList& folders,
                                                              const SettingsDictionary& settings,
                                                              bool isMove, bool isImport)
{
    const QString timestamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    qint64 filed = 0;
    std::optional<QString> picturesFailure;
    for (const QString& folder : folders) {
        if (TerminationRequest::signal() != 0)
            break;
        try {
            copyImage(folder, settings, isMove, isImport, false, timestamp);
            filed += counter;
        } catch (const PicturesLeftBehind& failure) {
            filed += counter;
            Log::error(QStringLiteral("Import of \"%1\" failed: %2").arg(folder, failure.reason()));
            picturesFailure = picturesFailure.value_or(failure.reason());
        } catch (const CopyFailedException& failure) {
            counter += filed;
            Log::error(QStringLiteral("Import of \"%1\" failed: %2").arg(folder, failure.reason()));
            return failure.reason();
        }
    }
    counter = filed;
    return picturesFailure;
}

void BaseWatchFolderOperator::trashHiddenEntries(const QStringList& enumeration)
{
    for (const QString& item : enumeration) {
        const QFileInfo info(item);
        if ((info.fileName().startsWith(QLatin1Char('.')) ||
             FileOperations::isHideAttributeFile(item)) &&
            (info.exists() || info.isSymLink()))
            FileOperations::moveTrash(item);
    }
}

void BaseWatchFolderOperator::fileLeftovers()
{
    const SettingsDictionary current = currentSettings();
    const ImportRunSettings settings = ImportRunSettings::read(SettingsDictionary(), current);
    try {
        checkFolders(current);
        fileStagedFolders(settings);
    } catch (const CopyFailedException& failure) {
        Log::error(QStringLiteral("Staged pictures could not be filed: %1").arg(failure.reason()));
    }
}

QStringList BaseWatchFolderOperator::deepEnumeration(const QString& folder)
{
    QStringList entries;
    QDirIterator iterator(folder,
                          QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext())
        entries.append(iterator.next());
    return entries;
}

QStringList BaseWatchFolderOperator::topFolders(const QStringList& enumeration)
{
    // An import run never enters a folder whose name begins with "." or that is
    // hidden; neither does the reduction, or a top folder inside one (the Trash of a
    // volume, ".Trash-1000/files") would be imported all the same.
    const auto isPassedOver = [](const QString& item) {
        return QFileInfo(item).fileName().startsWith(QLatin1Char('.')) ||
               FileOperations::isHideAttributeFile(item);
    };
    QSet<QString> hiddenFolders;
    for (const QString& item : enumeration) {
        if (QFileInfo(item).isDir() && isPassedOver(item))
            hiddenFolders.insert(item);
    }
    QStringList folders;
    QSet<QString> seen;
    for (const QString& item : enumeration) {
        if (isPassedOver(item) || checkPartialMatch(hiddenFolders, item))
            continue;
        // A link to a folder is met by the run on the folder that holds it, which
        // decides whether it may be followed.
        const QFileInfo info(item);
        const QString folder = info.isDir() && !info.isSymLink() ? item : info.path();
        if (!seen.contains(folder)) {
            seen.insert(folder);
            folders.append(folder);
        }
    }
    std::stable_sort(folders.begin(), folders.end(),
                     [](const QString& a, const QString& b) { return a.size() < b.size(); });
    QStringList tops;
    QSet<QString> topSet;
    for (const QString& folder : folders) {
        if (!checkPartialMatch(topSet, folder)) {
            topSet.insert(folder);
            tops.append(folder);
        }
    }
    return tops;
}

bool BaseWatchFolderOperator::checkPartialMatch(const QSet<QString>& folders, const QString& path)
{
    return std::any_of(folders.cbegin(), folders.cend(), [&path](const QString& folder) {
        return path == folder || path.startsWith(folder + QLatin1Char('/'));
    });
}

void BaseWatchFolderOperator::setProgressWindowCheck(std::function<bool()> isProgressWindowOpen)
{
    progressWindowCheck() = std::move(isProgressWindowOpen);
}

bool BaseWatchFolderOperator::isProgressWindowOpen()
{
    const std::function<bool()>& check = progressWindowCheck();
    return check && check();
}

void BaseWatchFolderOperator::createTransferringFile()
{
    TransferringMarker::create();
}

void BaseWatchFolderOperator::deleteTransferringFile()
{
    TransferringMarker::remove();
}

int BaseWatchFolderOperator::getTotalImageFileCount(const QString& folder, int startCount)
{
    return ImportFolderWalk::pictureCount(folder, startCount);
}

bool BaseWatchFolderOperator::isFirst()
{
    return firstBatchFlag.load();
}

void BaseWatchFolderOperator::setIsFirst(bool value)
{
    firstBatchFlag.store(value);
}

void BaseWatchFolderOperator::pause() const
{
    if (runPause.count() > 0)
        QThread::msleep(static_cast<unsigned long>(runPause.count()));
}

#include "basewatchfolderoperator.h"

#include "common/log.h"
#include "common/talvorencommon.h"
#include "importer/importfolderwalk.h"
#include "importer/importrunsettings.h"
#include "importer/pictureimport.h"
#include "importer/stagedfolderfiler.h"
#include "platform/fileoperations.h"
#include "settings/settingkeys.h"
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

// Staging under an empty "def tmp" would write below the root folder, filing into an
// empty destination would write into it: such a run stops before it touches a file.
void checkFolders(const ImportRunSettings& settings)
{
    if (settings.temporaryFolder.isEmpty())
        throw CopyFailedException(QStringLiteral("The temporary folder (\"def tmp\") is not set"));
    if (settings.destinationFolderPath.isEmpty())
        throw CopyFailedException(QStringLiteral("The destination folder is not set"));
    if (settings.destinationFolderMov && settings.destinationFolderPathMov.isEmpty())
        throw CopyFailedException(QStringLiteral("The movie destination folder is not set"));
}
} // namespace

BaseWatchFolderOperator::BaseWatchFolderOperator() = default;
BaseWatchFolderOperator::~BaseWatchFolderOperator() = default;

void BaseWatchFolderOperator::prepareDateFormatters(const SettingsDictionary& settings)
{
    setOriginalDateFormatter(QStringLiteral("yyyy:MM:dd"));
    QString format = settings.stringValue(SettingKeys::dateFormatString);
    format.replace(QLatin1String("YYYY"), QLatin1String("yyyy"));
    format.replace(QLatin1String("DD"), QLatin1String("dd"));
    setFolderDateFormatter(format);
}

void BaseWatchFolderOperator::copyImage(const QString& folder,
                                        const SettingsDictionary& settingDictionary, bool isMove,
                                        bool isImport, bool isRecursive, const QString& timestamp)
{
    // The outermost run writes the records of every picture it and its nested runs
    // handled, whether it ends normally or by a failure.
    struct RecordCommit
    {
        ImportRecordBatch* batch;
        ~RecordCommit()
        {
            if (batch)
                batch->commit();
        }
    } recordCommit{isRecursive || insideFolderTreeRun ? nullptr : &records};
    try {
        runFolder(folder, settingDictionary, isMove, isImport, isRecursive, timestamp);
    } catch (const CopyFailedException&) {
        throw;
    } catch (const std::exception& exception) {
        throw CopyFailedException(QStringLiteral("name:[%1] reasson:[%2]")
                                      .arg(QString::fromLatin1(typeid(exception).name()),
                                           QString::fromLocal8Bit(exception.what())));
    } catch (...) {
        throw CopyFailedException(QStringLiteral("name:[unknown] reasson:[unknown]"));
    }
}

void BaseWatchFolderOperator::runFolder(const QString& folder,
                                        const SettingsDictionary& settingDictionary, bool isMove,
                                        bool isImport, bool isRecursive, const QString& timestamp)
{
    pause();
    const QList<ImportFolderWalk::Entry> entries = ImportFolderWalk::entries(folder);
    counter = 0;
    if (ImportFolderWalk::isPassedOverFolder(folder))
        return;
    const ImportRunSettings settings =
        ImportRunSettings::read(settingDictionary, currentSettings());
    checkFolders(settings);
    const qint64 runTime = TalvorenCommon::getNowDatabaseDatetime().toLongLong();
    PictureImport pictures(*this, settings, isMove, isImport, runTime);

    for (const ImportFolderWalk::Entry& entry : entries) {
        switch (entry.kind) {
        case ImportFolderWalk::Kind::Picture:
            pictures.importPicture(entry.path, PictureImport::Kind::Picture);
            break;
        case ImportFolderWalk::Kind::Folder: {
            const qint64 remembered = counter;
            copyImage(entry.path, currentSettings(), isMove, isImport, true, timestamp);
            counter += remembered;
            break;
        }
        case ImportFolderWalk::Kind::MovieIndex:
            pictures.importPicture(entry.path, PictureImport::Kind::MovieIndex);
            break;
        case ImportFolderWalk::Kind::Stray:
            if (isImport && settings.moveToTrash)
                FileOperations::moveTrash(entry.path);
            break;
        case ImportFolderWalk::Kind::Passed:
        case ImportFolderWalk::Kind::Kept:
            break;
        }
    }
    if (!isRecursive)
        fileStagedFolders(settings);
}

void BaseWatchFolderOperator::fileStagedFolders(const ImportRunSettings& settings)
{
    QString error;
    if (!StagedFolderFiler::fileStagedFolders(settings.pictureStagingFolder(),
                                              settings.destinationFolderPath, &error))
        throw CopyFailedException(error);
    if (!StagedFolderFiler::fileStagedFolders(settings.movieStagingFolder(),
                                              settings.movieDestinationFolder(), &error))
        throw CopyFailedException(error);
}

std::optional<QString> BaseWatchFolderOperator::copyProcess(const QStringList& enumeration,
                                                            bool isForceMove, bool isImport)
{
    const std::lock_guard lock(processLock);
    const SettingsDictionary settings = currentSettings();
    prepareDateFormatters(settings);
    const bool deleteOriginal = settings.boolValue(SettingKeys::deleteOriginalImage);

    createTransferringFile();
    // The records of all its runs go in with one commit, when the tree is done.
    struct TreeRunEnd
    {
        BaseWatchFolderOperator& owner;
        ~TreeRunEnd()
        {
            owner.insideFolderTreeRun = false;
            owner.records.commit();
            deleteTransferringFile();
        }
    } treeRunEnd{*this};
    insideFolderTreeRun = true;

    if (isImport) {
        for (const QString& item : enumeration) {
            const QFileInfo info(item);
            if ((info.fileName().startsWith(QLatin1Char('.')) ||
                 FileOperations::isHideAttributeFile(item)) &&
                (info.exists() || info.isSymLink()))
                FileOperations::moveTrash(item);
        }
    }
    const QString timestamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    const QStringList folders = topFolders(enumeration);
    if (folders.isEmpty()) {
        fileLeftovers();
        return std::nullopt;
    }
    qint64 filed = 0;
    for (const QString& folder : folders) {
        try {
            copyImage(folder, settings, deleteOriginal || isForceMove, isImport, false, timestamp);
            filed += counter;
        } catch (const CopyFailedException& failure) {
            counter += filed;
            Log::error(QStringLiteral("Import of \"%1\" failed: %2").arg(folder, failure.reason()));
            return failure.reason();
        }
    }
    counter = filed;
    return std::nullopt;
}

void BaseWatchFolderOperator::fileLeftovers()
{
    const ImportRunSettings settings =
        ImportRunSettings::read(SettingsDictionary(), currentSettings());
    try {
        checkFolders(settings);
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
        const QFileInfo info(item);
        const QString folder = info.isDir() ? item : info.path();
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

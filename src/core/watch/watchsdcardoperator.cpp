#include "watch/watchsdcardoperator.h"

#include "common/log.h"
#include "common/notificationcenter.h"
#include "common/runloop.h"
#include "platform/fileoperations.h"
#include "platform/importlock.h"
#include "platform/mounttablevolumechangesource.h"
#include "platform/terminationrequest.h"
#include "platform/userdefaults.h"
#include "platform/volumeroots.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "watch/lmrsdmanager.h"
#include "watch/mountmediamanager.h"
#include "watch/watchwindowpresenter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {
const QString eventIdKey = QStringLiteral("EVENT_ID_SD_CARD");
const QString markerName = QStringLiteral("LMR_SD");
constexpr qint64 confirmBeforeSendingTag = 1001;

CardWatchTimings& currentTimings()
{
    static CardWatchTimings timings;
    return timings;
}

WatchSDCardOperator::SourceFactory& sourceFactory()
{
    static WatchSDCardOperator::SourceFactory factory;
    return factory;
}

// The one card watch of the process.
std::unique_ptr<VolumeChangeSource>& runningSource()
{
    static std::unique_ptr<VolumeChangeSource> source;
    return source;
}

SettingsDictionary currentSettings()
{
    return UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
}

void pauseFor(std::chrono::milliseconds length)
{
    if (length.count() > 0)
        runLoopFor(static_cast<double>(length.count()) / 1000.0);
}

bool isCardMarker(const QString& marker)
{
    const QFileInfo info(marker);
    return info.exists() && !info.isDir();
}

// The names in a folder, hidden ones included, in a fixed order.
QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

struct CardsOfBatch
{
    QStringList folders;     // every card under the batch's roots
    bool anyChanged = false; // one of them is new or changed since its last import
};

CardsOfBatch cardsOf(const VolumeChangeBatch& batch)
{
    CardsOfBatch cards;
    LMRSDManager* manager = LMRSDManager::sharedInstance();
    // A batch can name the same root more than once; each card is taken once.
    QStringList eventPaths = batch.eventPaths;
    eventPaths.removeDuplicates();
    for (const QString& eventPath : eventPaths) {
        for (const QString& volumeName : namesIn(eventPath)) {
            const QString volume = QDir(eventPath).filePath(volumeName);
            const QString marker = QDir(volume).filePath(markerName);
            if (!isCardMarker(marker))
                continue;
            cards.folders << volume;
            if (manager->checkUpdate(marker)) {
                manager->setTarget(marker);
                cards.anyChanged = true;
            }
        }
    }
    return cards;
}

// Asks first when the settings say so; otherwise imports at once behind the same
// progress window the confirmation leads to.
void confirmOrImport(const QStringList& folders)
{
    const std::shared_ptr<WatchWindowPresenter> windows = WatchWindowPresenter::shared();
    if (currentSettings().integerValue(SettingKeys::confirmBeforeSending) ==
        confirmBeforeSendingTag) {
        if (!windows->checkWindow(WatchWindow::SDCopyConfirm))
            windows->showCardCopyConfirmation(std::make_shared<WatchSDCardOperator>(), folders);
        windows->bringCardCopyConfirmationToFront();
        windows->hideProgressWindow();
        return;
    }
    windows->showProgressWindow(folders);
    WatchSDCardOperator cardOperator;
    cardOperator.copyImage(folders, cardOperator);
}

void closeProgressWindow(WatchWindowPresenter& windows)
{
    if (!windows.checkWindow(WatchWindow::Progress))
        return;
    pauseFor(currentTimings().windowPause);
    NotificationCenter::defaultCenter().post(QStringLiteral("notificationNameCloseProgressWindow"));
}
} // namespace

WatchSDCardOperator::WatchSDCardOperator()
{
    setRunPause(currentTimings().runPause);
}

CardWatchTimings WatchSDCardOperator::timings()
{
    return currentTimings();
}

void WatchSDCardOperator::setTimings(const CardWatchTimings& timings)
{
    currentTimings() = timings;
}

void WatchSDCardOperator::setSourceFactory(SourceFactory factory)
{
    sourceFactory() = std::move(factory);
}

void WatchSDCardOperator::registWatchingSDCardFolder()
{
    stopWatchingSDCardFolder();
    setIsFirst(true);
    const quint64 since = UserDefaults::unsignedValue(eventIdKey);
    std::unique_ptr<VolumeChangeSource> source =
        sourceFactory() ? sourceFactory()(currentTimings().latency)
                        : std::make_unique<MountTableVolumeChangeSource>(VolumeRoots::current(),
                                                                         currentTimings().latency);
    QObject::connect(source.get(), &VolumeChangeSource::batchReady, source.get(),
                     &WatchSDCardOperator::handleBatch);
    source->start(since);
    runningSource() = std::move(source);
}

void WatchSDCardOperator::stopWatchingSDCardFolder()
{
    std::unique_ptr<VolumeChangeSource>& source = runningSource();
    if (!source)
        return;
    source->stop();
    // The batch that is being handled may be this source's (the handler spins the
    // event loop, and the settings can be applied meanwhile).
    source.release()->deleteLater();
}

bool WatchSDCardOperator::isWatching()
{
    return runningSource() != nullptr;
}

void WatchSDCardOperator::handleBatch(const VolumeChangeBatch& batch)
{
    if (isFirst()) {
        setIsFirst(false);
        Log::debug(QStringLiteral("The first volume change only starts the camera card watch: "
                                  "cards are taken from the next one on."));
        return;
    }
    pauseFor(currentTimings().batchPause);
    const CardsOfBatch cards = cardsOf(batch);
    try {
        if (!cards.anyChanged || cards.folders.isEmpty())
            LMRSDManager::sharedInstance()->removeUnmountTarget();
        else
            confirmOrImport(cards.folders);
    } catch (const std::exception& exception) {
        // Nothing may leave an event-loop callback; the card import has cleaned up.
        Log::error(QStringLiteral("The camera card import stopped: %1")
                       .arg(QString::fromLocal8Bit(exception.what())));
    }
    UserDefaults::setValue(eventIdKey, QVariant::fromValue<quint64>(batch.lastEventId));
}

void WatchSDCardOperator::copyImage(const QStringList& folders, WatchSDCardOperator& selfInstance)
{
    const SettingsDictionary settings = currentSettings();
    selfInstance.prepareDateFormatters(settings);
    selfInstance.clearFiledFolders();
    const std::shared_ptr<WatchWindowPresenter> windows = WatchWindowPresenter::shared();

    // The whole card is one import: another process waits until it is done.
    const ImportLock importLock(ImportLock::WhenHeld::Wait);
    createTransferringFile();
    qint64 total = 0;
    bool failed = false;
    try {
        selfInstance.importCards(folders, settings, total);
    } catch (const CopyFailedException& failure) {
        failed = true;
        Log::error(QStringLiteral("Import of the camera card failed: %1").arg(failure.reason()));
        windows->showCopyFailedAlert(failure.reason());
    } catch (...) {
        deleteTransferringFile();
        closeProgressWindow(*windows);
        throw;
    }
    deleteTransferringFile();
    closeProgressWindow(*windows);

    if (settings.boolValue(SettingKeys::ejectRemovableDevice)) {
        pauseFor(currentTimings().windowPause);
        MountMediaManager::ejectMedia(folders);
    }
    if (settings.boolValue(SettingKeys::displayDesktopNotice) &&
        !windows->checkWindow(WatchWindow::Alert) && (!failed || total > 0))
        windows->showCopyResult(total, selfInstance.filedFolders());
}

void WatchSDCardOperator::importCards(const QStringList& folders,
                                      const SettingsDictionary& settings, qint64& total)
{
    const bool deleteOriginal = settings.boolValue(SettingKeys::deleteOriginalImage);
    const QString timestamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz"));
    for (const QString& folder : folders) {
        if (TerminationRequest::signal() != 0)
            break;
        // One run per card: a run walks every visible sub-folder itself, so a run per
        // sub-folder as well would meet each picture again, stage it again when the
        // duplicate test is off and count it again in the result.
        if (!FileOperations::isHideAttributeFile(folder)) {
            copyImage(folder, settings, deleteOriginal, false, false, timestamp);
            total += operationCounter();
        }
        LMRSDManager::sharedInstance()->modifyTimestamp(QDir(folder).filePath(markerName),
                                                        QDateTime::currentDateTime());
    }
}

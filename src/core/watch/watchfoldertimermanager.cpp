#include "watch/watchfoldertimermanager.h"

#include "common/log.h"
#include "importer/transferringmarker.h"
#include "settings/settingkeys.h"
#include "settings/settingsvalidation.h"
#include "settings/usersettings.h"
#include "watch/watchwindowpresenter.h"

#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace {
SettingsDictionary currentSettings()
{
    return UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
}

std::unique_ptr<QTimer> repeatingTimer(std::chrono::milliseconds interval,
                                       void (WatchFolderTimerManager::*action)())
{
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(interval);
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(),
                     [action] { (WatchFolderTimerManager::sharedInstance()->*action)(); });
    timer->start();
    return timer;
}

// The old timer may be the one whose tick is running further up the stack (a poll
// spins the event loop, and the configuration window can replace the timer then).
void replaceTimer(std::unique_ptr<QTimer>& current, std::unique_ptr<QTimer> replacement)
{
    if (current) {
        current->stop();
        current.release()->deleteLater();
    }
    current = std::move(replacement);
}
} // namespace

WatchFolderTimerManager* WatchFolderTimerManager::sharedInstance()
{
    // Created once, on first use, and kept until the process ends.
    static WatchFolderTimerManager* const instance = new WatchFolderTimerManager;
    return instance;
}

void WatchFolderTimerManager::watchFolderProcess()
{
    if (existTransferringFile()) {
        Log::debug(
            QStringLiteral("転送中だったので監視処理を終了します。（フォルダ監視タイマーは継続）"));
        return;
    }
    const QString path = currentSettings().stringValue(SettingKeys::watchFolderPath);
    if (!checkWatchFolderAndDestinationFolder(path)) {
        Log::debug(QStringLiteral(
            "転送元 or "
            "転送先の設定が不正だったので監視処理を終了します。（フォルダ監視タイマーは継続）"));
        return;
    }
    poll(path, false, false);
}

void WatchFolderTimerManager::watchImportFolderProcess()
{
    const QString path = currentSettings().stringValue(SettingKeys::defImp);
    if (!checkWatchFolderAndDestinationFolder(path)) {
        Log::debug(QStringLiteral("転送元 or 転送先の設定が不正だったので監視処理を終了します。"
                                  "（Importフォルダ監視タイマーは継続）"));
        return;
    }
    poll(path, true, true);
}

void WatchFolderTimerManager::poll(const QString& folder, bool isForceMove, bool isImport)
{
    if (busy)
        return;
    busy = true;
    struct BusyReset
    {
        ~BusyReset() { busy = false; }
    } busyReset;
    setOperationCounter(0);
    // An import of another process (talvoren-cli) holds the staging folders: this
    // tick is skipped, as while the transferring marker stands.
    setImportLockPolicy(ImportLock::WhenHeld::Skip);
    const std::optional<QString> failure =
        copyProcess(deepEnumeration(folder), isForceMove, isImport);
    if (failure)
        WatchWindowPresenter::shared()->showCopyFailedAlert(*failure);
}

bool WatchFolderTimerManager::checkWatchFolderAndDestinationFolder(const QString& path) const
{
    // Folders that are not set, relative or of the wrong type would be resolved
    // against the working folder: such settings import nothing (the start says why).
    return path.startsWith(QLatin1Char('/')) &&
           !SettingsValidation::checkRunFolders(currentSettings());
}

bool WatchFolderTimerManager::existTransferringFile() const
{
    const QFileInfo marker(TransferringMarker::path());
    return marker.exists() || marker.isSymLink();
}

void WatchFolderTimerManager::setWatchFolderTimer(std::unique_ptr<QTimer> timer)
{
    replaceTimer(watchFolderTimerObject, std::move(timer));
}

void WatchFolderTimerManager::setWatchImportFolderTimer(std::unique_ptr<QTimer> timer)
{
    replaceTimer(watchImportFolderTimerObject, std::move(timer));
}

void WatchFolderTimerManager::startWatchFolderTimer(std::chrono::milliseconds interval)
{
    setWatchFolderTimer(repeatingTimer(interval, &WatchFolderTimerManager::watchFolderProcess));
}

void WatchFolderTimerManager::stopWatchFolderTimer()
{
    setWatchFolderTimer(nullptr);
}

void WatchFolderTimerManager::startWatchImportFolderTimer()
{
    setWatchImportFolderTimer(
        repeatingTimer(importFolderInterval, &WatchFolderTimerManager::watchImportFolderProcess));
}

std::chrono::milliseconds
WatchFolderTimerManager::watchFolderInterval(const SettingsDictionary& settings)
{
    if (!settings.contains(SettingKeys::fileDetectionWaitTime))
        return defaultWatchFolderInterval;
    const double milliseconds = settings.doubleValue(SettingKeys::fileDetectionWaitTime);
    // A shorter interval (0 included) would poll the whole tree again without pause.
    const double shortest = double(shortestWatchFolderInterval.count());
    if (!(milliseconds >= shortest))
        return shortestWatchFolderInterval;
    const double longest = std::numeric_limits<int>::max();
    return std::chrono::milliseconds(static_cast<qint64>(std::min(milliseconds, longest)));
}

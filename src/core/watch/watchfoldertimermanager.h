#pragma once

#include "importer/basewatchfolderoperator.h"

#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>

// Polls the user's watch folder and the application's Import folder. Each tick
// walks the folder tree, reduces it to the top-most folders that hold anything and
// gives each of them one import run. The two polls share one busy flag, so a tick
// that comes while a poll is running (an alert or progress window can spin the
// event loop) does nothing.
class WatchFolderTimerManager : public BaseWatchFolderOperator
{
public:
    static constexpr std::chrono::milliseconds defaultWatchFolderInterval{15000};
    static constexpr std::chrono::milliseconds shortestWatchFolderInterval{1000};
    static constexpr std::chrono::milliseconds importFolderInterval{10000};

    static WatchFolderTimerManager* sharedInstance();

    // One poll of the watch folder ("watch folder path"): copies, or moves when
    // "delete original image" is on. Skipped while the transferring marker exists.
    void watchFolderProcess();
    // One poll of the Import folder ("def imp"): always moves, cleans away hidden files.
    void watchImportFolderProcess();

    // True when the path is not empty and "destination folder path" is not empty.
    bool checkWatchFolderAndDestinationFolder(const QString& path) const;
    bool existTransferringFile() const;
    static bool isBusy() { return busy; }

    QTimer* watchFolderTimer() const { return watchFolderTimerObject.get(); }
    void setWatchFolderTimer(std::unique_ptr<QTimer> timer);
    QTimer* watchImportFolderTimer() const { return watchImportFolderTimerObject.get(); }
    void setWatchImportFolderTimer(std::unique_ptr<QTimer> timer);

    // Replaces the watch-folder timer by one repeating at the interval.
    void startWatchFolderTimer(std::chrono::milliseconds interval);
    void stopWatchFolderTimer();
    void startWatchImportFolderTimer();
    // "file detection wait time" (milliseconds); 15 seconds when it is missing, one
    // second when it is shorter than that (or not a number).
    static std::chrono::milliseconds watchFolderInterval(const SettingsDictionary& settings);

private:
    WatchFolderTimerManager() = default;
    // Runs the folder-tree import of one poll under the busy flag.
    void poll(const QString& folder, bool isForceMove, bool isImport);

    static inline bool busy = false;
    std::unique_ptr<QTimer> watchFolderTimerObject;
    std::unique_ptr<QTimer> watchImportFolderTimerObject;
};

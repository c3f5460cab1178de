#pragma once

#include "launchoptions.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class LogFileRotation;
class MountMediaObserver;
class SingleInstance;
class TalvorenWindowManager;
class WatchFolderTimerManager;

// The application shell: brings every subsystem up in a fixed order at launch,
// keeps the tray icon and its menu, runs the housekeeping timers, and closes the
// log at the end. Headless (no display, or --headless) it does the same work
// without tray and windows, and alerts go to the log.
class TalvorenAppDelegate : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    explicit TalvorenAppDelegate(const LaunchOptions& options, QObject* parent = nullptr,
                                 Clock clock = &QDateTime::currentDateTime);
    ~TalvorenAppDelegate() override;

    // The launch sequence. False when another copy already runs (this one then
    // only shows the notice and quits).
    bool applicationDidFinishLaunching();
    void applicationShouldTerminate();

    static bool isLogOutput();
    static bool isShowAllDetailConfigItems();
    static bool getIsFirstTime();
    // Today's file in "def log" (the folder is created); empty without "def log".
    static QString getLogFilePath();

    // Housekeeping timer handlers.
    void timerDeleteImportedFileRecord();
    // Moves the log to the file of the day that began at the midnight, and purges.
    void timerRotateLogFile(const QDateTime& midnight);
    // The server checks, once each shortly after the launch: a window is shown only
    // for a newer version or an unread notice.
    void timerUpdateCheck();
    void timerInformationCheck();

    // Menu actions.
    void showPreferencesWindow();
    void showRecentImportsWindow();
    void showDestinationFolder();
    void showDestinationFolderMovie();
    void showUpdateCheckWindow();
    void showVersionInformationWindow();
    void showHelpWindow();
    void showRemoteSupportUrl();
    void terminateApp();

    void changeDestinationFolderMenuItem();

    QSystemTrayIcon* statusItem() const { return trayIcon.get(); }

private:
    void parseCommandLine();
    bool checkSingleInstance();
    void prepareSettingsAndDatabase();
    void showReadConfirmWhenSettingsFileWaits();
    // False (after an alert) when the settings file stands there but cannot be read.
    bool settingsFileIsUsable();
    void decideFirstStartAndLogging();
    void redirectLogWhenWanted();
    void askTakeOverWhenUpgraded();
    void startMaintenanceTimers();
    void setupStatusBarItem();
    void prepareDestinationFolders();
    void checkDestinationFolder();
    // Alerts when a folder the imports need is not set, relative or not a text;
    // false then.
    bool folderSettingsAreUsable();
    void startCardWatch();
    void startWatchFolderTimer();
    void startImportFolderTimer();
    void startMountObserver();
    void registerLoginItem();
    void showAlert(const QString& message, bool showConfigWindow);
    void bringWindowToFront(int windowId);
    void openFolder(const QString& path);

    LaunchOptions options;
    bool headless;
    std::unique_ptr<SingleInstance> singleInstance;
    TalvorenWindowManager* talvorenWindowManager = nullptr;
    WatchFolderTimerManager* watchFolderTimerManager = nullptr;
    std::unique_ptr<MountMediaObserver> mountMediaObserver;

    std::unique_ptr<QSystemTrayIcon> trayIcon;
    std::unique_ptr<QMenu> statusBarMenu;
    QPointer<QAction> showDestination;
    QPointer<QAction> showDestinationPicture;
    QPointer<QAction> showDestinationMovie;

    QTimer* purgeTimer = nullptr;
    LogFileRotation* logFileRotation = nullptr;
    Clock clock;
    bool takeOverUnanswered = false;
};

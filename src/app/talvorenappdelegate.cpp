#include "talvorenappdelegate.h"

#include "alertwindowcontroller.h"
#include "buildinfo.h"
#include "common/applicationresources.h"
#include "common/log.h"
#include "common/logfile.h"
#include "common/logfilerotation.h"
#include "common/notificationcenter.h"
#include "common/runloop.h"
#include "common/talvorencommon.h"
#include "configwindowcontroller.h"
#include "desktopwatchwindowpresenter.h"
#include "informationcheckwindowcontroller.h"
#include "localizedstrings.h"
#include "platform/autostartonloginservice.h"
#include "platform/singleinstance.h"
#include "platform/terminationrequest.h"
#include "platform/volumeroots.h"
#include "readconfirmwindowcontroller.h"
#include "records/importedfilerecordpurge.h"
#include "records/importedfiletableupgrade.h"
#include "records/seeddatabase.h"
#include "settings/importsettingfileoperator.h"
#include "settings/settingkeys.h"
#include "settings/settingsmigration.h"
#include "settings/settingsvalidation.h"
#include "settings/usersettings.h"
#include "takeoverquestiondialog.h"
#include "talvorenwindowid.h"
#include "talvorenwindowmanager.h"
#include "updatecheckwindowcontroller.h"
#include "watch/headlesswatchwindowpresenter.h"
#include "watch/mountmediaobserver.h"
#include "watch/watchfoldertimermanager.h"
#include "watch/watchsdcardoperator.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>

namespace {
bool logOutputFlag = false;
bool showAllItemsFlag = false;
bool firstTimeFlag = false;

constexpr int logLevel = 2;
constexpr int purgeIntervalMs = 3600 * 1000;
constexpr int updateCheckDelayMs = 3000;
constexpr int informationCheckDelayMs = 5000;
const QString remoteSupportUrl = QStringLiteral("https://support.talvoren.example/remote");

SettingsDictionary currentSettings()
{
    return UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
}

bool isExistingFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

// A relative path would be made below whatever folder the application started in.
void createFolderWhenMissing(const QString& path)
{
    if (QDir::isAbsolutePath(path) && !isExistingFolder(path))
        QDir().mkpath(path);
}

QString defaultPictureDestination()
{
    return QStringLiteral("%1/%2").arg(TalvorenCommon::getPicturesDirectory(),
                                       QStringLiteral("Talvoren"));
}

QString defaultMovieDestination()
{
    return QStringLiteral("%1/%2").arg(TalvorenCommon::getMoviesDirectory(),
                                       QStringLiteral("TalvorenMovie"));
}
} // namespace

TalvorenAppDelegate::TalvorenAppDelegate(const LaunchOptions& launchOptions, QObject* parent,
                                         Clock clock)
    : QObject(parent), options(launchOptions),
      headless(launchOptions.headless ||
               qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr),
      clock(std::move(clock))
{
}

TalvorenAppDelegate::~TalvorenAppDelegate() = default;

bool TalvorenAppDelegate::isLogOutput()
{
    return logOutputFlag;
}

bool TalvorenAppDelegate::isShowAllDetailConfigItems()
{
    return showAllItemsFlag;
}

bool TalvorenAppDelegate::getIsFirstTime()
{
    return firstTimeFlag;
}

QString TalvorenAppDelegate::getLogFilePath()
{
    const SettingsDictionary settings = currentSettings();
    if (!settings.contains(SettingKeys::defLog))
        return {};
    return LogFile::pathFor(settings.stringValue(SettingKeys::defLog),
                            QDateTime::currentDateTime());
}

bool TalvorenAppDelegate::applicationDidFinishLaunching()
{
    Log::info(QStringLiteral("LOG_LEVEL:[%1]").arg(logLevel));
    parseCommandLine();
    // SIGTERM (logout, shutdown) and SIGINT end an import in progress after the
    // picture in hand, then quit as the menu's quit item does.
    TerminationRequest::quitEventLoopOnRequest(this);
    watchFolderTimerManager = WatchFolderTimerManager::sharedInstance();
    if (!headless)
        talvorenWindowManager = &TalvorenWindowManager::sharedInstance();
    if (!checkSingleInstance())
        return false;
    if (headless)
        Log::info(
            QStringLiteral("No display or system tray: running headless, alerts go to the log."));
    else
        DesktopWatchWindowPresenter::install();

    prepareSettingsAndDatabase();
    showReadConfirmWhenSettingsFileWaits();
    if (!settingsFileIsUsable())
        return true;
    decideFirstStartAndLogging();
    askTakeOverWhenUpgraded();
    startMaintenanceTimers();
    setupStatusBarItem();
    prepareDestinationFolders();
    // A folder setting that is no absolute path is said once; looking for such a
    // destination would wait for nothing and say it a second time.
    if (folderSettingsAreUsable())
        checkDestinationFolder();
    startCardWatch();
    startWatchFolderTimer();
    startImportFolderTimer();
    startMountObserver();
    registerLoginItem();
    // An unanswered take-over question leaves the older build's settings as they
    // are, so that it is asked again at the next start.
    if (!takeOverUnanswered)
        SettingsMigration().raiseLastBuildNumber();
    changeDestinationFolderMenuItem();
    Log::info(QStringLiteral("Talvoren %1 (build %2) is running.")
                  .arg(TalvorenCommon::getVersionNubmer())
                  .arg(TalvorenCommon::buildNumber()));
    return true;
}

void TalvorenAppDelegate::parseCommandLine()
{
    logOutputFlag = options.logOutput;
    showAllItemsFlag = options.showAllItems;
    // Before the card watch and the mount observer take the roots.
    if (!options.volumeRoots.isEmpty())
        VolumeRoots::setReplacement(options.volumeRoots);
}

bool TalvorenAppDelegate::checkSingleInstance()
{
    singleInstance =
        std::make_unique<SingleInstance>(QString::fromLatin1(BuildInfo::applicationId));
    if (singleInstance->tryAcquire())
        return true;
    Log::info(QStringLiteral("Talvoren is already running; this copy ends."));
    if (headless) {
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        return false;
    }
    // The notice ends this copy when it is closed.
    if (BaseWindowController* notice =
            talvorenWindowManager->getWindowController(TalvorenWindowId::DuplicateWindow)) {
        notice->showWindow();
        notice->orderFront();
    } else {
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    }
    return false;
}

void TalvorenAppDelegate::prepareSettingsAndDatabase()
{
    if (!QFileInfo::exists(TalvorenCommon::getUserSettingPlistFilePath()))
        UserSettings::copyDefaultPlist();
    SeedDatabase::installIfMissing();
}

bool TalvorenAppDelegate::settingsFileIsUsable()
{
    const std::optional<QString> corrupt = UserSettings::corruptionMessage();
    if (!corrupt)
        return true;
    // Settings that could not be read are neither completed nor migrated (either would
    // write over the file) and import nothing; the tray stays for the settings window.
    showAlert(
        LocalizedStrings::format(QStringLiteral("ApplicationMessage_SettingsProblem"), {*corrupt}),
        false);
    setupStatusBarItem();
    return false;
}

bool TalvorenAppDelegate::folderSettingsAreUsable()
{
    const std::optional<SettingProblem> problem =
        SettingsValidation::checkRunFolders(currentSettings(), SettingsValidation::Use::Watch);
    if (!problem)
        return true;
    showAlert(LocalizedStrings::format(QStringLiteral("ApplicationMessage_SettingsProblem"),
                                       {problem->message()}),
              true);
    return false;
}

void TalvorenAppDelegate::decideFirstStartAndLogging()
{
    SettingsDictionary settings = currentSettings();
    firstTimeFlag = SettingsMigration::checkFirstTimeStart(settings);
    if (firstTimeFlag) {
        SettingsMigration().completeFirstStart();
        settings = currentSettings();
        if (settings.contains(SettingKeys::isOutputLog))
            logOutputFlag = settings.boolValue(SettingKeys::isOutputLog);
        if (logOutputFlag && !LogFile::isRedirected())
            LogFile::redirectStandardError(getLogFilePath());
    }
    redirectLogWhenWanted();
    // Standard error has said it once; a window says it where nobody reads that.
    if (!headless && !LogFile::failureMessage().isEmpty())
        showAlert(LogFile::failureMessage(), false);
    Log::info(QStringLiteral("LOG_LEVEL:[%1]").arg(logLevel));
}

void TalvorenAppDelegate::redirectLogWhenWanted()
{
    const SettingsDictionary settings = currentSettings();
    if (settings.contains(SettingKeys::isOutputLog))
        logOutputFlag = settings.boolValue(SettingKeys::isOutputLog);
    if (!logOutputFlag)
        return;
    const QString path = getLogFilePath();
    if (!path.isEmpty())
        LogFile::redirectStandardError(path);
}

void TalvorenAppDelegate::askTakeOverWhenUpgraded()
{
    SettingsMigration migration;
    if (firstTimeFlag || !migration.needsTakeOverQuestion(currentSettings()))
        return;
    migration.setLogOpener([](const QString& path) { LogFile::redirectStandardError(path); });
    const auto ask = [this](const SettingsDictionary&) {
        if (headless) {
            Log::info(QStringLiteral("Settings of an older build found: taking them over "
                                     "(no display to ask on)."));
            return int(SettingsMigration::TakeOver);
        }
        const int answer = TakeOverQuestionDialog::ask();
        takeOverUnanswered = answer == TakeOverQuestionDialog::noAnswer;
        if (takeOverUnanswered)
            Log::info(QStringLiteral("The take-over question was closed without an answer: "
                                     "the settings stay as they are until the next start."));
        return answer;
    };
    const auto migrateTable = [](const SettingsDictionary& oldSettings) {
        ImportedFileTableUpgrade::updateDatabase(SettingsMigration::lastBuildNumber(oldSettings));
    };
    migration.showUpdateDialog(ask, migrateTable);
}

void TalvorenAppDelegate::showReadConfirmWhenSettingsFileWaits()
{
    if (!ImportSettingFileOperator::exchangeFileExists())
        return;
    if (headless) {
        Log::info(QStringLiteral("A settings file waits at %1; it is read only after a "
                                 "confirmation on a display.")
                      .arg(ImportSettingFileOperator::exchangeFilePath()));
        return;
    }
    // Made directly, not through the manager; its OK runs the settings import and it
    // frees itself when it closes. The launch goes on without waiting for the answer.
    auto* confirm = new ReadConfirmWindowController;
    confirm->showWindow();
    confirm->orderFront();
}

void TalvorenAppDelegate::startMaintenanceTimers()
{
    // Without windows the server checks would have nothing to show.
    if (talvorenWindowManager) {
        QTimer::singleShot(updateCheckDelayMs, this, &TalvorenAppDelegate::timerUpdateCheck);
        QTimer::singleShot(informationCheckDelayMs, this,
                           &TalvorenAppDelegate::timerInformationCheck);
    }

    purgeTimer = new QTimer(this);
    purgeTimer->setInterval(purgeIntervalMs);
    connect(purgeTimer, &QTimer::timeout, this,
            &TalvorenAppDelegate::timerDeleteImportedFileRecord);
    purgeTimer->start();

    logFileRotation = new LogFileRotation(
        [this](const QDateTime& midnight) { timerRotateLogFile(midnight); }, clock, this);
    logFileRotation->start();
}

void TalvorenAppDelegate::timerDeleteImportedFileRecord()
{
    const SettingsDictionary settings = currentSettings();
    const auto purgedAt = ImportedFileRecordPurge::deleteImportedFileRecordIfDue(
        settings.stringValue(SettingKeys::lastDeleteImportedFileRecordDatetime),
        settings.doubleValue(SettingKeys::deleteImportedFileRecordIntervalTime),
        QDateTime::currentDateTime());
    if (purgedAt) {
        UserSettings::update([&](SettingsDictionary& dictionary) {
            dictionary.setValue(SettingKeys::lastDeleteImportedFileRecordDatetime,
                                SettingValue(*purgedAt));
        });
    }
}

void TalvorenAppDelegate::timerUpdateCheck()
{
    if (UpdateCheckWindowController::checkUpdate().newer)
        showUpdateCheckWindow();
}

void TalvorenAppDelegate::timerInformationCheck()
{
    const qint64 checkedId = currentSettings().integerValue(SettingKeys::checkedInformationId);
    if (!InformationCheckWindowController::checkInformation().isUnread(checkedId) ||
        !talvorenWindowManager)
        return;
    bringWindowToFront(TalvorenWindowId::InformationCheckWindow);
}

void TalvorenAppDelegate::timerRotateLogFile(const QDateTime& midnight)
{
    // Named after the day that has just begun, whatever the clock reads by now.
    const SettingsDictionary settings = currentSettings();
    LogFile::redirectStandardError(
        LogFile::pathFor(settings.stringValue(SettingKeys::defLog), midnight));
    LogFile::purge(settings.stringValue(SettingKeys::defLog),
                   settings.integerValue(SettingKeys::logFileKeepDays), clock());
}

void TalvorenAppDelegate::setupStatusBarItem()
{
    if (headless)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        Log::error(QStringLiteral("No system tray is available: the menu cannot be shown."));

    statusBarMenu = std::make_unique<QMenu>();
    // Every save of the settings window may change which destination items apply.
    NotificationCenter::defaultCenter().addObserver(
        ConfigWindowController::settingsSavedNotification, this,
        [this](const QVariantMap&) { changeDestinationFolderMenuItem(); });
    const auto addItem = [this](const QString& key, void (TalvorenAppDelegate::*action)()) {
        QAction* item = statusBarMenu->addAction(LocalizedStrings::string(key));
        connect(item, &QAction::triggered, this, action);
        return item;
    };
    addItem(QStringLiteral("StatusBarMenu_Preferences"),
            &TalvorenAppDelegate::showPreferencesWindow);
    addItem(QStringLiteral("StatusBarMenu_RecentImports"),
            &TalvorenAppDelegate::showRecentImportsWindow);
    statusBarMenu->addSeparator();
    showDestination = addItem(QStringLiteral("StatusBarMenu_ShowDestination"),
                              &TalvorenAppDelegate::showDestinationFolder);
    showDestinationPicture = addItem(QStringLiteral("StatusBarMenu_ShowDestinationPicture"),
                                     &TalvorenAppDelegate::showDestinationFolder);
    showDestinationMovie = addItem(QStringLiteral("StatusBarMenu_ShowDestinationMovie"),
                                   &TalvorenAppDelegate::showDestinationFolderMovie);
    statusBarMenu->addSeparator();
    addItem(QStringLiteral("StatusBarMenu_UpdateCheck"),
            &TalvorenAppDelegate::showUpdateCheckWindow);
    addItem(QStringLiteral("StatusBarMenu_VersionInformation"),
            &TalvorenAppDelegate::showVersionInformationWindow);
    addItem(QStringLiteral("StatusBarMenu_Help"), &TalvorenAppDelegate::showHelpWindow);
    addItem(QStringLiteral("StatusBarMenu_RemoteSupport"),
            &TalvorenAppDelegate::showRemoteSupportUrl);
    statusBarMenu->addSeparator();
    addItem(QStringLiteral("StatusBarMenu_Quit"), &TalvorenAppDelegate::terminateApp);

    QIcon icon(ApplicationResources::path(QStringLiteral("TalvorenStatusBarIconTemplate"),
                                          QStringLiteral("svg")));
    if (icon.isNull())
        Log::error(QStringLiteral("The tray icon image is missing."));
    icon.setIsMask(true);
    trayIcon = std::make_unique<QSystemTrayIcon>(icon);
    trayIcon->setToolTip(QStringLiteral("Talvoren"));
    trayIcon->setContextMenu(statusBarMenu.get());
    trayIcon->show();
}

void TalvorenAppDelegate::prepareDestinationFolders()
{
    SettingsDictionary settings = currentSettings();
    const QString destination = settings.stringValue(SettingKeys::destinationFolderPath);
    if (!destination.isEmpty()) {
        createFolderWhenMissing(destination);
    } else {
        createFolderWhenMissing(defaultPictureDestination());
        UserSettings::update([](SettingsDictionary& dictionary) {
            dictionary.setValue(SettingKeys::destinationFolderPath,
                                SettingValue(defaultPictureDestination()));
        });
        settings = currentSettings();
    }

    const QString movieDestination = settings.stringValue(SettingKeys::destinationFolderPathMov);
    if (movieDestination.isEmpty() || firstTimeFlag)
        createFolderWhenMissing(defaultMovieDestination());
    else
        createFolderWhenMissing(movieDestination);
}

void TalvorenAppDelegate::checkDestinationFolder()
{
    SettingsDictionary settings = currentSettings();
    QString destination = settings.stringValue(SettingKeys::destinationFolderPath);
    if (isExistingFolder(destination))
        return;
    // A network volume may still be mounting: let the timers run while we wait.
    runLoopFor(settings.doubleValue(SettingKeys::waitSecondsForCheckingDesignatedFolder));
    destination = currentSettings().stringValue(SettingKeys::destinationFolderPath);
    if (!isExistingFolder(destination))
        showAlert(LocalizedStrings::format(QStringLiteral("ApplicationMessage26"), {destination}),
                  true);
}

void TalvorenAppDelegate::startCardWatch()
{
    if (currentSettings().boolValue(SettingKeys::watchRemovableDiskDrive))
        WatchSDCardOperator().registWatchingSDCardFolder();
}

void TalvorenAppDelegate::startWatchFolderTimer()
{
    const SettingsDictionary settings = currentSettings();
    if (!settings.boolValue(SettingKeys::watchFolder))
        return;
    const QString watchFolder = settings.stringValue(SettingKeys::watchFolderPath);
    if (!isExistingFolder(watchFolder)) {
        showAlert(LocalizedStrings::format(QStringLiteral("ApplicationMessage25"), {watchFolder}),
                  true);
        return;
    }
    watchFolderTimerManager->startWatchFolderTimer(
        WatchFolderTimerManager::watchFolderInterval(settings));
}

void TalvorenAppDelegate::startImportFolderTimer()
{
    const QString importFolder = currentSettings().stringValue(SettingKeys::defImp);
    if (!isExistingFolder(importFolder)) {
        Log::error(QStringLiteral("Importフォルダが存在しなかったので監視を行いません。"));
        return;
    }
    watchFolderTimerManager->startWatchImportFolderTimer();
}

void TalvorenAppDelegate::startMountObserver()
{
    mountMediaObserver = std::make_unique<MountMediaObserver>();
    if (!mountMediaObserver->start())
        Log::error(
            QStringLiteral("The mount table cannot be read: camera cards will not be ejected."));
}

void TalvorenAppDelegate::registerLoginItem()
{
    AutostartOnLoginService service;
    if (currentSettings().boolValue(SettingKeys::autoStartUp))
        service.enableLoginItem();
    else
        service.disableLoginItem();
}

void TalvorenAppDelegate::changeDestinationFolderMenuItem()
{
    if (!showDestination)
        return;
    const bool separateMovies = currentSettings().boolValue(SettingKeys::destinationFolderMov);
    showDestination->setVisible(!separateMovies);
    showDestinationPicture->setVisible(separateMovies);
    showDestinationMovie->setVisible(separateMovies);
}

void TalvorenAppDelegate::showAlert(const QString& message, bool showConfigWindow)
{
    if (headless) {
        Log::error(message);
        return;
    }
    // The log keeps what the window says, for whoever looks into the problem later.
    Log::error(QStringLiteral("Alert window: %1").arg(message));
    // Made directly, not taken from the manager: a later copy-failure alert must not
    // overwrite this message and its flag. It frees itself when it closes.
    auto* alert = new AlertWindowController;
    alert->setMessage(message);
    alert->setShowConfigWindowFlag(showConfigWindow);
    alert->showWindow();
    alert->orderFront();
}

void TalvorenAppDelegate::bringWindowToFront(int windowId)
{
    if (BaseWindowController* window = talvorenWindowManager->getWindowController(windowId)) {
        window->showWindow();
        window->orderFront();
    }
}

void TalvorenAppDelegate::showPreferencesWindow()
{
    bringWindowToFront(TalvorenWindowId::ConfigWindow);
}

void TalvorenAppDelegate::showRecentImportsWindow()
{
    bringWindowToFront(TalvorenWindowId::RecentImportsWindow);
}

void TalvorenAppDelegate::openFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TalvorenAppDelegate::showDestinationFolder()
{
    const QString path = currentSettings().stringValue(SettingKeys::destinationFolderPath);
    openFolder(path.isEmpty() ? defaultPictureDestination() : path);
}

void TalvorenAppDelegate::showDestinationFolderMovie()
{
    const QString path = currentSettings().stringValue(SettingKeys::destinationFolderPathMov);
    openFolder(path.isEmpty() ? defaultMovieDestination() : path);
}

void TalvorenAppDelegate::showUpdateCheckWindow()
{
    if (!talvorenWindowManager)
        return;
    bringWindowToFront(TalvorenWindowId::UpdateCheckWindow);
}

void TalvorenAppDelegate::showVersionInformationWindow()
{
    bringWindowToFront(TalvorenWindowId::VersionInformationWindow);
}

void TalvorenAppDelegate::showHelpWindow()
{
    bringWindowToFront(TalvorenWindowId::HelpWindow);
}

void TalvorenAppDelegate::showRemoteSupportUrl()
{
    QDesktopServices::openUrl(QUrl(remoteSupportUrl));
}

void TalvorenAppDelegate::terminateApp()
{
    QCoreApplication::quit();
}

void TalvorenAppDelegate::applicationShouldTerminate()
{
    LogFile::close();
}

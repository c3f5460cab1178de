// talvoren-cli watch: the folder polls and the camera-card watch without a tray or
// windows, so that a practice server can file a share unattended. Alerts go to the
// log, and a card that would be confirmed is imported at once.
#include "clicommand.h"
#include "common/log.h"
#include "filingcommandsettings.h"
#include "platform/terminationrequest.h"
#include "platform/userdefaults.h"
#include "platform/volumeroots.h"
#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/settingsvalidation.h"
#include "settings/usersettings.h"
#include "watch/headlesswatchwindowpresenter.h"
#include "watch/mountmediaobserver.h"
#include "watch/watchfoldertimermanager.h"
#include "watch/watchsdcardoperator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <optional>

namespace {
const QCommandLineOption onceOption(
    QStringLiteral("once"),
    QStringLiteral("One poll of each folder and one pass over the cards present, then exit."));
const QCommandLineOption volumeRootOption = VolumeRoots::commandLineOption();

struct Arguments
{
    bool once = false;
    QStringList volumeRoots;
};

std::optional<Arguments> parseArguments(const QCommandLineParser& parser, QTextStream& err)
{
    Arguments parsed{parser.isSet(onceOption), parser.values(volumeRootOption)};
    if (parsed.volumeRoots.contains(QString())) {
        err << "talvoren-cli watch: --volume-root needs a folder\n";
        return std::nullopt;
    }
    return parsed;
}

bool isFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool watchFolderIsUsable(const SettingsDictionary& settings)
{
    if (!settings.boolValue(SettingKeys::watchFolder))
        return false;
    const QString path = settings.stringValue(SettingKeys::watchFolderPath);
    if (isFolder(path))
        return true;
    Log::error(
        QStringLiteral("The watch folder \"%1\" does not exist: it is not watched.").arg(path));
    return false;
}

bool importFolderIsUsable(const SettingsDictionary& settings)
{
    if (isFolder(settings.stringValue(SettingKeys::defImp)))
        return true;
    Log::error(QStringLiteral("Importフォルダが存在しなかったので監視を行いません。"));
    return false;
}

// One poll of each folder and one card batch over the volumes present now.
void runOnce(const SettingsDictionary& settings)
{
    WatchFolderTimerManager* polls = WatchFolderTimerManager::sharedInstance();
    if (watchFolderIsUsable(settings))
        polls->watchFolderProcess();
    if (importFolderIsUsable(settings))
        polls->watchImportFolderProcess();
    if (!settings.boolValue(SettingKeys::watchRemovableDiskDrive))
        return;
    // The volumes are there already: nothing to wait for before listing them.
    CardWatchTimings timings = WatchSDCardOperator::timings();
    timings.batchPause = std::chrono::milliseconds(0);
    WatchSDCardOperator::setTimings(timings);
    BaseWatchFolderOperator::setIsFirst(false);
    WatchSDCardOperator::handleBatch(
        {VolumeRoots::current(), UserDefaults::unsignedValue(QStringLiteral("EVENT_ID_SD_CARD"))});
}

void runUntilStopped(const SettingsDictionary& settings)
{
    if (settings.boolValue(SettingKeys::watchRemovableDiskDrive))
        WatchSDCardOperator().registWatchingSDCardFolder();
    WatchFolderTimerManager* polls = WatchFolderTimerManager::sharedInstance();
    if (watchFolderIsUsable(settings))
        polls->startWatchFolderTimer(WatchFolderTimerManager::watchFolderInterval(settings));
    if (importFolderIsUsable(settings))
        polls->startWatchImportFolderTimer();
    // SIGINT and SIGTERM end a run in progress after the picture in hand, then the loop.
    QObject lifetime;
    TerminationRequest::quitEventLoopOnRequest(&lifetime);
    Log::info(QStringLiteral("talvoren-cli watch is watching %1; stop it with Ctrl-C.")
                  .arg(VolumeRoots::current().join(QStringLiteral(", "))));
    QCoreApplication::exec();
    WatchSDCardOperator().stopWatchingSDCardFolder();
    polls->stopWatchFolderTimer();
    polls->setWatchImportFolderTimer(nullptr);
}

int runWatch(const QCommandLineParser& parser, QTextStream&, QTextStream& err)
{
    const std::optional<Arguments> arguments = parseArguments(parser, err);
    if (!arguments)
        return CliExit::badUsage;
    const std::optional<SettingsDictionary> settings = usableFilingSettings(
        QStringLiteral("watch"), UserSettings::getUserSettingDictionary(),
        SettingsValidation::Use::Watch, QStringLiteral("Nothing is watched."), err);
    if (!settings)
        return CliExit::badUsage;
    // The database is put in place when missing, as the application's start does.
    SeedDatabase::installIfMissing();
    if (!arguments->volumeRoots.isEmpty())
        VolumeRoots::setReplacement(arguments->volumeRoots);
    const auto windows = std::make_shared<HeadlessWatchWindowPresenter>();
    WatchWindowPresenter::setShared(windows);
    // Cards mounted now can be ejected after their import.
    MountMediaObserver mountedMedia;
    mountedMedia.start();

    if (!arguments->once) {
        runUntilStopped(*settings);
        return CliExit::done;
    }
    runOnce(*settings);
    return windows->failureCount() > 0 ? CliExit::failed : CliExit::done;
}

const CliCommandRegistration registration(CliCommand{
    QStringLiteral("watch"),
    QStringLiteral("Watches the watch folder, the Import folder and camera cards and files what "
                   "arrives, until stopped."),
    {onceOption, volumeRootOption},
    {},
    runWatch});
} // namespace

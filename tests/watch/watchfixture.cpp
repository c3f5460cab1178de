#include "watchfixture.h"

#include "importer/transferringmarker.h"
#include "platform/volumeroots.h"
#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "watch/watchsdcardoperator.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>

WatchFixture::WatchFixture()
    : watchFolder(home.filePath(QStringLiteral("watch"))),
      importFolder(home.filePath(QStringLiteral(".local/share/Talvoren/Import"))),
      destination(home.filePath(QStringLiteral("Pictures/Talvoren"))),
      temporary(home.filePath(QStringLiteral(".local/share/Talvoren/temp"))),
      volumeRoot(home.filePath(QStringLiteral("media"))),
      windows(std::make_shared<FakeWatchWindowPresenter>())
{
    for (const QString& folder : {watchFolder, importFolder, destination, temporary, volumeRoot})
        QDir().mkpath(folder);
    SeedDatabase::installIfMissing();
    // The shipped defaults, pointed at the folders of the temporary home.
    settings = *SettingsDictionary::read(UserSettings::defaultPlistPath());
    settings.setValue(SettingKeys::watchFolder, true);
    settings.setValue(SettingKeys::watchFolderPath, watchFolder);
    settings.setValue(SettingKeys::defImp, importFolder);
    settings.setValue(SettingKeys::defTmp, temporary);
    settings.setValue(SettingKeys::destinationFolderPath, destination);
    settings.setValue(SettingKeys::confirmBeforeSending, 1002);
    writeSettings();

    VolumeRoots::setReplacement({volumeRoot});
    WatchWindowPresenter::setShared(windows);
    using std::chrono::milliseconds;
    WatchSDCardOperator::setTimings(
        {milliseconds(0), milliseconds(0), milliseconds(0), milliseconds(0)});
    BaseWatchFolderOperator::setIsFirst(false);
}

WatchFixture::~WatchFixture()
{
    WatchSDCardOperator().stopWatchingSDCardFolder();
    WatchSDCardOperator::setSourceFactory(nullptr);
    WatchWindowPresenter::setShared(nullptr);
    VolumeRoots::clearReplacement();
    TransferringMarker::remove();
}

void WatchFixture::blockDestination()
{
    const QString blocker = home.filePath(QStringLiteral("blocker"));
    ASSERT_TRUE(CameraPictureBuilder::writeFile(blocker, {}));
    settings.setValue(SettingKeys::destinationFolderPath, blocker + QStringLiteral("/dest"));
    writeSettings();
}

void WatchFixture::leaveTransferringMarker() const
{
    ASSERT_TRUE(CameraPictureBuilder::writeFile(transferringMarker(), {}));
}

void WatchFixture::put(const QString& folder, const QString& relativePath, int patientID)
{
    const QString path = QDir(folder).filePath(relativePath);
    CameraPictureBuilder()
        .patient(QString::number(patientID), QStringLiteral("Watch Test"))
        .captureDateTime(QStringLiteral("2024:05:01 10:15:30"))
        .write(QFileInfo(path).path(), QFileInfo(path).fileName());
    // A file that has finished arriving.
    setModificationTime(path, QDateTime::currentDateTime().addSecs(-600));
}

QString WatchFixture::insertCard(const QString& name) const
{
    const QString volume = QDir(volumeRoot).filePath(name);
    CameraPictureBuilder::writeFile(markerOf(volume), {});
    setModificationTime(markerOf(volume), QDateTime::currentDateTime().addSecs(-3600));
    return volume;
}

void WatchFixture::setModificationTime(const QString& path, const QDateTime& time)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        file.setFileTime(time, QFileDevice::FileModificationTime);
}

QString WatchFixture::transferringMarker() const
{
    return TransferringMarker::path();
}

bool WatchFixture::processEventsUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer limit(20000);
    while (!condition() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

#include "watchfixture.h"

#include "platform/volumeroots.h"
#include "records/seeddatabase.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

using namespace Qt::StringLiterals;

WatchFixture::WatchFixture()
    : watchFolder(home.filePath(u"watch"_s)),
      importFolder(home.filePath(u".local/share/Talvoren/Import"_s)),
      destination(home.filePath(u"Pictures/Talvoren"_s)),
      temporary(home.filePath(u".local/share/Talvoren/temp"_s)),
      volumeRoot(home.filePath(u"media"_s)), windows(std::make_shared<FakeWatchWindowPresenter>())
{
    for (const QString& folder : {watchFolder, importFolder, destination, temporary, volumeRoot})
        QDir().mkpath(folder);
    SeedDatabase::installIfMissing();
    // The shipped defaults, pointed at the folders of the temporary home.
    settings = *SettingsDictionary::read(UserSettings::defaultPlistPath());
    writeSettings({{SettingKeys::watchFolder, true},
                   {SettingKeys::watchFolderPath, watchFolder},
                   {SettingKeys::defImp, importFolder},
                   {SettingKeys::defTmp, temporary},
                   {SettingKeys::destinationFolderPath, destination},
                   {SettingKeys::confirmBeforeSending, 1002}});

    VolumeRoots::setReplacement({volumeRoot});
    WatchWindowPresenter::setShared(windows);
    WatchSDCardOperator::setTimings({{}, {}, {}, {}}); // every wait zero
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
    const QString blocker = home.filePath(u"blocker"_s);
    ASSERT_TRUE(CameraPictureBuilder::writeFile(blocker, {}));
    writeSettings({{SettingKeys::destinationFolderPath, blocker + u"/dest"_s}});
}

void WatchFixture::put(const QString& folder, const QString& relativePath, int patientID)
{
    const QString path = QDir(folder).filePath(relativePath);
    CameraPictureBuilder()
        .patient(QString::number(patientID), u"Watch Test"_s)
        .captureDateTime(u"2024:05:01 10:15:30"_s)
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
    file.open(QIODevice::ReadOnly) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

bool WatchFixture::processEventsUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer limit(20000);
    while (!condition() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

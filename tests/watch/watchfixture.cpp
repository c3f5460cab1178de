#include "watchfixture.h"

#include "importer/transferringmarker.h"
#include "platform/volumeroots.h"
#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "watch/watchsdcardoperator.h"

#include <QDir>
#include <QDirIterator>
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
    settings.setValue(SettingKeys::watchFolder, true);
    settings.setValue(SettingKeys::watchFolderPath, watchFolder);
    settings.setValue(SettingKeys::defImp, importFolder);
    settings.setValue(SettingKeys::defTmp, temporary);
    settings.setValue(SettingKeys::destinationFolderPath, destination);
    settings.setValue(SettingKeys::destinationFolderPathMov,
                      home.filePath(QStringLiteral("Movies/TalvorenMovie")));
    settings.setValue(SettingKeys::zeroPaddingLengthString, QStringLiteral("6"));
    settings.setValue(SettingKeys::dateFormatString, QStringLiteral("yyyy-MM-dd"));
    settings.setValue(SettingKeys::activateAvoidMultipleImportCheck, true);
    settings.setValue(SettingKeys::moveToTrash, true);
    settings.setValue(SettingKeys::watchRemovableDiskDrive, true);
    settings.setValue(SettingKeys::confirmBeforeSending, 1002);
    settings.setValue(SettingKeys::displayDesktopNotice, QStringLiteral("1"));
    writeSettings();

    VolumeRoots::setReplacement({volumeRoot});
    WatchWindowPresenter::setShared(windows);
    CardWatchTimings noWaits;
    noWaits.latency = noWaits.batchPause = noWaits.windowPause = noWaits.runPause =
        std::chrono::milliseconds(0);
    WatchSDCardOperator::setTimings(noWaits);
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

void WatchFixture::writeSettings()
{
    ASSERT_TRUE(UserSettings::write(settings));
}

CameraPictureBuilder WatchFixture::shot(const QString& patientID, const QString& patientName)
{
    CameraPictureBuilder picture;
    picture.patient(patientID, patientName).captureDateTime(QStringLiteral("2024:05:01 10:15:30"));
    return picture;
}

QString WatchFixture::put(const QString& folder, const QString& relativePath,
                          const CameraPictureBuilder& picture)
{
    const QString path = QDir(folder).filePath(relativePath);
    picture.write(QFileInfo(path).path(), QFileInfo(path).fileName());
    // A file that has finished arriving.
    setModificationTime(path, QDateTime::currentDateTime().addSecs(-600));
    return path;
}

QString WatchFixture::insertCard(const QString& name) const
{
    const QString volume = QDir(volumeRoot).filePath(name);
    QDir().mkpath(volume);
    QFile marker(markerOf(volume));
    if (marker.open(QIODevice::WriteOnly))
        marker.close();
    setModificationTime(markerOf(volume), QDateTime::currentDateTime().addSecs(-3600));
    return volume;
}

QString WatchFixture::markerOf(const QString& volume)
{
    return QDir(volume).filePath(QStringLiteral("LMR_SD"));
}

QDateTime WatchFixture::modificationTime(const QString& path)
{
    return QFileInfo(path).lastModified();
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

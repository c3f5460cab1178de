#include "watch/watchfoldertimermanager.h"

#include "settings/settingkeys.h"
#include "watchfixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <cmath>

namespace {
QString trashFolder(const TempHome& home)
{
    return home.filePath(QStringLiteral(".local/share/Trash/files"));
}
} // namespace

class WatchFolderTimerManagerTest : public WatchFixture
{
protected:
    WatchFolderTimerManager* manager = WatchFolderTimerManager::sharedInstance();

    void SetUp() override { manager->setRunPause(std::chrono::milliseconds(0)); }
    void TearDown() override
    {
        manager->stopWatchFolderTimer();
        manager->setWatchImportFolderTimer(nullptr);
    }
};

TEST_F(WatchFolderTimerManagerTest, AWatchFolderTreeIsFiledThroughItsTopFolders)
{
    // The worked example: a.JPG in W, b.JPG in W/P1, c.JPG in W/P1/sub; one run on W.
    put(watchFolder, QStringLiteral("a.JPG"), shot(QStringLiteral("1"), QStringLiteral("A")));
    put(watchFolder, QStringLiteral("P1/b.JPG"), shot(QStringLiteral("2"), QStringLiteral("B")));
    put(watchFolder, QStringLiteral("P1/sub/c.JPG"),
        shot(QStringLiteral("3"), QStringLiteral("C")));
    manager->watchFolderProcess();
    EXPECT_EQ(filesBelow(destination).size(), 3);
    EXPECT_EQ(manager->operationCounter(), 3);
    // Copied, not moved; the marker and the busy flag are gone.
    EXPECT_EQ(filesBelow(watchFolder).size(), 3);
    EXPECT_FALSE(QFile::exists(transferringMarker()));
    EXPECT_FALSE(WatchFolderTimerManager::isBusy());

    // Sibling folders whose names share a beginning are both run; with "delete
    // original image" on the pictures leave the watch folder.
    QDir(watchFolder).removeRecursively();
    put(watchFolder, QStringLiteral("P1/d.JPG"), shot(QStringLiteral("4"), QStringLiteral("D")));
    put(watchFolder, QStringLiteral("P10/e.JPG"), shot(QStringLiteral("5"), QStringLiteral("E")));
    settings.setValue(SettingKeys::deleteOriginalImage, true);
    writeSettings();
    manager->watchFolderProcess();
    EXPECT_EQ(filesBelow(destination).size(), 5);
    EXPECT_TRUE(filesBelow(watchFolder).isEmpty());
    EXPECT_TRUE(windows->alerts.isEmpty());
}

TEST_F(WatchFolderTimerManagerTest, ALeftOverTransferMarkerBlocksOnlyTheWatchFolderPoll)
{
    put(watchFolder, QStringLiteral("a.JPG"), shot(QStringLiteral("1"), QStringLiteral("A")));
    put(importFolder, QStringLiteral("b.JPG"), shot(QStringLiteral("2"), QStringLiteral("B")));
    QFile marker(transferringMarker());
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();

    testing::internal::CaptureStderr();
    manager->watchFolderProcess();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(
        log.find("[debug]: 転送中だったので監視処理を終了します。（フォルダ監視タイマーは継続）"),
        std::string::npos);
    EXPECT_TRUE(filesBelow(destination).isEmpty());

    // The Import-folder poll is not blocked; it moves its picture and clears the marker.
    manager->watchImportFolderProcess();
    EXPECT_EQ(filesBelow(destination).size(), 1);
    EXPECT_TRUE(filesBelow(importFolder).isEmpty());
    EXPECT_FALSE(QFile::exists(transferringMarker()));
    manager->watchFolderProcess();
    EXPECT_EQ(filesBelow(destination).size(), 2);
}

TEST_F(WatchFolderTimerManagerTest, AnInvalidSourceOrDestinationSkipsThePoll)
{
    put(watchFolder, QStringLiteral("a.JPG"), shot(QStringLiteral("1"), QStringLiteral("A")));
    put(importFolder, QStringLiteral("b.JPG"), shot(QStringLiteral("2"), QStringLiteral("B")));
    settings.setValue(SettingKeys::destinationFolderPath, QString());
    writeSettings();
    testing::internal::CaptureStderr();
    manager->watchFolderProcess();
    manager->watchImportFolderProcess();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(
        log.find("の設定が不正だったので監視処理を終了します。（フォルダ監視タイマーは継続）"),
        std::string::npos);
    EXPECT_NE(
        log.find(
            "の設定が不正だったので監視処理を終了します。（Importフォルダ監視タイマーは継続）"),
        std::string::npos);
    EXPECT_EQ(filesBelow(importFolder).size(), 1);

    // A watch folder that does not exist: nothing happens and nothing is said.
    settings.setValue(SettingKeys::destinationFolderPath, destination);
    settings.setValue(SettingKeys::watchFolderPath, home.filePath(QStringLiteral("missing")));
    writeSettings();
    testing::internal::CaptureStderr();
    manager->watchFolderProcess();
    EXPECT_TRUE(testing::internal::GetCapturedStderr().empty());
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_FALSE(QFile::exists(transferringMarker()));
    EXPECT_TRUE(windows->calls.isEmpty());
}

TEST_F(WatchFolderTimerManagerTest, HiddenFilesGoToTheTrashOnlyFromTheImportFolder)
{
    put(watchFolder, QStringLiteral(".hidden.JPG"), shot(QStringLiteral("1"), QStringLiteral("A")));
    put(importFolder, QStringLiteral(".hidden.JPG"),
        shot(QStringLiteral("2"), QStringLiteral("B")));
    manager->watchFolderProcess();
    manager->watchImportFolderProcess();
    EXPECT_EQ(filesBelow(watchFolder), QStringList({".hidden.JPG"}));
    EXPECT_TRUE(filesBelow(importFolder).isEmpty());
    EXPECT_EQ(filesBelow(trashFolder(home)), QStringList({".hidden.JPG"}));
    EXPECT_TRUE(filesBelow(destination).isEmpty());
}

TEST_F(WatchFolderTimerManagerTest, AFailedRunRaisesOneAlertAndATickDuringItDoesNothing)
{
    put(watchFolder, QStringLiteral("P1/a.JPG"), shot(QStringLiteral("1"), QStringLiteral("A")));
    put(watchFolder, QStringLiteral("P2/b.JPG"), shot(QStringLiteral("2"), QStringLiteral("B")));
    put(importFolder, QStringLiteral("c.JPG"), shot(QStringLiteral("3"), QStringLiteral("C")));
    // The destination lies below a file: filing the staged folders fails.
    const QString blocker = home.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    settings.setValue(SettingKeys::destinationFolderPath, blocker + QStringLiteral("/dest"));
    writeSettings();

    // The alert window spins the event loop: an Import-folder tick then finds the poll busy.
    bool busyDuringAlert = false;
    windows->duringAlert = [&] {
        busyDuringAlert = WatchFolderTimerManager::isBusy();
        manager->watchImportFolderProcess();
    };
    manager->watchFolderProcess();
    EXPECT_EQ(windows->alerts.size(), 1);
    EXPECT_TRUE(busyDuringAlert);
    EXPECT_EQ(filesBelow(importFolder).size(), 1);
    EXPECT_FALSE(QFile::exists(transferringMarker()));
    EXPECT_FALSE(WatchFolderTimerManager::isBusy());

    // Nothing is lost: the next tick with a usable destination files both pictures.
    windows->duringAlert = nullptr;
    settings.setValue(SettingKeys::destinationFolderPath, destination);
    writeSettings();
    manager->watchFolderProcess();
    EXPECT_EQ(filesBelow(destination).size(), 2);
    EXPECT_EQ(windows->alerts.size(), 1);
}

TEST_F(WatchFolderTimerManagerTest, TheTimersPollOnTheEventLoopAtTheConfiguredInterval)
{
    SettingsDictionary timing;
    EXPECT_EQ(WatchFolderTimerManager::watchFolderInterval(timing), std::chrono::seconds(15));
    // Each row: "file detection wait time", the interval polled at.
    const std::pair<double, std::chrono::milliseconds> rows[] = {
        {5000.0, std::chrono::seconds(5)},      {1000.0, std::chrono::seconds(1)},
        {999.0, std::chrono::seconds(1)},       {1.0, std::chrono::seconds(1)},
        {0.0, std::chrono::seconds(1)},         {-3.0, std::chrono::seconds(1)},
        {std::nan(""), std::chrono::seconds(1)}};
    for (const auto& [milliseconds, interval] : rows) {
        timing.setValue(SettingKeys::fileDetectionWaitTime, milliseconds);
        EXPECT_EQ(WatchFolderTimerManager::watchFolderInterval(timing), interval) << milliseconds;
    }
    timing.setValue(SettingKeys::fileDetectionWaitTime, 1e300);
    EXPECT_GT(WatchFolderTimerManager::watchFolderInterval(timing), std::chrono::hours(24 * 20));

    put(watchFolder, QStringLiteral("a.JPG"), shot(QStringLiteral("1"), QStringLiteral("A")));
    manager->startWatchFolderTimer(std::chrono::milliseconds(10));
    QTimer* first = manager->watchFolderTimer();
    // Replacing the timer retires the old one.
    manager->startWatchFolderTimer(std::chrono::milliseconds(10));
    EXPECT_NE(manager->watchFolderTimer(), first);
    EXPECT_TRUE(manager->watchFolderTimer()->isActive());
    QDeadlineTimer limit(20000);
    while (filesBelow(destination).isEmpty() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(filesBelow(destination).size(), 1);
    manager->stopWatchFolderTimer();
    EXPECT_EQ(manager->watchFolderTimer(), nullptr);

    manager->startWatchImportFolderTimer();
    EXPECT_EQ(manager->watchImportFolderTimer()->interval(), 10000);
}

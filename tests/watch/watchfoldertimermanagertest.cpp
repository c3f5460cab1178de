#include "watch/watchfoldertimermanager.h"

#include "watchfixture.h"

#include <cmath>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class WatchFolderTimerManagerTest : public WatchFixture
{
protected:
    WatchFolderTimerManager* manager = WatchFolderTimerManager::sharedInstance();

    void SetUp() override { manager->setRunPause(0ms); }
    void TearDown() override
    {
        manager->stopWatchFolderTimer();
        manager->setWatchImportFolderTimer(nullptr);
    }
};

TEST_F(WatchFolderTimerManagerTest, ALeftOverTransferMarkerBlocksOnlyTheWatchFolderPoll)
{
    putEach(watchFolder, {"P1/a.JPG", ".hidden.JPG"});
    putEach(importFolder, {"b.JPG", ".hidden.JPG"});
    ASSERT_TRUE(CameraPictureBuilder::writeFile(TransferringMarker::path(), {})); // a run that died
    const std::string log = logOf([&] { manager->watchFolderProcess(); });
    EXPECT_NE(
        log.find("[debug]: 転送中だったので監視処理を終了します。（フォルダ監視タイマーは継続）"),
        std::string::npos);
    EXPECT_TRUE(filesBelow(destination).isEmpty());

    // The Import-folder poll is not blocked: it files, trashes the hidden one, clears the marker.
    manager->watchImportFolderProcess();
    EXPECT_EQ(filesBelow(destination).size(), 1);
    EXPECT_TRUE(filesBelow(importFolder).isEmpty());
    EXPECT_EQ(filesBelow(home.filePath(u".local/share/Trash/files"_s)),
              QStringList({".hidden.JPG"}));
    EXPECT_FALSE(QFile::exists(TransferringMarker::path()));
    // The watch-folder poll copies and leaves hidden pictures alone; the busy flag is reset.
    manager->watchFolderProcess();
    EXPECT_EQ(filesBelow(destination).size(), 2);
    EXPECT_EQ(filesBelow(watchFolder), QStringList({".hidden.JPG", "P1/a.JPG"}));
    EXPECT_FALSE(WatchFolderTimerManager::isBusy());
}

TEST_F(WatchFolderTimerManagerTest, AnInvalidSourceOrDestinationSkipsThePoll)
{
    putEach(watchFolder, {"a.JPG"});
    putEach(importFolder, {"b.JPG"});
    writeSettings({{SettingKeys::destinationFolderPath, QString()}});
    const std::string log = logOf([&] {
        manager->watchFolderProcess();
        manager->watchImportFolderProcess();
    });
    for (const char* timer :
         {"（フォルダ監視タイマーは継続）", "（Importフォルダ監視タイマーは継続）"})
        EXPECT_NE(log.find(std::string("の設定が不正だったので監視処理を終了します。") + timer),
                  std::string::npos);
    EXPECT_EQ(filesBelow(importFolder).size(), 1);

    // A watch folder that does not exist: nothing happens and nothing is said.
    writeSettings({{SettingKeys::destinationFolderPath, destination},
                   {SettingKeys::watchFolderPath, home.filePath(u"missing"_s)}});
    EXPECT_TRUE(logOf([&] { manager->watchFolderProcess(); }).empty());
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_FALSE(QFile::exists(TransferringMarker::path()));
    EXPECT_TRUE(windows->calls.isEmpty());
}

TEST_F(WatchFolderTimerManagerTest, AFailedRunRaisesOneAlertAndATickDuringItDoesNothing)
{
    putEach(watchFolder, {"P1/a.JPG", "P2/b.JPG"});
    putEach(importFolder, {"c.JPG"});
    blockDestination();

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
    EXPECT_FALSE(QFile::exists(TransferringMarker::path()));
    EXPECT_FALSE(WatchFolderTimerManager::isBusy());

    // Nothing is lost: the next tick with a usable destination files both pictures.
    windows->duringAlert = nullptr;
    writeSettings({{SettingKeys::destinationFolderPath, destination}});
    manager->watchFolderProcess();
    EXPECT_EQ(filesBelow(destination).size(), 2);
    EXPECT_EQ(windows->alerts.size(), 1);
}

TEST_F(WatchFolderTimerManagerTest, TheTimersPollOnTheEventLoopAtTheConfiguredInterval)
{
    SettingsDictionary timing;
    EXPECT_EQ(WatchFolderTimerManager::watchFolderInterval(timing), 15s);
    // Each row: "file detection wait time", the interval polled at.
    const std::pair<double, std::chrono::milliseconds> rows[] = {
        {5000.0, 5s}, {1000.0, 1s}, {999.0, 1s},       {1.0, 1s},
        {0.0, 1s},    {-3.0, 1s},   {std::nan(""), 1s}};
    for (const auto& [milliseconds, interval] : rows) {
        timing.setValue(SettingKeys::fileDetectionWaitTime, milliseconds);
        EXPECT_EQ(WatchFolderTimerManager::watchFolderInterval(timing), interval) << milliseconds;
    }
    timing.setValue(SettingKeys::fileDetectionWaitTime, 1e300);
    EXPECT_GT(WatchFolderTimerManager::watchFolderInterval(timing), 480h);

    putEach(watchFolder, {"a.JPG"});
    manager->startWatchFolderTimer(10ms);
    QTimer* first = manager->watchFolderTimer();
    // Replacing the timer retires the old one.
    manager->startWatchFolderTimer(10ms);
    EXPECT_NE(manager->watchFolderTimer(), first);
    EXPECT_TRUE(manager->watchFolderTimer()->isActive());
    EXPECT_TRUE(processEventsUntil([&] { return !filesBelow(destination).isEmpty(); }));
    manager->stopWatchFolderTimer();
    EXPECT_EQ(manager->watchFolderTimer(), nullptr);

    manager->startWatchImportFolderTimer();
    EXPECT_EQ(manager->watchImportFolderTimer()->interval(), 10000);
}

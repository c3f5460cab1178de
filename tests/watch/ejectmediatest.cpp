#include "fakeudisks2.h"
#include "platform/udisks2ejector.h"
#include "settings/settingkeys.h"
#include "watch/mountmediamanager.h"
#include "watch/mountmediaobserver.h"
#include "watch/watchsdcardoperator.h"
#include "watchfixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/mount.h>

// The eject goes over a real D-Bus connection to a UDisks2 service on a bus of the
// test's own; the registry of mounted cards is the shared one.
class EjectMediaTest : public WatchFixture
{
protected:
    PrivateSessionBus bus;
    QDBusConnection service = bus.connect(QStringLiteral("service"));
    QDBusConnection client = bus.connect(QStringLiteral("client"));
    FakeUDisks2 udisks;
    MountMediaManager* media = MountMediaManager::sharedInstance();

    void SetUp() override
    {
        if (!bus.isRunning())
            GTEST_SKIP() << "dbus-daemon could not be started";
        media->setEjector(std::make_shared<UDisks2Ejector>(client));
    }
    ~EjectMediaTest() override
    {
        service.unregisterObject(QStringLiteral("/org/freedesktop/UDisks2"),
                                 QDBusConnection::UnregisterTree);
        media->setEjector(nullptr);
        for (const QString& medium : media->getMediaArray())
            media->removeMedia(medium);
    }

    QString mountedCard(const QString& name, const QString& block, const QString& drive,
                        bool ejectable)
    {
        const QString card = insertCard(name);
        udisks.addVolume({card, block, drive, ejectable, !ejectable});
        MountMediaObserver::didMount(card);
        return card;
    }
};

TEST_F(EjectMediaTest, TheRegistryHoldsOnlyCardsAndMatchesAtFolderBoundaries)
{
    const QString card = insertCard(QStringLiteral("CARD"));
    const QString folderMarked = QDir(volumeRoot).filePath(QStringLiteral("FOLDER"));
    QDir().mkpath(QDir(folderMarked).filePath(QStringLiteral("LMR_SD")));
    const QString stick = QDir(volumeRoot).filePath(QStringLiteral("STICK"));
    QDir().mkpath(stick);
    for (const QString& volume : {card, folderMarked, stick})
        MountMediaObserver::didMount(volume);
    EXPECT_EQ(media->getMediaArray(), QStringList({card}));

    EXPECT_EQ(media->mediumHolding(card + QStringLiteral("/DCIM")), card);
    EXPECT_EQ(media->mediumHolding(card), card);
    EXPECT_FALSE(media->mediumHolding(card + QStringLiteral("2/DCIM")));
    EXPECT_FALSE(media->mediumHolding(stick));
    // Of two nested media the inner one holds the path.
    media->setMedia(volumeRoot);
    EXPECT_EQ(media->mediumHolding(card + QStringLiteral("/DCIM")), card);
    media->removeMedia(volumeRoot);

    MountMediaObserver::didUnmount(card);
    EXPECT_TRUE(media->getMediaArray().isEmpty());
}

TEST_F(EjectMediaTest, EachPathOnACardUnmountsItThenEjectsOrPowersOffItsDrive)
{
    ASSERT_TRUE(udisks.serve(service));
    const QString reader = mountedCard(QStringLiteral("A_CARD"), QStringLiteral("mmcblk0p1"),
                                       QStringLiteral("CardReader"), true);
    const QString stick = mountedCard(QStringLiteral("B_CARD"), QStringLiteral("sdb1"),
                                      QStringLiteral("Stick"), false);
    const QString unregistered = QDir(volumeRoot).filePath(QStringLiteral("OTHER"));

    testing::internal::CaptureStderr();
    MountMediaManager::ejectMedia({unregistered, reader + QStringLiteral("/DCIM"), stick});
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(udisks.calls(), QStringList({"Unmount mmcblk0p1", "Eject CardReader", "Unmount sdb1",
                                           "PowerOff Stick"}));
    EXPECT_EQ(log.find("[error]"), std::string::npos) << log;

    // A medium that holds two given paths is asked once for each; the second time
    // nothing is mounted there any more, which is logged.
    const QString again = mountedCard(QStringLiteral("C_CARD"), QStringLiteral("sdc1"),
                                      QStringLiteral("Reader2"), true);
    testing::internal::CaptureStderr();
    MountMediaManager::ejectMedia(
        {again + QStringLiteral("/DCIM"), again + QStringLiteral("/MISC")});
    const std::string secondLog = testing::internal::GetCapturedStderr();
    EXPECT_EQ(udisks.calls().mid(4), QStringList({"Unmount sdc1", "Eject Reader2"}));
    EXPECT_NE(secondLog.find("ejectMedia: UDisks2 knows no file system mounted at"),
              std::string::npos);
}

TEST_F(EjectMediaTest, ARefusedUnmountOrAMissingServiceLeavesTheCardMounted)
{
    const QString card =
        mountedCard(QStringLiteral("CARD"), QStringLiteral("sdb1"), QStringLiteral("Reader"), true);
    // No UDisks2 on the bus at all.
    testing::internal::CaptureStderr();
    MountMediaManager::ejectMedia({card});
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("[error]: ejectMedia: UDisks2 is not reachable, " + card.toStdString() +
                       " stays mounted"),
              std::string::npos)
        << log;

    ASSERT_TRUE(udisks.serve(service));
    udisks.setRefuseUnmount(true);
    testing::internal::CaptureStderr();
    MountMediaManager::ejectMedia({card});
    log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(udisks.calls(), QStringList({"Unmount sdb1"}));
    EXPECT_NE(log.find("ejectMedia: unmounting " + card.toStdString() + " failed: Target is busy"),
              std::string::npos)
        << log;
}

TEST_F(EjectMediaTest, ACardIsEjectedAfterItsImportEvenWhenTheImportFailed)
{
    ASSERT_TRUE(udisks.serve(service));
    const QString first = mountedCard(QStringLiteral("A_CARD"), QStringLiteral("sdb1"),
                                      QStringLiteral("ReaderA"), true);
    const QString second = mountedCard(QStringLiteral("B_CARD"), QStringLiteral("sdc1"),
                                       QStringLiteral("ReaderB"), true);
    put(first, QStringLiteral("IMG_0001.JPG"), shot(QStringLiteral("1"), QStringLiteral("A")));
    put(second, QStringLiteral("IMG_0001.JPG"), shot(QStringLiteral("2"), QStringLiteral("B")));
    const QString blocker = home.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    settings.setValue(SettingKeys::destinationFolderPath, blocker + QStringLiteral("/dest"));
    settings.setValue(SettingKeys::ejectRemovableDevice, true);
    writeSettings();

    WatchSDCardOperator::handleBatch({{volumeRoot}, 1});
    EXPECT_EQ(windows->alerts.size(), 1);
    EXPECT_EQ(udisks.calls(),
              QStringList({"Unmount sdb1", "Eject ReaderA", "Unmount sdc1", "Eject ReaderB"}));
}

TEST_F(EjectMediaTest, TheObserverRegistersCardsAsTheyAreMountedAndForgetsThemAfter)
{
    const QString mountPoint = QDir(volumeRoot).filePath(QStringLiteral("REAL"));
    QDir().mkpath(mountPoint);
    if (mount("talvoren-card", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=1m") !=
        0)
        GTEST_SKIP() << "no permission to mount a tmpfs (errno " << errno << ")";
    insertCard(QStringLiteral("REAL"));
    // A card mounted outside the volume roots is never handed to the eject.
    const QString outside = home.filePath(QStringLiteral("outside"));
    QDir().mkpath(outside);
    ASSERT_EQ(mount("talvoren-card", QFile::encodeName(outside).constData(), "tmpfs", 0, "size=1m"),
              0);
    QFile outsideMarker(QDir(outside).filePath(QStringLiteral("LMR_SD")));
    ASSERT_TRUE(outsideMarker.open(QIODevice::WriteOnly));
    outsideMarker.close();
    // Mounted before the observer starts: registered by the start.
    MountMediaObserver observer;
    ASSERT_TRUE(observer.start());
    EXPECT_EQ(media->getMediaArray(), QStringList({mountPoint}));
    umount2(QFile::encodeName(outside).constData(), MNT_DETACH);

    umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
    QDeadlineTimer limit(20000);
    while (media->getMediaArray().contains(mountPoint) && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(media->getMediaArray().contains(mountPoint));
}

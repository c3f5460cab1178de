#include "fakeudisks2.h"
#include "platform/udisks2ejector.h"
#include "watch/mountmediamanager.h"
#include "watch/mountmediaobserver.h"
#include "watchfixture.h"

#include <cerrno>
#include <sys/mount.h>

using namespace Qt::StringLiterals;

// Ejects over real D-Bus to a UDisks2 service on a bus of the test's own, shared registry.
class EjectMediaTest : public WatchFixture
{
protected:
    PrivateSessionBus bus;
    QDBusConnection service = bus.connect(u"service"_s);
    QDBusConnection client = bus.connect(u"client"_s);
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
        service.unregisterObject(u"/org/freedesktop/UDisks2"_s, QDBusConnection::UnregisterTree);
        media->setEjector(nullptr);
        for (const QString& medium : media->getMediaArray())
            media->removeMedia(medium);
    }

    // A card in a reader that ejects, or else on a stick that powers off.
    QString mountedCard(const char* name, const char* block, const char* drive, bool ejectable)
    {
        const QString card = insertCard(QString::fromLatin1(name));
        udisks.addVolume(
            {card, QString::fromLatin1(block), QString::fromLatin1(drive), ejectable, !ejectable});
        MountMediaObserver::didMount(card);
        return card;
    }
};

TEST_F(EjectMediaTest, EachPathOnACardUnmountsItThenEjectsOrPowersOffItsDrive)
{
    const QString reader = mountedCard("A_CARD", "mmcblk0p1", "CardReader", true);
    // No UDisks2 on the bus at all.
    EXPECT_NE(logOf([&] { MountMediaManager::ejectMedia({reader}); })
                  .find("[error]: ejectMedia: UDisks2 is not reachable, " + reader.toStdString() +
                        " stays mounted"),
              std::string::npos);
    ASSERT_TRUE(udisks.serve(service));
    const QString stick = mountedCard("B_CARD", "sdb1", "Stick", false);
    // Only volumes whose marker is a file are registered.
    const QString folderMarked = QDir(volumeRoot).filePath(u"FOLDER"_s);
    QDir().mkpath(markerOf(folderMarked));
    const QString plain = QDir(volumeRoot).filePath(u"PLAIN"_s);
    for (const QString& volume : {folderMarked, plain}) {
        QDir().mkpath(volume);
        udisks.addVolume({volume, u"sdx"_s, u"Other"_s, true, false});
        MountMediaObserver::didMount(volume);
    }
    EXPECT_EQ(media->getMediaArray(), QStringList({reader, stick}));

    // Paths are matched at folder boundaries, and the whole card for its mount point.
    const std::string log = logOf([&] {
        MountMediaManager::ejectMedia(
            {folderMarked, plain, reader + u"2/DCIM"_s, reader + u"/DCIM"_s, stick});
    });
    EXPECT_EQ(udisks.calls(), QStringList({"Unmount mmcblk0p1", "Eject CardReader", "Unmount sdb1",
                                           "PowerOff Stick"}));
    EXPECT_EQ(log.find("[error]"), std::string::npos) << log;
    MountMediaObserver::didUnmount(stick);
    EXPECT_EQ(media->getMediaArray(), QStringList({reader}));

    // A medium holding two paths is asked twice, in vain (logged) the second time; inner wins.
    const QString again = mountedCard("C_CARD", "sdc1", "Reader2", true);
    media->setMedia(volumeRoot);
    EXPECT_NE(logOf([&] {
                  MountMediaManager::ejectMedia({again + u"/DCIM"_s, again + u"/MISC"_s});
              }).find("ejectMedia: UDisks2 knows no file system mounted at " + again.toStdString()),
              std::string::npos);
    EXPECT_EQ(udisks.calls().mid(4), QStringList({"Unmount sdc1", "Eject Reader2"}));

    // A refused unmount leaves the card mounted and its drive alone.
    const QString busy = mountedCard("D_CARD", "sdd1", "Reader3", true);
    udisks.refuseUnmount = true;
    EXPECT_NE(logOf([&] {
                  MountMediaManager::ejectMedia({busy});
              }).find("ejectMedia: unmounting " + busy.toStdString() + " failed: Target is busy"),
              std::string::npos);
    EXPECT_EQ(udisks.calls().mid(6), QStringList({"Unmount sdd1"}));
}

TEST_F(EjectMediaTest, AFailureOnTheFirstCardSkipsTheSecondCleansUpAndStillEjectsBoth)
{
    ASSERT_TRUE(udisks.serve(service));
    const QString first = mountedCard("A_CARD", "sdb1", "ReaderA", true);
    const QString second = mountedCard("B_CARD", "sdc1", "ReaderB", true);
    put(first, u"IMG_0001.JPG"_s, 1001);
    put(second, u"IMG_0001.JPG"_s, 2002);
    const QDateTime secondMarked = modificationTime(markerOf(second));
    settings.setValue(SettingKeys::ejectRemovableDevice, true);
    blockDestination();

    WatchSDCardOperator::handleBatch({{volumeRoot}, 1});
    EXPECT_EQ(windows->alerts.size(), 1);
    EXPECT_FALSE(QFile::exists(TransferringMarker::path()));
    // The second card was not run: its marker keeps its date, its pictures are not staged.
    EXPECT_EQ(modificationTime(markerOf(second)), secondMarked);
    EXPECT_FALSE(filesBelow(temporary).join(QLatin1Char(' ')).contains(QLatin1String("2002")));
    // The result window is not shown over the alert; nothing left the cards.
    EXPECT_TRUE(windows->results.isEmpty());
    EXPECT_EQ(filesBelow(first).size() + filesBelow(second).size(), 4);
    EXPECT_EQ(udisks.calls(),
              QStringList({"Unmount sdb1", "Eject ReaderA", "Unmount sdc1", "Eject ReaderB"}));
}

TEST_F(EjectMediaTest, TheObserverRegistersCardsAsTheyAreMountedAndForgetsThemAfter)
{
    const QString mountPoint = QDir(volumeRoot).filePath(u"REAL"_s);
    // A card mounted outside the volume roots is never handed to the eject.
    const QString outside = home.filePath(u"outside"_s);
    for (const QString& point : {mountPoint, outside}) {
        QDir().mkpath(point);
        if (mount("talvoren-card", QFile::encodeName(point).constData(), "tmpfs", 0, "size=1m"))
            GTEST_SKIP() << "no permission to mount a tmpfs (errno " << errno << ")";
        CameraPictureBuilder::writeFile(markerOf(point), {});
    }
    // Mounted before the observer starts: registered by the start.
    MountMediaObserver observer;
    ASSERT_TRUE(observer.start());
    EXPECT_EQ(media->getMediaArray(), QStringList({mountPoint}));
    umount2(QFile::encodeName(outside).constData(), MNT_DETACH);

    umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
    EXPECT_TRUE(processEventsUntil([&] { return !media->getMediaArray().contains(mountPoint); }));
}

#include "watch/watchsdcardoperator.h"

#include "platform/userdefaults.h"
#include "watch/lmrsdmanager.h"
#include "watchfixture.h"

#include <QScopeGuard>
#include <cerrno>
#include <sys/mount.h>

using namespace Qt::StringLiterals;

class WatchSDCardOperatorTest : public WatchFixture
{
protected:
    LMRSDManager* cards = LMRSDManager::sharedInstance();

    // A card with one picture at its top and one in DCIM/100LUMOR.
    QString cardWithPictures(const QString& name)
    {
        const QString card = insertCard(name);
        putEach(card, {"IMG_0001.JPG", "DCIM/100LUMOR/IMG_0002.JPG"});
        return card;
    }
    void deliver(quint64 eventId, const QStringList& eventPaths = {})
    {
        WatchSDCardOperator::handleBatch(VolumeChangeBatch{
            eventPaths.isEmpty() ? QStringList{volumeRoot} : eventPaths, eventId});
    }
    static quint64 storedEventId() { return UserDefaults::unsignedValue(u"EVENT_ID_SD_CARD"_s); }
};

TEST_F(WatchSDCardOperatorTest, ANewCardIsImportedAtOnceAndItsMarkerReDated)
{
    const QString card = cardWithPictures(u"CARD"_s);
    const QString marker = markerOf(card);
    const QDateTime markedBefore = modificationTime(marker);
    // A marker left by a run that died does not hold a card back.
    ASSERT_TRUE(CameraPictureBuilder::writeFile(TransferringMarker::path(), {}));

    // Without the duplicate test a picture met twice would be staged and counted twice.
    writeSettings({{SettingKeys::activateAvoidMultipleImportCheck, false}});
    deliver(7);
    EXPECT_EQ(filesBelow(destination).size(), 2);
    EXPECT_EQ(filesBelow(card).size(), 3);
    EXPECT_EQ(windows->results, QList<qint64>({2}));
    EXPECT_EQ(windows->calls, QStringList({"progress", "close progress", "result"}));
    EXPECT_GT(modificationTime(marker), markedBefore);
    EXPECT_EQ(cards->targetDictionary().value(marker), modificationTime(marker));
    EXPECT_EQ(storedEventId(), 7u);
    EXPECT_FALSE(QFile::exists(TransferringMarker::path()));

    // Unchanged or with an earlier marker date the card is not imported again, changed it is.
    deliver(8);
    setModificationTime(marker, modificationTime(marker).addSecs(-10));
    deliver(9);
    EXPECT_EQ(windows->results.size(), 1);
    EXPECT_EQ(storedEventId(), 9u);
    setModificationTime(marker, QDateTime::currentDateTime().addSecs(60));
    putEach(card, {"IMG_0003.JPG"});
    deliver(10);
    EXPECT_EQ(filesBelow(destination).size(), 3);
    EXPECT_EQ(windows->results.size(), 2);

    // A new card beside one whose marker is unchanged: both are imported and marked.
    const QString second = cardWithPictures(u"B_CARD"_s);
    putEach(card, {"IMG_0004.JPG"});
    deliver(11);
    EXPECT_EQ(filesBelow(destination).size(), 6);
    EXPECT_GT(modificationTime(markerOf(second)), markedBefore);
}

TEST_F(WatchSDCardOperatorTest, OnlyVolumesWithAMarkerFileAreCardsAndGoneCardsAreForgotten)
{
    // A stick without a marker, a volume whose "LMR_SD" is a folder, a root that does not exist.
    const QString stick = QDir(volumeRoot).filePath(u"STICK"_s);
    putEach(stick, {"IMG_0001.JPG"});
    const QString folderMarked = QDir(volumeRoot).filePath(u"FOLDER"_s);
    QDir().mkpath(markerOf(folderMarked));
    putEach(folderMarked, {"IMG_0002.JPG"});
    deliver(3, {volumeRoot, home.filePath(u"no-such-root"_s)});
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_TRUE(windows->calls.isEmpty());
    EXPECT_EQ(storedEventId(), 3u);

    // A removed card (or one whose volume became a file) is forgotten by the next batch that
    // finds nothing new and counts as new again; one outside every volume root is kept.
    const QString card = cardWithPictures(u"CARD"_s);
    deliver(4);
    ASSERT_TRUE(cards->targetDictionary().contains(markerOf(card)));
    const QString parked = home.filePath(u"parked"_s);
    ASSERT_TRUE(QDir().rename(card, parked));
    const QString onFile = markerOf(QDir(volumeRoot).filePath(u"FILE"_s));
    CameraPictureBuilder::writeFile(QDir(volumeRoot).filePath(u"FILE"_s), {});
    const QString outside = markerOf(home.filePath(u"elsewhere/CARD"_s));
    for (const QString& marker : {onFile, outside})
        cards->setTarget(marker, QDateTime::currentDateTime());
    deliver(5);
    EXPECT_EQ(cards->targetDictionary().keys().filter(home.path()), QStringList({outside}));
    ASSERT_TRUE(QDir().rename(parked, card));
    deliver(6);
    EXPECT_EQ(windows->results.size(), 2);
}

TEST_F(WatchSDCardOperatorTest, TheConfirmationIsAskedOnceAndKeepsItsFirstFolders)
{
    writeSettings({{SettingKeys::confirmBeforeSending, 1001}});
    const QString first = cardWithPictures(u"A_CARD"_s);
    deliver(1);
    EXPECT_EQ(windows->calls, QStringList({"confirm", "front", "hide progress"}));
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_EQ(storedEventId(), 1u);

    // A second card while the dialog is out only brings it to the front.
    cardWithPictures(u"B_CARD"_s);
    windows->calls.clear();
    deliver(2);
    EXPECT_EQ(windows->calls, QStringList({"front", "hide progress"}));
    EXPECT_EQ(windows->confirmationFolders, QStringList({first}));

    // OK imports the first folder list, closes the progress window, shows the result.
    windows->calls.clear();
    windows->pressOk();
    EXPECT_EQ(filesBelow(destination).size(), 2);
    EXPECT_EQ(windows->calls, QStringList({"close progress", "result"}));
    EXPECT_EQ(windows->results, QList<qint64>({2}));
}

TEST_F(WatchSDCardOperatorTest, ACardRemovedBeforeItsImportLosesNothingAndIsForgotten)
{
    writeSettings({{SettingKeys::confirmBeforeSending, 1001}});
    const QString card = cardWithPictures(u"CARD"_s);
    deliver(1);
    const QString parked = home.filePath(u"parked"_s);
    ASSERT_TRUE(QDir().rename(card, parked));

    windows->pressOk();
    EXPECT_TRUE(windows->alerts.isEmpty());
    EXPECT_EQ(windows->results, QList<qint64>({0}));
    EXPECT_EQ(filesBelow(parked).size(), 3);
    EXPECT_FALSE(QFile::exists(TransferringMarker::path()));
    EXPECT_FALSE(QFile::exists(markerOf(card))); // re-dating did not create one

    deliver(2);
    EXPECT_FALSE(cards->targetDictionary().contains(markerOf(card)));
}

TEST_F(WatchSDCardOperatorTest, AWriteProtectedCardIsRememberedWithTheImportTime)
{
    const QString card = QDir(volumeRoot).filePath(u"LOCKED"_s);
    QDir().mkpath(card);
    if (mount("talvoren-card", QFile::encodeName(card).constData(), "tmpfs", 0, "size=4m") != 0)
        GTEST_SKIP() << "no permission to mount a tmpfs (errno " << errno << ")";
    const auto unmount =
        qScopeGuard([&] { umount2(QFile::encodeName(card).constData(), MNT_DETACH); });
    insertCard(u"LOCKED"_s);
    putEach(card, {"IMG_0001.JPG"});
    ASSERT_EQ(mount(nullptr, QFile::encodeName(card).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                    nullptr),
              0);
    const QDateTime marked = modificationTime(markerOf(card));

    deliver(1);
    EXPECT_EQ(filesBelow(destination).size(), 1);
    EXPECT_EQ(modificationTime(markerOf(card)), marked);
    EXPECT_GT(cards->targetDictionary().value(markerOf(card)), marked);
    // Unchanged, it is not imported again.
    deliver(2);
    EXPECT_EQ(windows->results.size(), 1);
}

TEST_F(WatchSDCardOperatorTest, TheFirstBatchOfEveryNewWatchIsDropped)
{
    FakeVolumeChangeSource* source = nullptr;
    std::chrono::milliseconds askedLatency{-1};
    WatchSDCardOperator::setSourceFactory([&](std::chrono::milliseconds latency) {
        askedLatency = latency;
        auto created = std::make_unique<FakeVolumeChangeSource>();
        source = created.get();
        return created;
    });
    UserDefaults::setValue(u"EVENT_ID_SD_CARD"_s, QVariant::fromValue<quint64>(40));
    cardWithPictures(u"CARD"_s);

    WatchSDCardOperator().registWatchingSDCardFolder();
    ASSERT_NE(source, nullptr);
    EXPECT_TRUE(WatchSDCardOperator::isWatching());
    EXPECT_EQ(source->startedAfter, 40u);
    EXPECT_EQ(askedLatency, std::chrono::milliseconds(0));
    source->deliver({volumeRoot}, 41);
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_EQ(storedEventId(), 40u);
    source->deliver({volumeRoot}, 42);
    EXPECT_EQ(filesBelow(destination).size(), 2);
    EXPECT_EQ(storedEventId(), 42u);

    // Registering again (the settings were applied) drops the next batch again.
    FakeVolumeChangeSource* old = source;
    WatchSDCardOperator().registWatchingSDCardFolder();
    EXPECT_TRUE(old->stopped);
    EXPECT_EQ(source->startedAfter, 42u);
    WatchSDCardOperator().stopWatchingSDCardFolder();
    EXPECT_FALSE(WatchSDCardOperator::isWatching());
}

#include "watch/lmrsdmanager.h"

#include "platform/volumeroots.h"
#include "watchfixture.h"

#include <QDir>
#include <QFile>

class LMRSDManagerTest : public WatchFixture
{
protected:
    LMRSDManager* cards = LMRSDManager::sharedInstance();
};

TEST_F(LMRSDManagerTest, ACardIsNewUntilSeenAndChangedOnlyByALaterMarker)
{
    const QString marker = markerOf(insertCard(QStringLiteral("CARD")));
    const QDateTime marked = modificationTime(marker);
    EXPECT_TRUE(cards->checkUpdate(marker));
    cards->setTarget(marker);
    EXPECT_EQ(cards->targetDictionary().value(marker), marked);
    EXPECT_FALSE(cards->checkUpdate(marker));

    // An earlier marker date is no change; a later one is.
    setModificationTime(marker, marked.addSecs(-10));
    EXPECT_FALSE(cards->checkUpdate(marker));
    setModificationTime(marker, marked.addMSecs(1));
    EXPECT_TRUE(cards->checkUpdate(marker));

    // Re-dating sets the file and the memory to the same date.
    const QDateTime imported = QDateTime::currentDateTime();
    cards->modifyTimestamp(marker, imported);
    EXPECT_EQ(modificationTime(marker), imported);
    EXPECT_EQ(cards->targetDictionary().value(marker), imported);
    EXPECT_FALSE(cards->checkUpdate(marker));

    // A marker that is gone is never an update.
    QFile::remove(marker);
    EXPECT_FALSE(cards->checkUpdate(marker));
    EXPECT_FALSE(cards->checkUpdate(markerOf(home.filePath(QStringLiteral("nowhere")))));
}

TEST_F(LMRSDManagerTest, ACardIsGoneWhenItsVolumeFolderBelowARootIsGone)
{
    const QString present = markerOf(insertCard(QStringLiteral("PRESENT")));
    const QString removed = markerOf(insertCard(QStringLiteral("REMOVED")));
    const QString outside = markerOf(home.filePath(QStringLiteral("elsewhere/CARD")));
    const QString nested = QDir(volumeRoot).filePath(QStringLiteral("PRESENT/DCIM/LMR_SD"));
    QDir(QDir(volumeRoot).filePath(QStringLiteral("REMOVED"))).removeRecursively();
    // A volume name that is a file is no volume.
    QFile file(QDir(volumeRoot).filePath(QStringLiteral("FILE")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString onFile = QDir(volumeRoot).filePath(QStringLiteral("FILE/LMR_SD"));

    EXPECT_FALSE(cards->checkUnmount(present));
    EXPECT_FALSE(cards->checkUnmount(nested));
    EXPECT_TRUE(cards->checkUnmount(removed));
    EXPECT_TRUE(cards->checkUnmount(onFile));
    // Outside every volume root a card never counts as gone.
    EXPECT_FALSE(cards->checkUnmount(outside));
    EXPECT_FALSE(cards->checkUnmount(QStringLiteral("/Volumes")));

    for (const QString& marker : {present, removed, outside, onFile})
        cards->setTarget(marker, QDateTime::currentDateTime());
    cards->removeUnmountTarget();
    const QMap<QString, QDateTime> remembered = cards->targetDictionary();
    EXPECT_TRUE(remembered.contains(present));
    EXPECT_TRUE(remembered.contains(outside));
    EXPECT_FALSE(remembered.contains(removed));
    EXPECT_FALSE(remembered.contains(onFile));
}

#include "platform/volumeroots.h"

#include "platform/mounttablevolumechangesource.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
// The limit makes a broken notifier fail the test instead of hanging it.
bool processEventsUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer limit(20000);
    while (!condition() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}
} // namespace

TEST(VolumeRoots, DefaultsFollowTheUserAReplacementWinsAndPathsMatchAtFolderBoundaries)
{
    const QString user = VolumeRoots::userName();
    ASSERT_FALSE(user.isEmpty());
    const QStringList defaults = VolumeRoots::defaultRoots();
    EXPECT_TRUE(defaults.contains(u"/media/"_s + user));
    EXPECT_TRUE(defaults.contains(u"/run/media/"_s + user));
    EXPECT_EQ(defaults.contains(u"/Volumes"_s), QFileInfo(u"/Volumes"_s).isDir());

    VolumeRoots::setReplacement({u"/mnt/cards/"_s, QString(), u"/srv//x"_s});
    EXPECT_EQ(VolumeRoots::current(), QStringList({"/mnt/cards", "/srv/x"}));
    VolumeRoots::clearReplacement();
    EXPECT_EQ(VolumeRoots::current(), defaults);

    // A path belongs to a root only below it, at a folder boundary.
    const QStringList roots = {u"/media/anna"_s, u"/Volumes"_s};
    EXPECT_EQ(VolumeRoots::rootContaining(u"/media/anna/CARD/LMR_SD"_s, roots), u"/media/anna"_s);
    EXPECT_FALSE(VolumeRoots::rootContaining(u"/media/anna"_s, roots));
    EXPECT_FALSE(VolumeRoots::rootContaining(u"/media/annabel/CARD"_s, roots));
    EXPECT_FALSE(VolumeRoots::rootContaining(u"/mnt/CARD"_s, roots));

    EXPECT_EQ(VolumeRoots::volumeFolderOf(u"/Volumes/CARD/DCIM/LMR_SD"_s, roots),
              u"/Volumes/CARD"_s);
    EXPECT_EQ(VolumeRoots::volumeFolderOf(u"/media/anna//CARD/"_s, roots), u"/media/anna/CARD"_s);
    EXPECT_FALSE(VolumeRoots::volumeFolderOf(u"/Volumesx/CARD"_s, roots));
}

TEST(UserDefaults, KeepsAnUnsignedSixtyFourBitEventIdentifier)
{
    const QString key = u"EVENT_ID_SD_CARD"_s;
    UserDefaults::setValue(key, QVariant());
    EXPECT_EQ(UserDefaults::unsignedValue(key), 0u);
    UserDefaults::setValue(key, QVariant::fromValue<quint64>(18446744073709551000ull));
    EXPECT_EQ(UserDefaults::unsignedValue(key), 18446744073709551000ull);
    UserDefaults::setValue(key, u"not a number"_s);
    EXPECT_EQ(UserDefaults::unsignedValue(key), 0u);
}

TEST(MountTableVolumeChangeSource, BatchesTheStartAndChangesUnderARootAndGoesOnAfterARestart)
{
    QTemporaryDir folder;
    const QString root = folder.filePath(u"media"_s);
    const QString missingRoot = folder.filePath(u"not-yet"_s);
    QDir().mkpath(root);
    std::vector<VolumeChangeBatch> batches;
    MountTableVolumeChangeSource source({root, missingRoot}, std::chrono::milliseconds(200));
    QObject::connect(&source, &VolumeChangeSource::batchReady,
                     [&](const VolumeChangeBatch& batch) { batches.push_back(batch); });
    source.start(41);
    EXPECT_TRUE(source.isMountTableFollowed());

    // The start stands for what happened before it: every root, identifiers after 41.
    ASSERT_TRUE(processEventsUntil([&] { return !batches.empty(); }));
    EXPECT_EQ(batches[0].eventPaths, QStringList({root, missingRoot}));
    EXPECT_GT(batches[0].lastEventId, 41u);

    // Two changes within the latency come as one batch on the root that changed.
    QDir(root).mkdir(u"CARD"_s);
    QDir(root).mkdir(u"STICK"_s);
    ASSERT_TRUE(processEventsUntil([&] { return batches.size() >= 2; }));
    QCoreApplication::processEvents();
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[1].eventPaths, QStringList({root}));
    EXPECT_GT(batches[1].lastEventId, batches[0].lastEventId);

    // A stopped source delivers nothing.
    source.stop();
    QDir(root).mkdir(u"LATE"_s);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(batches.size(), 2u);

    // Started again, it goes on after the stored identifier and follows the roots again.
    const quint64 stored = batches.back().lastEventId;
    source.start(stored);
    ASSERT_TRUE(processEventsUntil([&] { return batches.size() == 3; }));
    EXPECT_GT(batches.back().lastEventId, stored);
    QDir(root).rmdir(u"CARD"_s);
    ASSERT_TRUE(processEventsUntil([&] { return batches.size() == 4; }));
    EXPECT_EQ(batches.back().eventPaths, QStringList({root}));
}

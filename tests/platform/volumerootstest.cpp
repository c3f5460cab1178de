#include "platform/volumeroots.h"

#include "platform/mounttablevolumechangesource.h"
#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

TEST(VolumeRoots, DefaultsFollowTheUserAndAReplacementWins)
{
    const QString user = VolumeRoots::userName();
    ASSERT_FALSE(user.isEmpty());
    const QStringList defaults = VolumeRoots::defaultRoots();
    EXPECT_TRUE(defaults.contains(QStringLiteral("/media/") + user));
    EXPECT_TRUE(defaults.contains(QStringLiteral("/run/media/") + user));
    EXPECT_EQ(defaults.contains(QStringLiteral("/Volumes")),
              QFileInfo(QStringLiteral("/Volumes")).isDir());

    VolumeRoots::setReplacement(
        {QStringLiteral("/mnt/cards/"), QString(), QStringLiteral("/srv//x")});
    EXPECT_EQ(VolumeRoots::current(), QStringList({"/mnt/cards", "/srv/x"}));
    VolumeRoots::clearReplacement();
    EXPECT_EQ(VolumeRoots::current(), defaults);
}

TEST(VolumeRoots, APathBelongsToARootOnlyBelowItAtAFolderBoundary)
{
    const QStringList roots = {QStringLiteral("/media/anna"), QStringLiteral("/Volumes")};
    EXPECT_EQ(VolumeRoots::rootContaining(QStringLiteral("/media/anna/CARD/LMR_SD"), roots),
              QStringLiteral("/media/anna"));
    EXPECT_FALSE(VolumeRoots::rootContaining(QStringLiteral("/media/anna"), roots));
    EXPECT_FALSE(VolumeRoots::rootContaining(QStringLiteral("/media/annabel/CARD"), roots));
    EXPECT_FALSE(VolumeRoots::rootContaining(QStringLiteral("/mnt/CARD"), roots));

    EXPECT_EQ(VolumeRoots::volumeFolderOf(QStringLiteral("/Volumes/CARD/DCIM/LMR_SD"), roots),
              QStringLiteral("/Volumes/CARD"));
    EXPECT_EQ(VolumeRoots::volumeFolderOf(QStringLiteral("/media/anna//CARD/"), roots),
              QStringLiteral("/media/anna/CARD"));
    EXPECT_FALSE(VolumeRoots::volumeFolderOf(QStringLiteral("/Volumesx/CARD"), roots));
}

TEST(UserDefaults, KeepsAnUnsignedSixtyFourBitEventIdentifier)
{
    const QString key = QStringLiteral("EVENT_ID_SD_CARD");
    UserDefaults::setValue(key, QVariant());
    EXPECT_EQ(UserDefaults::unsignedValue(key), 0u);
    UserDefaults::setValue(key, QVariant::fromValue<quint64>(18446744073709551000ull));
    EXPECT_EQ(UserDefaults::unsignedValue(key), 18446744073709551000ull);
    UserDefaults::setValue(key, QStringLiteral("not a number"));
    EXPECT_EQ(UserDefaults::unsignedValue(key), 0u);
}

TEST(MountTableVolumeChangeSource, BatchesTheStartAndChangesUnderARootAndGoesOnAfterARestart)
{
    QTemporaryDir folder;
    const QString root = folder.filePath(QStringLiteral("media"));
    const QString missingRoot = folder.filePath(QStringLiteral("not-yet"));
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
    QDir(root).mkdir(QStringLiteral("CARD"));
    QDir(root).mkdir(QStringLiteral("STICK"));
    ASSERT_TRUE(processEventsUntil([&] { return batches.size() >= 2; }));
    QCoreApplication::processEvents();
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[1].eventPaths, QStringList({root}));
    EXPECT_GT(batches[1].lastEventId, batches[0].lastEventId);

    // A stopped source delivers nothing.
    source.stop();
    QDir(root).mkdir(QStringLiteral("LATE"));
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(batches.size(), 2u);

    // Started again, it goes on after the stored identifier and follows the roots again.
    const quint64 stored = batches.back().lastEventId;
    source.start(stored);
    ASSERT_TRUE(processEventsUntil([&] { return batches.size() == 3; }));
    EXPECT_GT(batches.back().lastEventId, stored);
    QDir(root).rmdir(QStringLiteral("CARD"));
    ASSERT_TRUE(processEventsUntil([&] { return batches.size() == 4; }));
    EXPECT_EQ(batches.back().eventPaths, QStringList({root}));
}

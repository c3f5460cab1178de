#include "camerapicturebuilder.h"
#include "platform/mounttable.h"
#include "platform/mounttablemonitor.h"
#include "platform/mounttablevolumechangesource.h"
#include "platform/userdefaults.h"
#include "platform/volumeroots.h"

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
const QByteArray cardLine =
    "101 27 179:1 / /media/anna/CAM\\040CARD rw,nosuid,nodev shared:55 master:2 - vfat "
    "/dev/mmcblk0p1 rw,uid=1000";
const MountEntry cardEntry{101, 27, u"/media/anna/CAM CARD"_s, u"vfat"_s, u"/dev/mmcblk0p1"_s};
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

    // The stored identifier is an unsigned 64-bit value.
    const QString key = u"EVENT_ID_SD_CARD"_s;
    UserDefaults::setValue(key, QVariant());
    EXPECT_EQ(UserDefaults::unsignedValue(key), 0u);
    UserDefaults::setValue(key, QVariant::fromValue<quint64>(18446744073709551000ull));
    EXPECT_EQ(UserDefaults::unsignedValue(key), 18446744073709551000ull);
    UserDefaults::setValue(key, u"not a number"_s);
    EXPECT_EQ(UserDefaults::unsignedValue(key), 0u);
}

TEST(MountTable, ReadsLinesWithOptionalFieldsAndEscapesAndSkipsDamagedOnes)
{
    EXPECT_EQ(MountTable::parseLine(cardLine), cardEntry);
    // Tab, newline and backslash escapes; an escape that is no byte stays as written.
    const std::pair<QByteArray, QByteArray> escapes[] = {{"a\\011b\\012c\\134d", "a\tb\nc\\d"},
                                                         {"x\\777y", "x\\777y"},
                                                         {"end\\04", "end\\04"},
                                                         {"\\", "\\"}};
    for (const auto& [field, unescaped] : escapes)
        EXPECT_EQ(MountTable::unescape(field), unescaped) << field.constData();

    QByteArray table = "22 27 0:21 / /proc rw - proc proc rw\n"
                       "\n"
                       "23 27 0:22 / /sys rw\n"                    // truncated
                       "24 27 0:6 / /dev rw - devtmpfs\n"          // no source
                       "x 27 0:6 / /a rw - tmpfs none rw\n"        // id not a number
                       "-5 27 0:6 / /b rw - tmpfs none rw\n"       // negative id
                       "25 27 0:6 / relative rw - tmpfs none rw\n" // not absolute
                       "26 27 - / /c rw - tmpfs none rw\n";        // no device number
    table += QByteArray("\x01\xff\x00 garbage \xfe\n", 14) + cardLine + "\n";
    EXPECT_EQ(MountTable::parse(table),
              std::vector<MountEntry>({{22, 27, u"/proc"_s, u"proc"_s, u"proc"_s}, cardEntry}));

    // One enormous line and many lines: handled, nothing invented.
    const QByteArray hugePoint = "/" + QByteArray(1 << 20, 'a');
    const auto huge = MountTable::parseLine("7 1 0:1 / " + hugePoint + " rw - tmpfs none rw");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->mountPoint.size(), hugePoint.size());
    QByteArray many;
    for (int i = 0; i < 20000; ++i)
        many += "9 1 0:1 / /m" + QByteArray::number(i) + " rw - tmpfs none rw\n";
    EXPECT_EQ(MountTable::parse(many).size(), 20000u);
    EXPECT_TRUE(MountTable::read(u"/nonexistent/mountinfo"_s).empty());
    EXPECT_FALSE(MountTable::read().empty()); // this machine's own table
}

TEST(MountTableMonitor, ReportsTheDifferencesBetweenTwoReadings)
{
    QTemporaryDir folder;
    const QString tablePath = folder.filePath(u"mountinfo"_s);
    MountTableMonitor monitor;
    QStringList events;
    QObject::connect(&monitor, &MountTableMonitor::mounted,
                     [&](const QString& point) { events << u"+"_s + point; });
    QObject::connect(&monitor, &MountTableMonitor::unmounted,
                     [&](const QString& point) { events << u"-"_s + point; });
    QObject::connect(&monitor, &MountTableMonitor::changed, [&] { events << u"changed"_s; });
    CameraPictureBuilder::writeFile(tablePath,
                                    "1 0 0:1 / / rw - ext4 /dev/vda rw\n"
                                    "2 1 0:2 / /media/anna/OLD rw - vfat /dev/sdb1 rw\n");
    ASSERT_TRUE(monitor.start(tablePath));
    EXPECT_TRUE(events.isEmpty()); // the first snapshot reports nothing
    EXPECT_EQ(monitor.entries().size(), 2u);

    // OLD goes, CARD comes, and the root is remounted in place (new id): all reported.
    CameraPictureBuilder::writeFile(tablePath,
                                    "5 0 0:1 / / rw - ext4 /dev/vda rw\n"
                                    "3 5 0:3 / /media/anna/CARD rw - vfat /dev/sdc1 rw\n");
    monitor.refresh();
    EXPECT_EQ(events,
              QStringList({"-/", "-/media/anna/OLD", "+/", "+/media/anna/CARD", "changed"}));

    // Nothing changed: no signal. An unreadable table keeps the last snapshot.
    events.clear();
    monitor.refresh();
    EXPECT_TRUE(events.isEmpty());
    monitor.stop();
    monitor.refresh();
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(monitor.entries().size(), 2u);
    EXPECT_FALSE(monitor.start(folder.filePath(u"missing"_s)));
}

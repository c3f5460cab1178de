#include "platform/mounttable.h"

#include "camerapicturebuilder.h"
#include "platform/mounttablemonitor.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QByteArray cardLine =
    "101 27 179:1 / /media/anna/CAM\\040CARD rw,nosuid,nodev shared:55 master:2 - vfat "
    "/dev/mmcblk0p1 rw,uid=1000";
const MountEntry cardEntry{101, 27, u"/media/anna/CAM CARD"_s, u"vfat"_s, u"/dev/mmcblk0p1"_s};
} // namespace

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

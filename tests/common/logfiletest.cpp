#include "common/logfile.h"

#include "camerapicturebuilder.h"
#include "common/log.h"
#include "common/logfilerotation.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

class LogFileTest : public testing::Test
{
protected:
    TempHome home;
    QString folder = home.filePath(u"log"_s);
    QDateTime now = QDateTime::currentDateTime();

    void SetUp() override { QDir().mkpath(folder); }
    QString entry(const QString& name) const { return QDir(folder).filePath(name); }
};

TEST_F(LogFileTest, PathIsTheDayFileAndPurgeDeletesOnlyEntriesOlderThanTheKeptDays)
{
    // Zero or negative keep days mean thirty; 24856 days overflow 32-bit seconds, and
    // huge counts must never wrap into deleting young files.
    const struct
    {
        qint64 keepDays;
        int daysOn, deleted; // deleted: a file, and a folder with its contents
    } cases[] = {{7, 6, 0},  {7, 8, 2},     {0, 29, 0},        {-5, 29, 0},
                 {0, 31, 2}, {24856, 1, 0}, {INT64_MAX, 1, 0}, {-5, 31, 2}};
    for (const auto& c : cases) {
        CameraPictureBuilder::writeFile(entry(u"20240101.log"_s), {});
        CameraPictureBuilder::writeFile(entry(u"old/nested/file"_s), {});
        EXPECT_EQ(LogFile::purge(folder, c.keepDays, now.addDays(c.daysOn)), c.deleted)
            << c.keepDays << " days kept, " << c.daysOn << " days on";
        EXPECT_EQ(QFileInfo::exists(entry(u"20240101.log"_s)), c.deleted == 0);
        EXPECT_EQ(QFileInfo::exists(entry(u"old"_s)), c.deleted == 0);
    }
    EXPECT_EQ(LogFile::purge(home.filePath(u"none"_s), 7, now.addDays(100)), 0);

    const QString nested = home.filePath(u"a/b/log"_s);
    const QDateTime day(QDate(2024, 1, 5), QTime(23, 59, 59));
    EXPECT_EQ(LogFile::pathFor(nested, day), nested + u"/20240105.log"_s);
    EXPECT_TRUE(QFileInfo(nested).isDir());
    EXPECT_TRUE(LogFile::pathFor(QString(), day).isEmpty());
}

TEST_F(LogFileTest, RotationFiresAtOrAfterTheComingMidnightAndNamesTheNewDay)
{
    QDateTime now(QDate(2024, 1, 5), QTime(23, 0));
    QList<QDateTime> rotations;
    LogFileRotation rotation([&](const QDateTime& midnight) { rotations << midnight; },
                             [&] { return now; });
    rotation.start();
    const QDateTime firstMidnight(QDate(2024, 1, 6), QTime(0, 0));
    EXPECT_EQ(rotation.scheduledMidnight(), firstMidnight);
    EXPECT_GT(rotation.remainingMsecs(), 3590 * 1000);

    const struct
    {
        QDateTime firesAt;
        qsizetype rotations;
        QDateTime nextMidnight;
    } rows[] = {
        {QDateTime(QDate(2024, 1, 5), QTime(23, 59, 59, 950)), 0, firstMidnight}, // early: waits
        {QDateTime(QDate(2024, 1, 6), QTime(0, 0, 0, 20)), 1, firstMidnight.addDays(1)},
        {QDateTime(QDate(2024, 1, 9), QTime(8, 0)), 2, QDateTime(QDate(2024, 1, 10), QTime(0, 0))},
    };
    for (const auto& row : rows) {
        now = row.firesAt;
        rotation.timerFired();
        EXPECT_EQ(rotations.size(), row.rotations) << row.firesAt.toString().toStdString();
        EXPECT_EQ(rotation.scheduledMidnight(), row.nextMidnight);
    }
    EXPECT_EQ(rotations.value(0), firstMidnight);
    EXPECT_EQ(LogFile::fileName(rotations.value(0).date()), u"20240106.log"_s);
}

TEST_F(LogFileTest, RedirectedLinesAppendWithThePlatformPrefixAndAnUnwritableFileIsNamedOnce)
{
    const QString path = LogFile::pathFor(folder, now);
    const QString unwritable = home.filePath(u"no/such/x.log"_s);
    // Standard error is put back afterwards, so that the runner's own output is unharmed.
    testing::internal::CaptureStderr();
    ASSERT_TRUE(LogFile::redirectStandardError(path));
    Log::info(u"first"_s);
    // A second start on the same day appends to the same file.
    ASSERT_TRUE(LogFile::redirectStandardError(path));
    Log::error(u"二番目"_s);
    // An unwritable file leaves standard error where it was and says so once.
    EXPECT_FALSE(LogFile::redirectStandardError(unwritable));
    EXPECT_FALSE(LogFile::redirectStandardError(unwritable));
    const QString failure = LogFile::failureMessage();
    EXPECT_TRUE(failure.contains(unwritable));
    EXPECT_FALSE(LogFile::redirectStandardError(QString()));
    Log::debug(u"third"_s);
    testing::internal::GetCapturedStderr();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const QRegularExpression prefix(
        uR"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [^\[]+\[\d+:\d+\] )"_s);
    EXPECT_EQ(lines.replaceInStrings(prefix, QString()),
              (QStringList{u"[info]: first"_s, u"[error]: 二番目"_s, "[error]: " + failure,
                           u"[debug]: third"_s}))
        << lines.join(u'\n').toStdString();
}

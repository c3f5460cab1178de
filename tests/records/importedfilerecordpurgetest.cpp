// The hourly purge: when it is due, what it deletes, and what it stores.
#include "records/importedfilerecordpurge.h"

#include "records/importedfiledao.h"
#include "recordstesthelpers.h"

#include <gtest/gtest.h>

class ImportedFileRecordPurgeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const qint64 datetime : {20240105083000LL, 20240105090000LL, 20240105090001LL})
            ASSERT_TRUE(dao.insert(makeImportedFile(QString::number(datetime), {}, datetime)));
    }

    QStringList remaining() const
    {
        QStringList names;
        for (const auto& file : dao.findAllImportedFiles())
            names << file.fileName();
        return names;
    }

    SeededDatabase seeded;
    ImportedFileDao dao{seeded.path()};
    const QDateTime now = QDateTime(QDate(2024, 1, 5), QTime(11, 0, 0));
};

TEST_F(ImportedFileRecordPurgeTest, DuePurgeDeletesUpToTheLastPurgeTimeAndReturnsNow)
{
    // Interval one hour, last purge two hours ago.
    const auto stored = ImportedFileRecordPurge::deleteImportedFileRecordIfDue(
        QStringLiteral("20240105090000"), 3600, now, seeded.path());
    EXPECT_EQ(stored, QStringLiteral("20240105110000"));
    EXPECT_EQ(remaining(), QStringList{QStringLiteral("20240105090001")});
}

TEST_F(ImportedFileRecordPurgeTest, PurgeThatIsNotDueOrHasNoLastTimeDoesNothing)
{
    const QStringList all = remaining();
    // Exactly the interval elapsed: not more than it.
    EXPECT_FALSE(ImportedFileRecordPurge::deleteImportedFileRecordIfDue(
        QStringLiteral("20240105100000"), 3600, now, seeded.path()));
    EXPECT_FALSE(ImportedFileRecordPurge::deleteImportedFileRecordIfDue(
        QStringLiteral("20240105090000"), 365.0 * 86400, now, seeded.path()));
    // Missing or unreadable last time: no time has elapsed, even with a zero interval.
    EXPECT_FALSE(ImportedFileRecordPurge::deleteImportedFileRecordIfDue({}, 0, now, seeded.path()));
    EXPECT_FALSE(ImportedFileRecordPurge::deleteImportedFileRecordIfDue(
        QStringLiteral("2024-01-05 09:00"), 0, now, seeded.path()));
    // A last time in the future (clock set back) is not overdue.
    EXPECT_FALSE(ImportedFileRecordPurge::deleteImportedFileRecordIfDue(
        QStringLiteral("20240106090000"), 0, now, seeded.path()));
    EXPECT_EQ(remaining(), all);
}

TEST_F(ImportedFileRecordPurgeTest, FailedDeleteStillMovesTheLastPurgeTime)
{
    ASSERT_TRUE(RawDatabase::execute(seeded.path(), QStringLiteral("drop table imported_file;")));
    CapturedLog log;
    EXPECT_EQ(ImportedFileRecordPurge::deleteImportedFileRecordIfDue(
                  QStringLiteral("19700101090000"), 0, now, seeded.path()),
              QStringLiteral("20240105110000"));
    EXPECT_EQ(log.count(QStringLiteral("DB Query: delete from imported_file where datetime <= ?;")),
              1);
}

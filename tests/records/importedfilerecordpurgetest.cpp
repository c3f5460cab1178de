#include "records/importedfilerecordpurge.h"

#include "records/importedfiledao.h"
#include "recordstesthelpers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

class ImportedFileRecordPurgeTest : public SeededDaoTest
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

    std::optional<QString> purgeIfDue(const QString& last, double interval) const
    {
        return ImportedFileRecordPurge::deleteImportedFileRecordIfDue(last, interval, now,
                                                                      seeded.path());
    }

    const QDateTime now = QDateTime(QDate(2024, 1, 5), QTime(11, 0, 0));
};

TEST_F(ImportedFileRecordPurgeTest, DuePurgeDeletesUpToTheLastPurgeTimeAndReturnsNowEvenWhenItFails)
{
    // Interval one hour, last purge two hours ago.
    EXPECT_EQ(purgeIfDue(u"20240105090000"_s, 3600), u"20240105110000"_s);
    EXPECT_EQ(remaining(), QStringList{u"20240105090001"_s});

    ASSERT_TRUE(RawDatabase::execute(seeded.path(), u"drop table imported_file;"_s));
    StderrCapture log;
    EXPECT_EQ(purgeIfDue(u"19700101090000"_s, 0), u"20240105110000"_s);
    EXPECT_EQ(log.count(u"DB Query: delete from imported_file where datetime <= ?;"_s), 1);
}

TEST_F(ImportedFileRecordPurgeTest, PurgeThatIsNotDueOrHasNoLastTimeDoesNothing)
{
    const QStringList all = remaining();
    // Exactly the interval elapsed is not more than it; a missing or unreadable last
    // time means no time has elapsed, even with a zero interval; a last time in the
    // future (clock set back) is not overdue.
    const std::pair<QString, double> notDue[] = {{u"20240105100000"_s, 3600},
                                                 {u"20240105090000"_s, 365.0 * 86400},
                                                 {{}, 0},
                                                 {u"2024-01-05 09:00"_s, 0},
                                                 {u"20240106090000"_s, 0}};
    for (const auto& [last, interval] : notDue)
        EXPECT_FALSE(purgeIfDue(last, interval)) << last.toStdString();
    EXPECT_EQ(remaining(), all);
}

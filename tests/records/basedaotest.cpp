#include "records/basedao.h"

#include "records/importedfiledao.h"
#include "recordstesthelpers.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
// A DAO whose id query yields every row from the given id on, so that a lookup
// can come back with two rows.
class LooseIdDao : public ImportedFileDao
{
public:
    using ImportedFileDao::ImportedFileDao;

protected:
    QString getFindByIdQuery() const override
    {
        return u"select * from imported_file where id >= ? order by id;"_s;
    }
};
} // namespace

class BaseDaoTest : public SeededDaoTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RawDatabase::execute(
            seeded.path(), u"insert into imported_file (id, file_name, camera_id, datetime) values "
                           "(1, 'a.jpg', 'LM1', 20240105103000), (2, 'b.jpg', 'LM1', NULL);"_s));
    }
};

TEST_F(BaseDaoTest, FindByIdGivesARecordOnlyForExactlyOneRow)
{
    const auto found = dao.findImportedFileById(2);
    ASSERT_TRUE(found);
    EXPECT_EQ(std::pair(found->fileName(), found->datetime()), std::pair(u"b.jpg"_s, qint64(0)));
    EXPECT_FALSE(dao.findById(3));

    const LooseIdDao loose(seeded.path());
    EXPECT_FALSE(loose.findById(1));
    EXPECT_TRUE(loose.findById(2));
}

TEST_F(BaseDaoTest, FailingQueryGivesAnEmptyListAndTheThreeErrorLinesInOrder)
{
    StderrCapture log;
    EXPECT_TRUE(dao.executeFind(u"select no_such_column from imported_file;"_s).empty());
    const QRegularExpression lines(
        u"\\[error\\]: DB Error: 1 \"no such column: no_such_column\"\n"
        ".*\\[error\\]: DB Query: select no_such_column from imported_file;\n"
        ".*\\[error\\]: DB Path: "_s +
        QRegularExpression::escape(seeded.path()) + u'\n');
    EXPECT_TRUE(lines.match(log.text()).hasMatch()) << log.text().toStdString();
}

TEST_F(BaseDaoTest, SingleColumnQueriesGiveTheStoredTypeNullMarkerOrNoneAndColumnsAreFound)
{
    const std::pair<SqlStatement, QVariant> cases[] = {
        {u"select 7;"_s, qint64(7)},
        {u"select 1.5;"_s, 1.5},
        {u"select x'00ff';"_s, QByteArray("\x00\xff", 2)},
        {SqlStatement(u"select ?;"_s, {u"歯科"_s}), u"歯科"_s},
        {u"select datetime from imported_file where id = 2;"_s, QVariant::fromValue(nullptr)}};
    for (const auto& [statement, value] : cases) {
        const auto found = dao.executeFindSingleColumn(statement);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(std::pair(found->typeId(), *found), std::pair(value.typeId(), value));
    }
    EXPECT_FALSE(dao.executeFindSingleColumn(u"select id from imported_file where id = 99;"_s));

    // Column checks ignore case and are false for missing tables or columns.
    EXPECT_TRUE(dao.existColumn(u"HASH_CODE"_s, u"Imported_File"_s));
    EXPECT_TRUE(dao.existColumn(u"id"_s, u"imported_file"_s));
    EXPECT_FALSE(dao.existColumn(u"hash"_s, u"imported_file"_s));
    EXPECT_FALSE(dao.existColumn(u"id"_s, u"no_table"_s));
    EXPECT_FALSE(dao.existColumn(u"id"_s, u"x') or ('1"_s));
}

TEST_F(BaseDaoTest, UpdatesReportFailureForStatementsThatCannotRun)
{
    StderrCapture log;
    // A value count that does not fit the placeholders is refused before running.
    EXPECT_FALSE(
        dao.executeUpdate(SqlStatement(u"delete from imported_file where id = ?;"_s, {1, 2})));
    // A statement that yields a row is no update.
    EXPECT_FALSE(dao.executeUpdate(u"select 1;"_s));
    EXPECT_FALSE(dao.executeUpdate(u"insert into imported_file (id) values (1);"_s));
    // The generic base knows no table: every template text is empty.
    const BaseDao base(seeded.path());
    EXPECT_TRUE(base.findAll().empty());
    EXPECT_FALSE(base.insert(BaseEntity()));
    EXPECT_FALSE(base.deleteById(1));
    // A record of the wrong kind is refused, not mis-read.
    EXPECT_FALSE(dao.insert(BaseEntity()));

    for (const char* error :
         {"DB Error: 25 ", "Unknown error calling sqlite3_step (100: another row available) eu",
          "Unknown error calling sqlite3_step (19: UNIQUE constraint failed: imported_file.id) eu"})
        EXPECT_EQ(log.count(QString::fromUtf8(error)), 1) << error;
    EXPECT_EQ(RawDatabase::rowCount(seeded.path()), 2);
}

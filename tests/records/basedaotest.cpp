// The generic operations of BaseDao on a seeded database.
#include "records/basedao.h"

#include "records/importedfiledao.h"
#include "recordstesthelpers.h"

#include <gtest/gtest.h>

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
        return QStringLiteral("select * from imported_file where id >= ? order by id;");
    }
};
} // namespace

class BaseDaoTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RawDatabase::execute(
            seeded.path(),
            QStringLiteral("insert into imported_file (id, file_name, camera_id, datetime) values "
                           "(1, 'a.jpg', 'LM1', 20240105103000), (2, 'b.jpg', 'LM1', NULL);")));
    }

    SeededDatabase seeded;
    ImportedFileDao dao{seeded.path()};
};

TEST_F(BaseDaoTest, FindByIdGivesARecordOnlyForExactlyOneRow)
{
    const auto found = dao.findImportedFileById(2);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->fileName(), QStringLiteral("b.jpg"));
    EXPECT_EQ(found->datetime(), 0);
    EXPECT_FALSE(dao.findById(3));

    const LooseIdDao loose(seeded.path());
    EXPECT_FALSE(loose.findById(1));
    EXPECT_TRUE(loose.findById(2));
}

TEST_F(BaseDaoTest, FailingQueryGivesAnEmptyListAndTheThreeErrorLinesInOrder)
{
    CapturedLog log;
    const auto rows = dao.executeFind(QStringLiteral("select no_such_column from imported_file;"));
    EXPECT_TRUE(rows.empty());
    const QString text = log.text();
    const auto error = text.indexOf(QStringLiteral("[error]: DB Error: 1 \"no such column: "
                                                   "no_such_column\""));
    const auto query = text.indexOf(
        QStringLiteral("[error]: DB Query: select no_such_column from imported_file;"));
    const auto path = text.indexOf(QStringLiteral("[error]: DB Path: ") + seeded.path());
    ASSERT_GE(error, 0);
    EXPECT_GT(query, error);
    EXPECT_GT(path, query);
}

TEST_F(BaseDaoTest, SingleColumnQueriesGiveTheStoredTypeNullMarkerOrNone)
{
    EXPECT_EQ(dao.executeFindSingleColumn(QStringLiteral("select 7;"))->toLongLong(), 7);
    EXPECT_EQ(dao.executeFindSingleColumn(QStringLiteral("select 7;"))->typeId(),
              QMetaType::LongLong);
    EXPECT_DOUBLE_EQ(dao.executeFindSingleColumn(QStringLiteral("select 1.5;"))->toDouble(), 1.5);
    EXPECT_EQ(dao.executeFindSingleColumn(QStringLiteral("select x'00ff';"))->toByteArray(),
              QByteArray("\x00\xff", 2));
    EXPECT_EQ(dao.executeFindSingleColumn(
                     SqlStatement(QStringLiteral("select ?;"), {QStringLiteral("歯科")}))
                  ->toString(),
              QStringLiteral("歯科"));
    const auto null = dao.executeFindSingleColumn(QStringLiteral("select datetime from "
                                                                 "imported_file where id = 2;"));
    ASSERT_TRUE(null.has_value());
    EXPECT_EQ(null->typeId(), QMetaType::Nullptr);
    EXPECT_FALSE(
        dao.executeFindSingleColumn(QStringLiteral("select id from imported_file where id = 99;"))
            .has_value());
}

TEST_F(BaseDaoTest, ExistColumnIgnoresCaseAndIsFalseForMissingTablesOrColumns)
{
    EXPECT_TRUE(dao.existColumn(QStringLiteral("HASH_CODE"), QStringLiteral("Imported_File")));
    EXPECT_TRUE(dao.existColumn(QStringLiteral("id"), QStringLiteral("imported_file")));
    EXPECT_FALSE(dao.existColumn(QStringLiteral("hash"), QStringLiteral("imported_file")));
    EXPECT_FALSE(dao.existColumn(QStringLiteral("id"), QStringLiteral("no_table")));
    EXPECT_FALSE(dao.existColumn(QStringLiteral("id"), QStringLiteral("x') or ('1")));
}

TEST_F(BaseDaoTest, UpdatesReportFailureForStatementsThatCannotRun)
{
    CapturedLog log;
    // A value count that does not fit the placeholders is refused before running.
    EXPECT_FALSE(dao.executeUpdate(
        SqlStatement(QStringLiteral("delete from imported_file where id = ?;"), {1, 2})));
    // A statement that yields a row is no update.
    EXPECT_FALSE(dao.executeUpdate(QStringLiteral("select 1;")));
    EXPECT_FALSE(dao.executeUpdate(QStringLiteral("insert into imported_file (id) values (1);")));
    // The generic base knows no table: every template text is empty.
    const BaseDao base(seeded.path());
    EXPECT_TRUE(base.findAll().empty());
    EXPECT_FALSE(base.insert(BaseEntity()));
    EXPECT_FALSE(base.deleteById(1));
    // A record of the wrong kind is refused, not mis-read.
    EXPECT_FALSE(dao.insert(BaseEntity()));

    EXPECT_EQ(log.count(QStringLiteral("DB Error: 25 ")), 1);
    EXPECT_EQ(log.count(QStringLiteral("Unknown error calling sqlite3_step (100: another row "
                                       "available) eu")),
              1);
    EXPECT_EQ(log.count(QStringLiteral("Unknown error calling sqlite3_step (19: UNIQUE constraint "
                                       "failed: imported_file.id) eu")),
              1);
    EXPECT_EQ(RawDatabase::rowCount(seeded.path()), 2);
}

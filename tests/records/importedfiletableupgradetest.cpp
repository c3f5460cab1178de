// The upgrade of an older installation's imported_file table.
#include "records/importedfiletableupgrade.h"

#include "records/importedfiledao.h"
#include "recordstesthelpers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QStringList firstGeneration = {
    QStringLiteral("id INTEGER 0 NULL"), QStringLiteral("file_name TEXT 0 NULL"),
    QStringLiteral("camera_id TEXT 0 NULL"), QStringLiteral("datetime INTEGER 0 NULL")};
const QStringList secondGeneration = {QStringLiteral("original_file_name TEXT 1 ''"),
                                      QStringLiteral("transferred_folder TEXT 1 ''")};
const QStringList thirdGeneration = {
    QStringLiteral("mirror_image_type TEXT 1 ''"), QStringLiteral("drawing_flg TEXT 1 ''"),
    QStringLiteral("mode TEXT 1 ''"), QStringLiteral("captured_dttm INTEGER 1 0"),
    QStringLiteral("hash_code TEXT 1 ''")};

const QStringList upgradeLines = {
    QStringLiteral("[info]: ### version up ### Alter table that check for duplicate.\n"),
    QStringLiteral("[info]: ### version up ### Add column original_file_name.\n"),
    QStringLiteral("[info]: ### version up ### Add column transferred_folder.\n"),
    QStringLiteral(
        "[info]: ### version up ### Alter table that check for duplicate, second time.\n"),
    QStringLiteral("[info]: ### version up ### Add column mirror_image_type.\n"),
    QStringLiteral("[info]: ### version up ### Add column drawing_flg.\n"),
    QStringLiteral("[info]: ### version up ### Add column mode.\n"),
    QStringLiteral("[info]: ### version up ### Add column captured_dttm.\n"),
    QStringLiteral("[info]: ### version up ### Add column hash_code.\n")};

// The upgrade lines of the log, in the order written.
QStringList writtenUpgradeLines(const QString& log)
{
    QStringList lines;
    for (const QString& line : log.split(QLatin1Char('\n'))) {
        const auto start = line.indexOf(QStringLiteral("[info]: ### version up ###"));
        if (start >= 0)
            lines << line.mid(start) + QLatin1Char('\n');
    }
    return lines;
}
} // namespace

class ImportedFileTableUpgradeTest : public testing::Test
{
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("Talvoren.db"));
};

TEST_F(ImportedFileTableUpgradeTest, FromBuildEightAddsAllSevenColumnsInOrderWithNineLines)
{
    ASSERT_TRUE(RawDatabase::createFirstGeneration(path));
    ASSERT_TRUE(RawDatabase::execute(
        path, QStringLiteral("insert into imported_file (file_name, camera_id, datetime) values "
                             "('old.jpg', 'LM1', 20150101000000);")));
    CapturedLog log;
    ImportedFileTableUpgrade::updateDatabase(8, path);

    EXPECT_EQ(writtenUpgradeLines(log.text()), upgradeLines);
    EXPECT_EQ(log.count(QStringLiteral("[error]")), 0);
    EXPECT_EQ(RawDatabase::columns(path), firstGeneration + secondGeneration + thirdGeneration);
    // The upgraded table is the one the seed ships, index included.
    SeededDatabase seeded;
    EXPECT_EQ(RawDatabase::columns(path), RawDatabase::columns(seeded.path()));
    EXPECT_EQ(RawDatabase::indexes(path), RawDatabase::indexes(seeded.path()));

    // Old rows read back with the defaults, and the duplicate test works on them.
    const auto rows = ImportedFileDao(path).findAllImportedFiles();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first().fileName(), QStringLiteral("old.jpg"));
    EXPECT_EQ(rows.first().capturedDttm(), 0);
    EXPECT_TRUE(rows.first().hashCode().isEmpty());
    EXPECT_EQ(
        ImportedFileDao(path)
            .findByLikeFileName(QStringLiteral("OLD.jpg"), QStringLiteral("LM1"), {}, {}, {}, {})
            .size(),
        1);
}

TEST_F(ImportedFileTableUpgradeTest, FromBuildTenAddsOnlyTheLastFiveColumns)
{
    ASSERT_TRUE(RawDatabase::createFirstGeneration(path));
    const ImportedFileDao dao(path);
    dao.addColumn(QStringLiteral("original_file_name"), QStringLiteral("text"), true,
                  QStringLiteral("''"));
    dao.addColumn(QStringLiteral("transferred_folder"), QStringLiteral("text"), true,
                  QStringLiteral("''"));
    CapturedLog log;
    ImportedFileTableUpgrade::updateDatabase(10, path);

    EXPECT_EQ(writtenUpgradeLines(log.text()), upgradeLines.mid(3));
    EXPECT_EQ(log.count(QStringLiteral("[error]")), 0);
    EXPECT_EQ(RawDatabase::columns(path), firstGeneration + secondGeneration + thirdGeneration);
}

TEST_F(ImportedFileTableUpgradeTest, FromBuildElevenAddsNoColumnButTheMissingIndex)
{
    ASSERT_TRUE(RawDatabase::createFirstGeneration(path));
    ImportedFileTableUpgrade::updateDatabase(8, path);
    ASSERT_TRUE(
        RawDatabase::execute(path, QStringLiteral("drop index imported_file_hash_code_index;")));

    CapturedLog log;
    ImportedFileTableUpgrade::updateDatabase(11, path);
    EXPECT_TRUE(writtenUpgradeLines(log.text()).isEmpty());
    EXPECT_EQ(log.count(QStringLiteral("[error]")), 0);
    EXPECT_EQ(RawDatabase::indexes(path),
              QStringList{QStringLiteral("imported_file_hash_code_index")});
}

TEST_F(ImportedFileTableUpgradeTest, ColumnsAlreadyThereAreLoggedAndTheLinesWrittenAllTheSame)
{
    SeededDatabase seeded;
    CapturedLog log;
    ImportedFileTableUpgrade::updateDatabase(0, seeded.path());
    EXPECT_EQ(writtenUpgradeLines(log.text()), upgradeLines);
    EXPECT_EQ(log.count(QStringLiteral("DB Error: 1 \"duplicate column name: ")), 7);
    EXPECT_EQ(log.count(QStringLiteral(
                  "DB Query: alter table imported_file add column captured_dttm integer not null "
                  "default 0 ;\n")),
              1);
    EXPECT_EQ(RawDatabase::columns(seeded.path()).size(), 11);
}

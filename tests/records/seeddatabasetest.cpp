// The shipped seed database and its installation at start-up.
#include "records/seeddatabase.h"

#include "common/talvorencommon.h"
#include "records/importedfiledao.h"
#include "recordstesthelpers.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

class SeedDatabaseTest : public testing::Test
{
protected:
    TempHome home;
};

TEST_F(SeedDatabaseTest, SeedHoldsTheWholeTableWithItsIndexAndNoRows)
{
    const QString seed = SeedDatabase::seedPath();
    ASSERT_FALSE(seed.isEmpty());
    EXPECT_EQ(
        RawDatabase::columns(seed),
        (QStringList{
            QStringLiteral("id INTEGER 0 NULL"), QStringLiteral("file_name TEXT 0 NULL"),
            QStringLiteral("camera_id TEXT 0 NULL"), QStringLiteral("datetime INTEGER 0 NULL"),
            QStringLiteral("original_file_name TEXT 1 ''"),
            QStringLiteral("transferred_folder TEXT 1 ''"),
            QStringLiteral("mirror_image_type TEXT 1 ''"), QStringLiteral("drawing_flg TEXT 1 ''"),
            QStringLiteral("mode TEXT 1 ''"), QStringLiteral("captured_dttm INTEGER 1 0"),
            QStringLiteral("hash_code TEXT 1 ''")}));
    EXPECT_EQ(RawDatabase::indexes(seed),
              QStringList{QString::fromLatin1(ImportedFileDao::hashCodeIndexName)});
    EXPECT_EQ(RawDatabase::rowCount(seed), 0);
}

TEST_F(SeedDatabaseTest, StartUpCopiesTheSeedWhenMissingAndKeepsAnExistingDatabase)
{
    const QString target = TalvorenCommon::getDBFilePath();
    ASSERT_TRUE(target.startsWith(home.path()));
    QDir(QFileInfo(target).absolutePath()).removeRecursively();

    ASSERT_TRUE(SeedDatabase::installIfMissing());
    EXPECT_TRUE(QFileInfo(target).isWritable());
    ASSERT_TRUE(ImportedFileDao::registerImportedFile(
        QStringLiteral("a.jpg"), QStringLiteral("LM1"), 20240105103000,
        QStringLiteral("/src/a.jpg"), QStringLiteral("/dst"), QStringLiteral("00"),
        QStringLiteral("00"), QStringLiteral("0a"), 20240105103000, QStringLiteral("ab"), {}));

    ASSERT_TRUE(SeedDatabase::installIfMissing());
    EXPECT_EQ(RawDatabase::rowCount(target), 1);
    // The shipped seed itself is never written.
    EXPECT_EQ(RawDatabase::rowCount(SeedDatabase::seedPath()), 0);
}

TEST_F(SeedDatabaseTest, StartUpGivesAnUpgradedDatabaseTheMissingIndex)
{
    const QString target = TalvorenCommon::getDBFilePath();
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(SeedDatabase::seedPath(), target));
    ASSERT_TRUE(
        RawDatabase::execute(target, QStringLiteral("drop index imported_file_hash_code_index;")));
    ASSERT_TRUE(SeedDatabase::installIfMissing(target));
    EXPECT_EQ(RawDatabase::indexes(target),
              QStringList{QString::fromLatin1(ImportedFileDao::hashCodeIndexName)});

    // A database from before the hash column gets its index from the upgrade instead.
    QFile::remove(target);
    ASSERT_TRUE(RawDatabase::createFirstGeneration(target));
    CapturedLog log;
    ASSERT_TRUE(SeedDatabase::installIfMissing(target));
    EXPECT_TRUE(RawDatabase::indexes(target).isEmpty());
    EXPECT_EQ(log.count(QStringLiteral("[error]")), 0);
}

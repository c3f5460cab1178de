#include "records/seeddatabase.h"

#include "common/talvorencommon.h"
#include "records/importedfiledao.h"
#include "recordstesthelpers.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SeedDatabaseTest, StartUpCopiesTheSeedWhenMissingAndGivesAnExistingDatabaseTheMissingIndex)
{
    const TempHome home;
    const QString target = TalvorenCommon::getDBFilePath();
    ASSERT_TRUE(target.startsWith(home.path()));
    QDir(QFileInfo(target).absolutePath()).removeRecursively();

    ASSERT_TRUE(SeedDatabase::installIfMissing());
    EXPECT_TRUE(QFileInfo(target).isWritable());
    ASSERT_TRUE(ImportedFileDao::registerImportedFile(u"a.jpg"_s, u"LM1"_s, 20240105103000,
                                                      u"/src/a.jpg"_s, u"/dst"_s, u"00"_s, u"00"_s,
                                                      u"0a"_s, 20240105103000, u"ab"_s, {}));

    ASSERT_TRUE(SeedDatabase::installIfMissing());
    EXPECT_EQ(RawDatabase::rowCount(target), 1);
    // The shipped seed itself is never written.
    EXPECT_EQ(RawDatabase::rowCount(SeedDatabase::seedPath()), 0);

    // An upgraded database gets the missing index.
    ASSERT_TRUE(RawDatabase::execute(target, u"drop index imported_file_hash_code_index;"_s));
    ASSERT_TRUE(SeedDatabase::installIfMissing(target));
    EXPECT_EQ(RawDatabase::indexes(target),
              QStringList{QString::fromLatin1(ImportedFileDao::hashCodeIndexName)});

    // A database from before the hash column gets its index from the upgrade instead.
    QFile::remove(target);
    ASSERT_TRUE(RawDatabase::createFirstGeneration(target));
    StderrCapture log;
    ASSERT_TRUE(SeedDatabase::installIfMissing(target));
    EXPECT_TRUE(RawDatabase::indexes(target).isEmpty());
    EXPECT_EQ(log.count(u"[error]"_s), 0);
}

#include "camerapicturebuilder.h"
#include "records/database.h"
#include "records/importedfiledao.h"
#include "records/resultset.h"
#include "recordstesthelpers.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <future>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {
// The immutable attribute stops even the super-user, who writes past file modes.
bool setImmutable(const QString& path, bool immutable)
{
    return QProcess::execute(u"chattr"_s, {immutable ? u"+i"_s : u"-i"_s, path}) == 0;
}
} // namespace

TEST(DatabaseFileTest, FileWithoutTheTableFailsEveryStatementAndIsNeverRepaired)
{
    struct Case
    {
        const char* name;
        std::optional<QByteArray> content;
        QString error;
        QString file = u"Talvoren.db"_s;
    };
    const QString noTable = u"[error]: DB Error: 1 \"no such table: imported_file\""_s;
    const Case cases[] = {
        // The layer creates the file but never the table: the seed copy at start-up does that.
        {"missing", std::nullopt, noTable},
        {"empty", QByteArray(), noTable},
        {"not a database", QByteArray("This is a text file, not a database.\n").repeated(200),
         u"[error]: DB Error: 26 \"file is not a database\""_s},
        {"in a missing folder", std::nullopt, u"[error]: error opening!: 14"_s,
         u"missing/folder/Talvoren.db"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QTemporaryDir folder;
        const QString path = folder.filePath(c.file);
        ASSERT_TRUE(!c.content || CameraPictureBuilder::writeFile(path, *c.content));
        const ImportedFileDao dao(path);
        const ImportedFileEntity picture = makeImportedFile(u"a.jpg"_s, hash);
        StderrCapture log;
        EXPECT_FALSE(dao.insert(picture));
        EXPECT_TRUE(dao.findAllImportedFiles().isEmpty());
        EXPECT_TRUE(findDuplicate(dao, picture).isEmpty());
        EXPECT_FALSE(dao.deleteBeforeDatetime(20991231235959));
        EXPECT_EQ(log.count(c.error), 4);
        EXPECT_TRUE(RawDatabase::columns(path).isEmpty());
        // SQLite may give an empty file its header; any other file stays as it was.
        if (c.content && !c.content->isEmpty()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), *c.content);
        }
    }
}

TEST(DatabaseFileTest, ReadOnlyFileAnswersQueriesButRefusesWrites)
{
    SeededDatabase seeded;
    const ImportedFileDao dao(seeded.path());
    const ImportedFileEntity file = makeImportedFile(u"a.jpg"_s, hash);
    ASSERT_TRUE(dao.insert(file));

    ASSERT_TRUE(QFile::setPermissions(seeded.path(), QFile::ReadOwner | QFile::ReadGroup));
    const auto writable = [&] { return QFile(seeded.path()).open(QIODevice::ReadWrite); };
    bool immutable = false;
    if (writable()) {
        immutable = setImmutable(seeded.path(), true);
        if (!immutable || writable()) {
            setImmutable(seeded.path(), false);
            GTEST_SKIP() << "cannot make a file read-only for this user";
        }
    }

    StderrCapture log;
    EXPECT_EQ(findDuplicate(dao, file).size(), 1);
    EXPECT_FALSE(dao.insert(makeImportedFile(u"b.jpg"_s, hash)));
    EXPECT_FALSE(dao.deleteBeforeDatetime(20991231235959));
    EXPECT_EQ(log.count(u"sqlite3_step (8: attempt to write a readonly database) eu"_s), 2);
    EXPECT_EQ(log.count(u"DB Query: delete from imported_file where datetime <= ?;"_s), 1);

    if (immutable)
        setImmutable(seeded.path(), false);
    EXPECT_EQ(RawDatabase::rowCount(seeded.path()), 1);
}

using LockedDatabaseTest = SeededDaoTest;

TEST_F(LockedDatabaseTest, LockHeldForThreeSecondsFailsWithTheBusyCodeAndLaterStatementsGoOn)
{
    const ImportedFileEntity file = makeImportedFile(u"a.jpg"_s, hash);
    ASSERT_TRUE(dao.insert(file));
    ExclusiveLock holder(seeded.path());
    ASSERT_TRUE(holder.isHeld());
    StderrCapture log;
    auto inserted = std::async(std::launch::async,
                               [this] { return dao.insert(makeImportedFile(u"b.jpg"_s, hash)); });
    auto found = std::async(std::launch::async, [this, &file] { return findDuplicate(dao, file); });
    QThread::msleep(3000);
    holder.release();

    EXPECT_FALSE(inserted.get());
    // In the write-ahead log a writer does not block readers: the duplicate test reads
    // the committed rows meanwhile, and the insert fails when it steps.
    EXPECT_EQ(found.get().size(), 1);
    EXPECT_EQ(log.count(u"sqlite3_step (5: database is locked) eu"_s), 1);

    EXPECT_TRUE(dao.insert(makeImportedFile(u"c.jpg"_s, hash)));
    EXPECT_EQ(findDuplicate(dao, file).size(), 1);
    EXPECT_EQ(RawDatabase::rowCount(seeded.path()), 2);
}

TEST_F(LockedDatabaseTest,
       WriteTransactionOfAnotherConnectionDelaysAnInsertAndAQueryWhichThenSucceed)
{
    ExclusiveLock writer(seeded.path(), "insert into imported_file (file_name, camera_id, "
                                        "hash_code) values ('x.jpg', 'LM1234567', 'h');");
    ASSERT_TRUE(writer.isHeld());
    StderrCapture log;
    auto inserted = std::async(std::launch::async,
                               [this] { return dao.insert(makeImportedFile(u"a.jpg"_s, hash)); });
    auto files = std::async(std::launch::async, [this] {
        return dao.findByFileNameCameraId(u"x.jpg"_s, u"LM1234567"_s);
    });
    QThread::msleep(1000);
    writer.release();

    EXPECT_TRUE(inserted.get());
    const auto found = files.get();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.first().hashCode(), u"h"_s);
    EXPECT_EQ(log.text(), QString());
    EXPECT_EQ(RawDatabase::rowCount(seeded.path()), 2);
}

TEST(DatabaseConnectionTest, CloseFinalisesOpenCursorsAndLeakedStatements)
{
    // Connections of several threads meet only in SQLite, which must be built for that.
    ASSERT_NE(sqlite3_threadsafe(), 0);
    SeededDatabase seeded;
    ASSERT_TRUE(RawDatabase::execute(
        seeded.path(), u"insert into imported_file (file_name) values ('a'), ('b');"_s));
    Database database(seeded.path());
    ASSERT_TRUE(database.open());
    auto cursor = database.executeQuery(u"select file_name from imported_file;"_s);
    ASSERT_TRUE(cursor && cursor->next());
    sqlite3_stmt* leaked = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(database.sqliteHandle(), "select 1;", -1, &leaked, nullptr),
              SQLITE_OK);

    StderrCapture log;
    database.close();
    EXPECT_EQ(log.count(u"[error]: Closing leaked statement"_s), 1);
    EXPECT_EQ(log.count(u"error closing!"_s), 0);
    EXPECT_FALSE(database.isOpen());
    // The cursor outlived its connection: it has no row and does not touch freed memory.
    EXPECT_FALSE(cursor->next());
    EXPECT_FALSE(cursor->stringForColumn(u"file_name"_s).has_value());
    // The file is free again: another connection can write at once.
    EXPECT_TRUE(RawDatabase::execute(seeded.path(), u"begin exclusive; commit;"_s));
}

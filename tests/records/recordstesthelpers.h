#pragma once

#include "records/importedfiledao.h"
#include "stderrcapture.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

struct sqlite3;

// Readable failure messages for texts.
void PrintTo(const QString& text, std::ostream* stream);

// Direct access to a database file, beside the layer under test.
namespace RawDatabase {
// Runs statements on a connection of its own, handing each result row to `onRow`;
// false on the first failure.
bool execute(const QString& path, const QString& sql,
             int (*onRow)(void*, int, char**, char**) = nullptr, void* rows = nullptr);
// "name type notnull default" per column, in table order.
QStringList columns(const QString& path, const QString& table = QStringLiteral("imported_file"));
QStringList indexes(const QString& path, const QString& table = QStringLiteral("imported_file"));
qint64 rowCount(const QString& path);
// The detail lines of the plan SQLite makes for the statement (parameters unbound).
QStringList queryPlan(const QString& path, const QString& sql);
// The imported_file table of the first builds: id, file_name, camera_id, datetime.
bool createFirstGeneration(const QString& path);
} // namespace RawDatabase

// A database made from the shipped seed in a folder of its own.
class SeededDatabase
{
public:
    SeededDatabase();
    QString path() const { return filePath; }

private:
    QTemporaryDir directory;
    QString filePath;
};

class SeededDaoTest : public testing::Test
{
protected:
    SeededDatabase seeded;
    ImportedFileDao dao{seeded.path()};
};

inline const QString hash = QStringLiteral("2fd4e1c67a2d28fced849ee1bb76e7391b93eb12");

ImportedFileEntity makeImportedFile(const QString& fileName, const QString& hashCode,
                                    qint64 datetime = 20240105103000);
// The duplicate test for `like` under another file name (its own when none is given).
QList<ImportedFileEntity> findDuplicate(const ImportedFileDao& dao, const ImportedFileEntity& like,
                                        const QString& fileName = {});

// A connection of its own holding an exclusive lock on a database from construction
// until release(), having run `sql` inside the transaction. The layer under test,
// on another thread, meets it only in SQLite's file locking, as it would meet
// another process.
class ExclusiveLock
{
public:
    explicit ExclusiveLock(const QString& path, const char* sql = "");
    ~ExclusiveLock();
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    bool isHeld() const { return held; }
    void release();

private:
    sqlite3* handle = nullptr;
    bool held = false;
};

#pragma once

#include "records/importedfileentity.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

struct sqlite3;

// Readable failure messages for texts.
void PrintTo(const QString& text, std::ostream* stream);

// Everything written to standard error between construction and text().
class CapturedLog
{
public:
    CapturedLog();
    ~CapturedLog();
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    // Stops capturing on the first call; later calls return the same text.
    const QString& text();
    int count(const QString& fragment);

private:
    bool capturing = true;
    QString captured;
};

// Direct access to a database file, beside the layer under test.
namespace RawDatabase {
// Runs statements on a connection of its own; false on the first failure.
bool execute(const QString& path, const QString& sql);
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

ImportedFileEntity makeImportedFile(const QString& fileName, const QString& hashCode,
                                    qint64 datetime = 20240105103000);

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

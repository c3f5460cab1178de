#pragma once

#include "records/sqlstatement.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class ResultSet;

// One connection to the database file, opened and closed around one statement.
// Opening installs the busy handler: while another connection or process holds a
// lock, the statement is retried for up to busyRetrySeconds with random sleeps of
// 50 to 99 ms, then fails with SQLITE_BUSY. Every failure is written to the log.
// The database keeps a write-ahead log: each statement commits on its own without a
// disk flush, and a commit survives a killed process.
class Database
{
public:
    static constexpr double busyRetrySeconds = 2.0;

    explicit Database(QString path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& databasePath() const { return path; }
    // Opens read-write, creating the file when missing ("error opening!: %d" on failure).
    bool open();
    bool isOpen() const { return handle != nullptr; }
    // Finalises every statement still open, then closes; closed in every case.
    void close();

    // The cursor of a query; null when it fails to prepare or bind (three log lines).
    std::unique_ptr<ResultSet> executeQuery(const SqlStatement& statement);
    // True when the statement ran to completion.
    bool executeUpdate(const SqlStatement& statement);

    // What the last failed open or statement of this connection reported, worded for
    // the person who has to mend it (a damaged file is named as such); none while
    // nothing failed.
    const std::optional<QString>& lastFailure() const { return failure; }

    // The underlying connection, for callers that need SQLite directly.
    sqlite3* sqliteHandle() const { return handle; }

private:
    friend class ResultSet;
    static int busyHandler(void* context, int count);
    void useWriteAheadLog();
    sqlite3_stmt* prepare(const SqlStatement& statement);
    void logPrepareFailure(int code, const QString& message, const QString& query);
    void forget(ResultSet* resultSet);
    void noteFailure(int code, const QString& message);

    QString path;
    sqlite3* handle = nullptr;
    qint64 busyStartMsecs = 0;
    std::vector<ResultSet*> openResultSets;
    std::optional<QString> failure;
};

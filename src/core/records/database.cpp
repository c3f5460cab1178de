#include "records/database.h"

#include "common/log.h"
#include "records/resultset.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <sqlite3.h>

namespace {
QString errorText(sqlite3* handle)
{
    return QString::fromUtf8(sqlite3_errmsg(handle));
}

bool bindValue(sqlite3_stmt* statement, int index, const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return sqlite3_bind_null(statement, index) == SQLITE_OK;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return sqlite3_bind_int64(statement, index, value.toLongLong()) == SQLITE_OK;
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble()) == SQLITE_OK;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(statement, index, bytes.constData(),
                                   static_cast<sqlite3_uint64>(bytes.size()),
                                   SQLITE_TRANSIENT) == SQLITE_OK;
    }
    default: {
        // Texts (and anything else that converts to one). A null QString binds as the
        // empty text so that the not-null columns accept it.
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text64(statement, index, text.isNull() ? "" : text.constData(),
                                   static_cast<sqlite3_uint64>(text.size()), SQLITE_TRANSIENT,
                                   SQLITE_UTF8) == SQLITE_OK;
    }
    }
}
} // namespace

Database::Database(QString path) : path(std::move(path)) {}

Database::~Database()
{
    close();
}

bool Database::open()
{
    if (handle != nullptr)
        return true;
    const int code = sqlite3_open_v2(
        QFile::encodeName(path).constData(), &handle,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (code != SQLITE_OK) {
        Log::error(QStringLiteral("error opening!: %1").arg(code));
        noteFailure(code, QString::fromUtf8(sqlite3_errstr(code)));
        // SQLite allocates a handle even when the open fails; it must be released.
        sqlite3_close(handle);
        handle = nullptr;
        return false;
    }
    sqlite3_extended_result_codes(handle, 0);
    sqlite3_busy_handler(handle, &Database::busyHandler, this);
    useWriteAheadLog();
    return true;
}

void Database::useWriteAheadLog()
{
    // In the write-ahead log a commit is an append: with synchronous=NORMAL it is
    // not flushed, yet survives a killed process (the data are in the page cache);
    // only a power cut can lose the commits since the last checkpoint. That keeps
    // one commit per record cheap. The journal mode stays in the file, so this
    // finds it set from the second open on; a database that cannot switch (busy,
    // read-only folder) keeps its rollback journal and works as before.
    sqlite3_exec(handle, "pragma journal_mode=WAL;", nullptr, nullptr, nullptr);
    sqlite3_exec(handle, "pragma synchronous=NORMAL;", nullptr, nullptr, nullptr);
}

int Database::busyHandler(void* context, int count)
{
    auto* database = static_cast<Database*>(context);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (count == 0) {
        database->busyStartMsecs = now;
        return 1;
    }
    if (static_cast<double>(now - database->busyStartMsecs) / 1000.0 >= busyRetrySeconds)
        return 0;
    const int requested = QRandomGenerator::global()->bounded(50, 100);
    const int actual = sqlite3_sleep(requested);
    if (actual != requested) {
        Log::error(QStringLiteral("WARNING: Requested sleep of %1 milliseconds, but SQLite "
                                  "returned %2. Maybe SQLite wasn't built with HAVE_USLEEP=1?")
                       .arg(requested)
                       .arg(actual));
    }
    return 1;
}

void Database::close()
{
    if (handle == nullptr)
        return;
    // Cursors still walking are finalised first; they forget their statement.
    while (!openResultSets.empty())
        openResultSets.back()->detach();
    int code = sqlite3_close(handle);
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        while (sqlite3_stmt* leaked = sqlite3_next_stmt(handle, nullptr)) {
            Log::error(QStringLiteral("Closing leaked statement"));
            sqlite3_finalize(leaked);
        }
        code = sqlite3_close(handle);
    }
    if (code != SQLITE_OK)
        Log::error(QStringLiteral("error closing!: %1").arg(code));
    handle = nullptr;
}

void Database::noteFailure(int code, const QString& message)
{
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB)
        failure = QStringLiteral("The imported-file database \"%1\" is damaged (%2). It is kept "
                                 "as it is for inspection; move it away to start a new one.")
                      .arg(path, message);
    else if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        failure = QStringLiteral("The imported-file database \"%1\" stayed locked by another "
                                 "program (%2)")
                      .arg(path, message);
    else
        failure = QStringLiteral("The imported-file database \"%1\" failed: %2 (code %3)")
                      .arg(path, message, QString::number(code));
}

void Database::logPrepareFailure(int code, const QString& message, const QString& query)
{
    noteFailure(code, message);
    Log::error(QStringLiteral("DB Error: %1 \"%2\"").arg(code).arg(message));
    Log::error(QStringLiteral("DB Query: %1").arg(query));
    Log::error(QStringLiteral("DB Path: %1").arg(path));
}

sqlite3_stmt* Database::prepare(const SqlStatement& statement)
{
    if (handle == nullptr)
        return nullptr;
    const QByteArray sql = statement.sql.toUtf8();
    sqlite3_stmt* prepared = nullptr;
    const int code = sqlite3_prepare_v2(handle, sql.constData(), static_cast<int>(sql.size()),
                                        &prepared, nullptr);
    if (code != SQLITE_OK) {
        logPrepareFailure(code, errorText(handle), statement.sql);
        sqlite3_finalize(prepared);
        return nullptr;
    }
    if (prepared == nullptr) {
        // A text without a statement (empty or only a comment) runs nothing.
        logPrepareFailure(SQLITE_MISUSE, QString::fromUtf8(sqlite3_errstr(SQLITE_MISUSE)),
                          statement.sql);
        return nullptr;
    }
    if (sqlite3_bind_parameter_count(prepared) != statement.arguments.size()) {
        logPrepareFailure(SQLITE_RANGE, QString::fromUtf8(sqlite3_errstr(SQLITE_RANGE)),
                          statement.sql);
        sqlite3_finalize(prepared);
        return nullptr;
    }
    for (int index = 0; index < statement.arguments.size(); ++index) {
        if (!bindValue(prepared, index + 1, statement.arguments.at(index))) {
            logPrepareFailure(sqlite3_errcode(handle), errorText(handle), statement.sql);
            sqlite3_finalize(prepared);
            return nullptr;
        }
    }
    return prepared;
}

std::unique_ptr<ResultSet> Database::executeQuery(const SqlStatement& statement)
{
    sqlite3_stmt* prepared = prepare(statement);
    if (prepared == nullptr)
        return nullptr;
    auto resultSet = std::make_unique<ResultSet>(*this, prepared, statement.sql);
    openResultSets.push_back(resultSet.get());
    return resultSet;
}

bool Database::executeUpdate(const SqlStatement& statement)
{
    sqlite3_stmt* prepared = prepare(statement);
    if (prepared == nullptr)
        return false;
    const int code = sqlite3_step(prepared);
    const bool done = code == SQLITE_DONE || code == SQLITE_OK;
    if (!done) {
        const QString message = errorText(handle);
        QString line;
        switch (code) {
        case SQLITE_ERROR:
            line = QStringLiteral("Error calling sqlite3_step (%1: %2) SQLITE_ERROR");
            break;
        case SQLITE_MISUSE:
            line = QStringLiteral("Error calling sqlite3_step (%1: %2) SQLITE_MISUSE");
            break;
        case SQLITE_INTERRUPT:
            line = QStringLiteral(
                "Error calling sqlite3_step. Query was interrupted (%1: %2) SQLITE_INTERRUPT");
            break;
        default:
            line = QStringLiteral("Unknown error calling sqlite3_step (%1: %2) eu");
            break;
        }
        Log::error(line.arg(code).arg(message));
        Log::error(QStringLiteral("DB Query: %1").arg(statement.sql));
        noteFailure(code, message);
    }
    sqlite3_finalize(prepared);
    return done;
}

void Database::forget(ResultSet* resultSet)
{
    openResultSets.erase(std::remove(openResultSets.begin(), openResultSets.end(), resultSet),
                         openResultSets.end());
}

#include "records/resultset.h"

#include "common/log.h"
#include "records/database.h"

#include <sqlite3.h>

ResultSet::ResultSet(Database& database, sqlite3_stmt* statement, QString query)
    : database(&database), statement(statement), query(std::move(query))
{
}

ResultSet::~ResultSet()
{
    close();
}

void ResultSet::close()
{
    detach();
}

void ResultSet::detach()
{
    if (database != nullptr)
        database->forget(this);
    database = nullptr;
    sqlite3_finalize(statement);
    statement = nullptr;
}

bool ResultSet::next()
{
    if (statement == nullptr)
        return false;
    const int code = sqlite3_step(statement);
    if (code == SQLITE_ROW)
        return true;
    if (code != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement)));
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            Log::error(QStringLiteral("Database busy"));
        else if (code == SQLITE_ERROR || code == SQLITE_MISUSE)
            Log::error(
                QStringLiteral("Error calling sqlite3_step (%1: %2) rs").arg(code).arg(message));
        else
            Log::error(QStringLiteral("Unknown error calling sqlite3_step (%1: %2) rs")
                           .arg(code)
                           .arg(message));
        if (database != nullptr)
            database->noteFailure(code, message);
    }
    // The walk is over: release the statement (and its read lock) right away.
    close();
    return false;
}

int ResultSet::columnIndex(const QString& columnName) const
{
    if (statement == nullptr)
        return -1;
    if (columnIndexes.isEmpty()) {
        const int count = sqlite3_column_count(statement);
        for (int index = 0; index < count; ++index) {
            const QString name = QString::fromUtf8(sqlite3_column_name(statement, index)).toLower();
            if (!columnIndexes.contains(name))
                columnIndexes.insert(name, index);
        }
    }
    return columnIndexes.value(columnName.toLower(), -1);
}

int ResultSet::intForColumn(const QString& columnName) const
{
    const int index = columnIndex(columnName);
    return index < 0 ? 0 : sqlite3_column_int(statement, index);
}

qint64 ResultSet::longLongIntForColumn(const QString& columnName) const
{
    const int index = columnIndex(columnName);
    return index < 0 ? 0 : sqlite3_column_int64(statement, index);
}

std::optional<QString> ResultSet::stringForColumn(const QString& columnName) const
{
    const int index = columnIndex(columnName);
    if (index < 0 || sqlite3_column_type(statement, index) == SQLITE_NULL)
        return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, index));
}

QVariant ResultSet::objectForColumnIndex(int index) const
{
    if (statement == nullptr || index < 0 || index >= sqlite3_column_count(statement))
        return {};
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER:
        return QVariant::fromValue<qint64>(sqlite3_column_int64(statement, index));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, index);
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, index));
        return QByteArray(bytes, sqlite3_column_bytes(statement, index));
    }
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
        return QString::fromUtf8(text, sqlite3_column_bytes(statement, index));
    }
    default:
        return QVariant::fromValue(nullptr);
    }
}

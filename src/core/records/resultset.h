#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <optional>

struct sqlite3_stmt;
class Database;

// The cursor of one query: next() steps to the following row; the column readers
// look a column up by name without regard to case. The statement is finalised by
// close(), by the destructor, or when its connection closes first.
class ResultSet
{
public:
    ResultSet(Database& database, sqlite3_stmt* statement, QString query);
    ~ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // True while a row is available. A failed step is logged and ends the walk.
    bool next();
    void close();

    int intForColumn(const QString& columnName) const;
    qint64 longLongIntForColumn(const QString& columnName) const;
    // None for NULL and for a column that is not in the result.
    std::optional<QString> stringForColumn(const QString& columnName) const;
    // The first column (or any by position) as stored: qint64, double, QByteArray or
    // QString; a QVariant holding std::nullptr_t for NULL.
    QVariant objectForColumnIndex(int index) const;

private:
    friend class Database;
    // Called by the connection when it closes before the cursor does.
    void detach();
    int columnIndex(const QString& columnName) const;

    Database* database;
    sqlite3_stmt* statement;
    QString query;
    mutable QHash<QString, int> columnIndexes;
};

#pragma once

#include "records/baseentity.h"
#include "records/sqlstatement.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class Database;
class ResultSet;

// Generic table access: every operation opens its own connection, runs exactly one
// statement and closes again (autocommit, no transaction, nothing cached). No
// operation raises an error: a failed query yields no rows, a failed update false;
// the failure is written to the log and kept for lastFailure(). A derived DAO supplies the SQL
// texts and the row-to-record mapping through the template operations.
class BaseDao
{
public:
    using EntityList = std::vector<std::unique_ptr<BaseEntity>>;

    // An empty path means the application's database file "Talvoren.db".
    explicit BaseDao(QString databasePath = {});
    virtual ~BaseDao() = default;

    // Column and table names match without regard to case; a missing table gives false.
    bool existColumn(const QString& columnName, const QString& table) const;
    // Runs a schema change; the outcome is only logged.
    void alterTable(const SqlStatement& statement) const;
    EntityList findAll() const;
    // The record only when exactly one row has that id.
    std::unique_ptr<BaseEntity> findById(qint64 recordId) const;
    bool insert(const BaseEntity& entity) const;
    bool update(const BaseEntity& entity) const;
    bool deleteById(qint64 recordId) const;
    bool deleteByEntity(const BaseEntity& entity) const;

    // A connection for the database file, not yet open.
    std::unique_ptr<Database> getDatabase() const;
    const QString& databasePath() const { return path; }

    // Every row through getEntity in row order; empty (never absent) on failure.
    EntityList executeFind(const SqlStatement& statement) const;
    // The first column of the first row as stored (see ResultSet::objectForColumnIndex);
    // none when there is no row or the query fails.
    std::optional<QVariant> executeFindSingleColumn(const SqlStatement& statement) const;
    bool executeUpdate(const SqlStatement& statement) const;

    // Why the last find or update of this object failed (see Database::lastFailure);
    // none after one that succeeded. Callers for which an empty answer is not good
    // enough (the duplicate test of an import) ask it.
    const std::optional<QString>& lastFailure() const { return failure; }

protected:
    // Template operations. The base returns a bare record and empty texts.
    virtual std::unique_ptr<BaseEntity> getEntity(const ResultSet& row) const;
    virtual QString getFindAllQuery() const;
    // A query with one "?" placeholder for the id.
    virtual QString getFindByIdQuery() const;
    virtual SqlStatement getInsertQuery(const BaseEntity& entity) const;
    virtual SqlStatement getUpdateQuery(const BaseEntity& entity) const;
    // A statement with one "?" placeholder for the id.
    virtual QString getDeleteQuery() const;

private:
    std::unique_ptr<Database> openDatabase() const;

    QString path;
    mutable std::optional<QString> failure;
};

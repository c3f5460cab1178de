#include "records/basedao.h"

#include "common/talvorencommon.h"
#include "records/database.h"
#include "records/resultset.h"

BaseDao::BaseDao(QString databasePath)
    : path(databasePath.isEmpty() ? TalvorenCommon::getDBFilePath() : std::move(databasePath))
{
}

std::unique_ptr<Database> BaseDao::getDatabase() const
{
    return std::make_unique<Database>(path);
}

std::unique_ptr<Database> BaseDao::openDatabase() const
{
    auto database = getDatabase();
    failure.reset();
    if (database->open())
        return database;
    failure = database->lastFailure();
    return nullptr;
}

bool BaseDao::existColumn(const QString& columnName, const QString& table) const
{
    const auto database = getDatabase();
    if (!database->open())
        return false;
    // The table name is an identifier, not a value: it cannot be bound. Doubling the
    // quotes keeps a name with a quote a name.
    const QString quotedTable = table.toLower().replace(QLatin1Char('\''), QLatin1String("''"));
    const auto rows =
        database->executeQuery(QStringLiteral("pragma table_info('%1')").arg(quotedTable));
    const QString wanted = columnName.toLower();
    bool found = false;
    while (!found && rows && rows->next())
        found =
            rows->stringForColumn(QStringLiteral("name")).value_or(QString()).toLower() == wanted;
    database->close();
    return found;
}

void BaseDao::alterTable(const SqlStatement& statement) const
{
    executeUpdate(statement);
}

BaseDao::EntityList BaseDao::findAll() const
{
    return executeFind(getFindAllQuery());
}

std::unique_ptr<BaseEntity> BaseDao::findById(qint64 recordId) const
{
    EntityList found = executeFind(SqlStatement(getFindByIdQuery(), {recordId}));
    if (found.size() != 1)
        return nullptr;
    return std::move(found.front());
}

bool BaseDao::insert(const BaseEntity& entity) const
{
    return executeUpdate(getInsertQuery(entity));
}

bool BaseDao::update(const BaseEntity& entity) const
{
    return executeUpdate(getUpdateQuery(entity));
}

bool BaseDao::deleteById(qint64 recordId) const
{
    return executeUpdate(SqlStatement(getDeleteQuery(), {recordId}));
}

bool BaseDao::deleteByEntity(const BaseEntity& entity) const
{
    return deleteById(entity.recordId());
}

BaseDao::EntityList BaseDao::executeFind(const SqlStatement& statement) const
{
    EntityList entities;
    const auto database = openDatabase();
    if (!database)
        return entities;
    const auto rows = database->executeQuery(statement);
    while (rows && rows->next())
        entities.push_back(getEntity(*rows));
    failure = database->lastFailure();
    database->close();
    return entities;
}

std::optional<QVariant> BaseDao::executeFindSingleColumn(const SqlStatement& statement) const
{
    std::optional<QVariant> value;
    const auto database = openDatabase();
    if (!database)
        return value;
    const auto rows = database->executeQuery(statement);
    if (rows && rows->next())
        value = rows->objectForColumnIndex(0);
    failure = database->lastFailure();
    database->close();
    return value;
}

bool BaseDao::executeUpdate(const SqlStatement& statement) const
{
    const auto database = openDatabase();
    if (!database)
        return false;
    const bool done = database->executeUpdate(statement);
    failure = database->lastFailure();
    database->close();
    return done;
}

std::unique_ptr<BaseEntity> BaseDao::getEntity(const ResultSet&) const
{
    return std::make_unique<BaseEntity>();
}

QString BaseDao::getFindAllQuery() const
{
    return {};
}

QString BaseDao::getFindByIdQuery() const
{
    return {};
}

SqlStatement BaseDao::getInsertQuery(const BaseEntity&) const
{
    return {};
}

SqlStatement BaseDao::getUpdateQuery(const BaseEntity&) const
{
    return {};
}

QString BaseDao::getDeleteQuery() const
{
    return {};
}

#include "recordstesthelpers.h"

#include "records/seeddatabase.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <vector>

using namespace Qt::StringLiterals;

void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}

CapturedLog::CapturedLog()
{
    testing::internal::CaptureStderr();
}

CapturedLog::~CapturedLog()
{
    text();
}

const QString& CapturedLog::text()
{
    if (capturing) {
        captured = QString::fromStdString(testing::internal::GetCapturedStderr());
        capturing = false;
    }
    return captured;
}

int CapturedLog::count(const QString& fragment)
{
    return static_cast<int>(text().count(fragment));
}

namespace {
struct Connection
{
    explicit Connection(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &handle,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            sqlite3_close(handle);
            handle = nullptr;
        }
    }
    ~Connection() { sqlite3_close(handle); }
    sqlite3* handle = nullptr;
};

QStringList pragmaRows(const QString& path, const QString& sql,
                       const std::vector<int>& columnIndexes)
{
    QStringList rows;
    Connection connection(path);
    sqlite3_stmt* statement = nullptr;
    if (connection.handle == nullptr ||
        sqlite3_prepare_v2(connection.handle, sql.toUtf8().constData(), -1, &statement, nullptr) !=
            SQLITE_OK)
        return rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList fields;
        for (int index : columnIndexes) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
            fields << (text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
        }
        rows << fields.join(QLatin1Char(' '));
    }
    sqlite3_finalize(statement);
    return rows;
}
} // namespace

bool RawDatabase::execute(const QString& path, const QString& sql)
{
    Connection connection(path);
    return connection.handle != nullptr && sqlite3_exec(connection.handle, sql.toUtf8().constData(),
                                                        nullptr, nullptr, nullptr) == SQLITE_OK;
}

QStringList RawDatabase::columns(const QString& path, const QString& table)
{
    // table_info rows: cid, name, type, notnull, dflt_value, pk.
    return pragmaRows(path, QStringLiteral("pragma table_info('%1')").arg(table), {1, 2, 3, 4});
}

QStringList RawDatabase::indexes(const QString& path, const QString& table)
{
    return pragmaRows(path, QStringLiteral("pragma index_list('%1')").arg(table), {1});
}

qint64 RawDatabase::rowCount(const QString& path)
{
    const QStringList rows =
        pragmaRows(path, QStringLiteral("select count(*) from imported_file"), {0});
    return rows.isEmpty() ? -1 : rows.first().toLongLong();
}

QStringList RawDatabase::queryPlan(const QString& path, const QString& sql)
{
    // Rows of id, parent, notused, detail.
    return pragmaRows(path, u"explain query plan "_s + sql, {3});
}

bool RawDatabase::createFirstGeneration(const QString& path)
{
    return execute(path, QStringLiteral("create table imported_file (id integer primary key, "
                                        "file_name text, camera_id text, datetime integer);"));
}

SeededDatabase::SeededDatabase() : filePath(directory.filePath(QStringLiteral("Talvoren.db")))
{
    const QString seed = SeedDatabase::seedPath();
    EXPECT_FALSE(seed.isEmpty()) << "the seed database was not built";
    EXPECT_TRUE(QFile::copy(seed, filePath));
    QFile::setPermissions(filePath, QFile::ReadOwner | QFile::WriteOwner);
}

ImportedFileEntity makeImportedFile(const QString& fileName, const QString& hashCode,
                                    qint64 datetime)
{
    ImportedFileEntity entity;
    entity.setFileName(fileName);
    entity.setCameraId(QStringLiteral("LM1234567"));
    entity.setDatetime(datetime);
    entity.setOriginalFileName(QStringLiteral("/media/card/DCIM/100LUMRA/") + fileName);
    entity.setTransferredFolder(QStringLiteral("/home/dr/Pictures/Talvoren/0001-234 Sato"));
    entity.setMirrorImageType(QStringLiteral("01"));
    entity.setDrawingFlg(QStringLiteral("00"));
    entity.setMode(QStringLiteral("0a"));
    entity.setCapturedDttm(datetime);
    entity.setHashCode(hashCode);
    return entity;
}

ExclusiveLock::ExclusiveLock(const QString& path, const char* sql)
{
    sqlite3_open(QFile::encodeName(path).constData(), &handle);
    held = sqlite3_exec(handle, "begin exclusive;", nullptr, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

ExclusiveLock::~ExclusiveLock()
{
    release();
    sqlite3_close(handle);
}

void ExclusiveLock::release()
{
    if (held)
        sqlite3_exec(handle, "commit;", nullptr, nullptr, nullptr);
    held = false;
}

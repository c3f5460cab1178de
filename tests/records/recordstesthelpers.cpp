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

bool RawDatabase::execute(const QString& path, const QString& sql,
                          int (*onRow)(void*, int, char**, char**), void* rows)
{
    sqlite3* handle = nullptr;
    const bool done =
        sqlite3_open(QFile::encodeName(path).constData(), &handle) == SQLITE_OK &&
        sqlite3_exec(handle, sql.toUtf8().constData(), onRow, rows, nullptr) == SQLITE_OK;
    sqlite3_close(handle);
    return done;
}

namespace {

QStringList pragmaRows(const QString& path, const QString& sql, std::vector<int> columnIndexes)
{
    std::pair<std::vector<int>, QStringList> rows{std::move(columnIndexes), {}};
    RawDatabase::execute(
        path, sql,
        [](void* data, int, char** values, char**) {
            auto& [columns, found] = *static_cast<decltype(rows)*>(data);
            QStringList fields;
            for (int index : columns)
                fields << (values[index] ? QString::fromUtf8(values[index]) : u"NULL"_s);
            found << fields.join(u' ');
            return 0;
        },
        &rows);
    return rows.second;
}
} // namespace

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
    const QStringList rows = pragmaRows(path, u"select count(*) from imported_file"_s, {0});
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

QList<ImportedFileEntity> findDuplicate(const ImportedFileDao& dao, const ImportedFileEntity& like,
                                        const QString& fileName)
{
    return dao.findByLikeFileName(fileName.isNull() ? like.fileName() : fileName, like.cameraId(),
                                  like.mirrorImageType(), like.drawingFlg(), like.mode(),
                                  like.hashCode());
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

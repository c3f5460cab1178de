#include "records/importhistory.h"

#include "records/database.h"
#include "records/resultset.h"

#include <QVariant>

namespace {
// A LIKE pattern that matches the text itself: "\" escapes "%", "_" and itself.
QString literalPattern(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('%'), QLatin1String("\\%"));
    text.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return text;
}
} // namespace

QList<ImportedFileEntity> ImportHistory::find(const Filter& filter) const
{
    QString sql = QStringLiteral(
        "select id, file_name, camera_id, datetime, original_file_name, transferred_folder, "
        "mirror_image_type, drawing_flg, mode, captured_dttm, hash_code from imported_file "
        "where 1");
    QVariantList values;
    if (!filter.patient.isEmpty()) {
        sql += QStringLiteral(" and transferred_folder like ? escape '\\'");
        values << QStringLiteral("%%1%").arg(literalPattern(filter.patient));
    }
    if (filter.since) {
        sql += QStringLiteral(" and datetime >= ?");
        values << filter.since->toString(QStringLiteral("yyyyMMdd000000")).toLongLong();
    }
    if (!filter.original.isEmpty()) {
        sql += QStringLiteral(" and (original_file_name = ? or original_file_name like ? "
                              "escape '\\')");
        values << filter.original << QStringLiteral("%/") + literalPattern(filter.original);
    }
    sql += QStringLiteral(" order by id desc");
    if (filter.limit > 0) {
        sql += QStringLiteral(" limit ?");
        values << filter.limit;
    }
    QList<ImportedFileEntity> files;
    for (const auto& entity : executeFind(SqlStatement(sql + QLatin1Char(';'), values)))
        files.append(dynamic_cast<const ImportedFileEntity&>(*entity));
    return files;
}

QList<ImportedFileEntity> ImportHistory::recent(int count) const
{
    Filter filter;
    filter.limit = count;
    return find(filter);
}

QStringList ImportHistory::hashesOfLikeFileName(const QString& fileName, const QString& cameraId,
                                                const QString& mirrorImageType,
                                                const QString& drawingFlg,
                                                const QString& mode) const
{
    QStringList hashes;
    std::unique_ptr<Database> database = getDatabase();
    // Same conditions as the import's duplicate test, the hash left out.
    const SqlStatement statement(
        QStringLiteral("select hash_code from imported_file where file_name like '%' || ? and "
                       "camera_id = ? and mirror_image_type = ? and drawing_flg = ? and mode = ?;"),
        {fileName, cameraId, mirrorImageType, drawingFlg, mode});
    if (!database->open())
        return hashes;
    if (std::unique_ptr<ResultSet> rows = database->executeQuery(statement)) {
        while (rows->next())
            hashes.append(rows->objectForColumnIndex(0).toString());
    }
    database->close();
    return hashes;
}

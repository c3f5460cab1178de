#include "records/importedfiledao.h"

#include "common/log.h"
#include "records/resultset.h"

#include <QRegularExpression>

namespace {
const QString selectColumns = QStringLiteral(
    "select id, file_name, camera_id, datetime, original_file_name, transferred_folder, "
    "mirror_image_type, drawing_flg, mode, captured_dttm, hash_code from imported_file");

const ImportedFileEntity& asImportedFile(const BaseEntity& entity)
{
    return dynamic_cast<const ImportedFileEntity&>(entity);
}

// The ten stored values in column order, from file_name to hash_code.
QVariantList columnValues(const ImportedFileEntity& entity)
{
    return {entity.fileName(),          entity.cameraId(),
            entity.datetime(),          entity.originalFileName(),
            entity.transferredFolder(), entity.mirrorImageType(),
            entity.drawingFlg(),        entity.mode(),
            entity.capturedDttm(),      entity.hashCode()};
}
} // namespace

QList<ImportedFileEntity> ImportedFileDao::findImportedFiles(const SqlStatement& statement) const
{
    QList<ImportedFileEntity> files;
    for (const auto& entity : executeFind(statement))
        files.append(asImportedFile(*entity));
    return files;
}

QList<ImportedFileEntity> ImportedFileDao::findAllImportedFiles() const
{
    return findImportedFiles(getFindAllQuery());
}

std::optional<ImportedFileEntity> ImportedFileDao::findImportedFileById(qint64 recordId) const
{
    const auto entity = findById(recordId);
    if (!entity)
        return std::nullopt;
    return asImportedFile(*entity);
}

QList<ImportedFileEntity> ImportedFileDao::findByFileNameCameraId(const QString& fileName,
                                                                  const QString& cameraId) const
{
    return findImportedFiles(
        SqlStatement(selectColumns + QStringLiteral(" where file_name = ? and camera_id = ? "
                                                    "order by id;"),
                     {fileName, cameraId}));
}

QList<ImportedFileEntity> ImportedFileDao::findByLikeFileNameCameraId(const QString& fileName,
                                                                      const QString& cameraId) const
{
    // The pattern is "%/" followed by the name; the name's own "_" and "%" stay wildcards.
    return findImportedFiles(SqlStatement(
        selectColumns +
            QStringLiteral(" where file_name like '%/' || ? and camera_id = ? order by id;"),
        {fileName, cameraId}));
}

QList<ImportedFileEntity>
ImportedFileDao::findByLikeFileName(const QString& fileName, const QString& cameraId,
                                    const QString& mirrorImageType, const QString& drawingFlg,
                                    const QString& mode, const QString& hashCode) const
{
    return findBySuffixAndPicture(fileName,
                                  {cameraId, mirrorImageType, drawingFlg, mode, hashCode});
}

QList<ImportedFileEntity>
ImportedFileDao::findBySuffixAndPicture(const QString& suffix,
                                        const QVariantList& pictureColumns) const
{
    // The pattern is "%" followed by the suffix: ASCII case-insensitive, with the
    // suffix's own "_" and "%" acting as wildcards. The equality on hash_code lets
    // SQLite find the few candidate rows through its index.
    return findImportedFiles(SqlStatement(
        selectColumns + QStringLiteral(" where file_name like '%' || ? and camera_id = ? and "
                                       "mirror_image_type = ? and drawing_flg = ? and mode = ? "
                                       "and hash_code = ? order by id;"),
        QVariantList{suffix} + pictureColumns));
}

QList<ImportedFileEntity> ImportedFileDao::findByLikeFileNameOrNumbered(
    const QString& fileName, const QString& cameraId, const QString& mirrorImageType,
    const QString& drawingFlg, const QString& mode, const QString& hashCode) const
{
    const QVariantList pictureColumns{cameraId, mirrorImageType, drawingFlg, mode, hashCode};
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return findBySuffixAndPicture(fileName, pictureColumns);
    // The name without its own collision number, then with any number.
    static const QRegularExpression numberedStem(QStringLiteral("^(.+)\\(\\d+\\)$"));
    QString stem = fileName.left(dot);
    if (const QRegularExpressionMatch match = numberedStem.match(stem); match.hasMatch())
        stem = match.captured(1);
    const QString extension = fileName.mid(dot);
    QList<ImportedFileEntity> found = findBySuffixAndPicture(stem + extension, pictureColumns);
    const QRegularExpression numbered(QStringLiteral("\\(\\d+\\)") +
                                          QRegularExpression::escape(extension) + QLatin1Char('$'),
                                      QRegularExpression::CaseInsensitiveOption);
    for (const ImportedFileEntity& candidate :
         findBySuffixAndPicture(stem + QStringLiteral("(%)") + extension, pictureColumns)) {
        if (numbered.match(candidate.fileName()).hasMatch())
            found.append(candidate);
    }
    return found;
}

QList<ImportedFileEntity> ImportedFileDao::findByFileName(const QString& fileName) const
{
    return findImportedFiles(SqlStatement(
        selectColumns + QStringLiteral(" where file_name = ? order by id;"), {fileName}));
}

bool ImportedFileDao::deleteBeforeDatetime(qint64 datetime) const
{
    return executeUpdate(
        SqlStatement(QStringLiteral("delete from imported_file where datetime <= ?;"), {datetime}));
}

void ImportedFileDao::addColumn(const QString& columnName, const QString& type, bool notnull,
                                const QString& defaultValue) const
{
    QString sql =
        QStringLiteral("alter table imported_file add column %1 %2 ").arg(columnName, type);
    if (notnull)
        sql += QStringLiteral("not null default %1 ").arg(defaultValue);
    sql += QLatin1Char(';');
    alterTable(sql);
}

bool ImportedFileDao::ensureHashCodeIndex() const
{
    const QString indexName = QString::fromLatin1(hashCodeIndexName);
    const auto hasIndex = [&] {
        const auto count = executeFindSingleColumn(SqlStatement(
            QStringLiteral("select count(*) from sqlite_master where type = 'index' and name = ?;"),
            {indexName}));
        return count && count->toLongLong() > 0;
    };
    if (hasIndex())
        return true;
    if (!existColumn(QStringLiteral("hash_code"), QStringLiteral("imported_file")))
        return false;
    return executeUpdate(
        QStringLiteral("create index if not exists %1 on imported_file (hash_code);")
            .arg(indexName));
}

bool ImportedFileDao::registerImportedFile(const QString& fileName, const QString& cameraId,
                                           qint64 datetime, const QString& originalFileName,
                                           const QString& transferredFolder,
                                           const QString& mirrorImageType,
                                           const QString& drawingFlg, const QString& mode,
                                           qint64 capturedDttm, const QString& hashCode,
                                           const QString& databasePath)
{
    ImportedFileEntity entity;
    entity.setFileName(fileName);
    entity.setCameraId(cameraId);
    entity.setDatetime(datetime);
    entity.setOriginalFileName(originalFileName);
    entity.setTransferredFolder(transferredFolder);
    entity.setMirrorImageType(mirrorImageType);
    entity.setDrawingFlg(drawingFlg);
    entity.setMode(mode);
    entity.setCapturedDttm(capturedDttm);
    entity.setHashCode(hashCode);
    const bool inserted = ImportedFileDao(databasePath).insert(entity);
    Log::info(QStringLiteral("取込リストに情報を追加しました。(FileNm=%1 CapturedDttm=%2)")
                  .arg(fileName)
                  .arg(capturedDttm));
    return inserted;
}

std::unique_ptr<BaseEntity> ImportedFileDao::getEntity(const ResultSet& row) const
{
    auto entity = std::make_unique<ImportedFileEntity>();
    const auto text = [&row](const char* column) {
        return row.stringForColumn(QString::fromLatin1(column)).value_or(QString());
    };
    entity->setRecordId(row.longLongIntForColumn(QStringLiteral("id")));
    entity->setFileName(text("file_name"));
    entity->setCameraId(text("camera_id"));
    entity->setDatetime(row.longLongIntForColumn(QStringLiteral("datetime")));
    entity->setOriginalFileName(text("original_file_name"));
    entity->setTransferredFolder(text("transferred_folder"));
    entity->setMirrorImageType(text("mirror_image_type"));
    entity->setDrawingFlg(text("drawing_flg"));
    entity->setMode(text("mode"));
    entity->setCapturedDttm(row.longLongIntForColumn(QStringLiteral("captured_dttm")));
    entity->setHashCode(text("hash_code"));
    return entity;
}

QString ImportedFileDao::getFindAllQuery() const
{
    return selectColumns + QStringLiteral(" order by id;");
}

QString ImportedFileDao::getFindByIdQuery() const
{
    return selectColumns + QStringLiteral(" where id = ?;");
}

SqlStatement ImportedFileDao::getInsertQuery(const BaseEntity& entity) const
{
    const auto* file = dynamic_cast<const ImportedFileEntity*>(&entity);
    if (file == nullptr)
        return {};
    return SqlStatement(
        QStringLiteral("insert into imported_file (file_name, camera_id, datetime, "
                       "original_file_name, transferred_folder, mirror_image_type, drawing_flg, "
                       "mode, captured_dttm, hash_code) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);"),
        columnValues(*file));
}

SqlStatement ImportedFileDao::getUpdateQuery(const BaseEntity& entity) const
{
    const auto* file = dynamic_cast<const ImportedFileEntity*>(&entity);
    if (file == nullptr)
        return {};
    QVariantList values = columnValues(*file);
    values.append(entity.recordId());
    return SqlStatement(
        QStringLiteral("update imported_file set file_name = ?, camera_id = ?, datetime = ?, "
                       "original_file_name = ?, transferred_folder = ?, mirror_image_type = ?, "
                       "drawing_flg = ?, mode = ?, captured_dttm = ?, hash_code = ? where id = ?;"),
        values);
}

QString ImportedFileDao::getDeleteQuery() const
{
    return QStringLiteral("delete from imported_file where id = ?;");
}

#pragma once

#include "records/basedao.h"
#include "records/importedfileentity.h"

#include <QList>
#include <QString>

// Access to the imported_file table. Every value is bound as a parameter; the file
// name conditions are LIKE patterns (suffix match, ASCII letters without regard to
// case, "_" and "%" in the given name acting as wildcards), every other condition
// is an exact comparison. Objects are made for one use and hold no state.
class ImportedFileDao : public BaseDao
{
public:
    using BaseDao::BaseDao;

    static constexpr const char* hashCodeIndexName = "imported_file_hash_code_index";

    QList<ImportedFileEntity> findByFileNameCameraId(const QString& fileName,
                                                     const QString& cameraId) const;
    // Names ending in "/" followed by the given name.
    QList<ImportedFileEntity> findByLikeFileNameCameraId(const QString& fileName,
                                                         const QString& cameraId) const;
    // The duplicate test of the import: names ending with the given name whose camera,
    // flip direction, draw flag, shooting mode and SHA-1 are equal. A failed query
    // gives an empty list (the file then counts as not yet imported).
    QList<ImportedFileEntity> findByLikeFileName(const QString& fileName, const QString& cameraId,
                                                 const QString& mirrorImageType,
                                                 const QString& drawingFlg, const QString& mode,
                                                 const QString& hashCode) const;
    // The same test, blind to collision numbers: the picture recorded as "name.JPG",
    // "name(2).JPG" or "name(3).JPG" is found under any of them. The number comes from
    // what else stood in a folder when it was staged or filed, not from the picture.
    QList<ImportedFileEntity>
    findByLikeFileNameOrNumbered(const QString& fileName, const QString& cameraId,
                                 const QString& mirrorImageType, const QString& drawingFlg,
                                 const QString& mode, const QString& hashCode) const;
    // Rows whose name is exactly the given one, oldest first.
    QList<ImportedFileEntity> findByFileName(const QString& fileName) const;
    // Deletes every row whose datetime is at or before the yyyyMMddHHmmss number.
    bool deleteBeforeDatetime(qint64 datetime) const;
    // "alter table imported_file add column <name> <type> [not null default <default>] ;"
    // The default is an SQL literal; the outcome is only logged.
    void addColumn(const QString& columnName, const QString& type, bool notnull,
                   const QString& defaultValue) const;
    // Creates the index on hash_code when the table has the column and lacks the
    // index, so the duplicate test narrows by the hash before matching the name.
    // True when the index exists afterwards.
    bool ensureHashCodeIndex() const;

    // Records one imported file (a new row from the ten values, in this order) and
    // writes the info line whatever the insert returned. Returns the insert's result.
    static bool registerImportedFile(const QString& fileName, const QString& cameraId,
                                     qint64 datetime, const QString& originalFileName,
                                     const QString& transferredFolder,
                                     const QString& mirrorImageType, const QString& drawingFlg,
                                     const QString& mode, qint64 capturedDttm,
                                     const QString& hashCode, const QString& databasePath = {});

    // Typed views of the generic finds.
    QList<ImportedFileEntity> findAllImportedFiles() const;
    std::optional<ImportedFileEntity> findImportedFileById(qint64 recordId) const;

protected:
    std::unique_ptr<BaseEntity> getEntity(const ResultSet& row) const override;
    QString getFindAllQuery() const override;
    QString getFindByIdQuery() const override;
    SqlStatement getInsertQuery(const BaseEntity& entity) const override;
    SqlStatement getUpdateQuery(const BaseEntity& entity) const override;
    QString getDeleteQuery() const override;

private:
    QList<ImportedFileEntity> findImportedFiles(const SqlStatement& statement) const;
    // Names ending with the LIKE suffix whose camera_id, mirror_image_type,
    // drawing_flg, mode and hash_code equal the five values, in that order.
    QList<ImportedFileEntity> findBySuffixAndPicture(const QString& suffix,
                                                     const QVariantList& pictureColumns) const;
};

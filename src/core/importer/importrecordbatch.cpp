#include "importer/importrecordbatch.h"

#include "common/log.h"
#include "records/database.h"

std::optional<QString> ImportRecordBatch::commit()
{
    if (pending.isEmpty())
        return std::nullopt;
    const QList<ImportedFileEntity> records = std::exchange(pending, {});
    const std::unique_ptr<Database> database = getDatabase();
    const bool began =
        database->open() && database->executeUpdate(QStringLiteral("begin immediate;"));
    bool allInserted = began;
    for (const ImportedFileEntity& record : records) {
        if (allInserted)
            allInserted = database->executeUpdate(getInsertQuery(record));
    }
    QList<ImportedFileEntity> written;
    std::optional<QString> failure;
    if (allInserted && database->executeUpdate(QStringLiteral("commit;"))) {
        written = records;
    } else {
        // The database could not be locked, or a row failed: each row goes alone, and
        // the first one that cannot be written is the run's failure.
        if (began)
            database->executeUpdate(QStringLiteral("rollback;"));
        database->close();
        for (const ImportedFileEntity& record : records) {
            if (insert(record))
                written.append(record);
            else if (!failure)
                failure = lastFailure().value_or(
                    QStringLiteral("The import of \"%1\" could not be recorded")
                        .arg(record.originalFileName()));
        }
    }
    database->close();
    for (const ImportedFileEntity& record : written)
        Log::info(QStringLiteral("取込リストに情報を追加しました。(FileNm=%1 CapturedDttm=%2)")
                      .arg(record.fileName(), QString::number(record.capturedDttm())));
    return failure;
}

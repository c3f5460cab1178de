#include "importer/importrecordbatch.h"

#include "common/log.h"
#include "records/database.h"

void ImportRecordBatch::commit()
{
    if (pending.isEmpty())
        return;
    const QList<ImportedFileEntity> records = std::exchange(pending, {});
    const std::unique_ptr<Database> database = getDatabase();
    const bool inTransaction =
        database->open() && database->executeUpdate(QStringLiteral("begin immediate;"));
    for (const ImportedFileEntity& record : records) {
        // Without a transaction (the database could not be locked) each row goes alone.
        if (inTransaction)
            database->executeUpdate(getInsertQuery(record));
        else
            insert(record);
    }
    if (inTransaction && !database->executeUpdate(QStringLiteral("commit;"))) {
        database->executeUpdate(QStringLiteral("rollback;"));
        database->close();
        for (const ImportedFileEntity& record : records)
            insert(record);
    }
    database->close();
    for (const ImportedFileEntity& record : records)
        Log::info(QStringLiteral("取込リストに情報を追加しました。(FileNm=%1 CapturedDttm=%2)")
                      .arg(record.fileName(), QString::number(record.capturedDttm())));
}

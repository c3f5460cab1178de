#include "importer/importrecords.h"

#include "common/log.h"
#include "importer/copyfailedexception.h"
#include "records/database.h"
#include "records/resultset.h"

#include <QDir>

ImportRecords::ImportRecords() = default;
ImportRecords::~ImportRecords() = default;

void ImportRecords::beginRun()
{
    insideRun = true;
}

void ImportRecords::endRun()
{
    insideRun = false;
    runConnection.reset();
}

bool ImportRecords::execute(const SqlStatement& statement)
{
    // The connection opens with the run's first record: a run that records nothing
    // never touches the database.
    if (insideRun && !runConnection) {
        runConnection = getDatabase();
        if (!runConnection->open())
            insideRun = false;
    }
    return insideRun ? runConnection->executeUpdate(statement) : executeUpdate(statement);
}

void ImportRecords::add(const ImportedFileEntity& record)
{
    // Without its record the picture could be filed a second time: the run fails.
    if (!execute(getInsertQuery(record)))
        throw CopyFailedException(
            (runConnection ? runConnection->lastFailure() : lastFailure())
                .value_or(QStringLiteral("The import of \"%1\" could not be recorded")
                              .arg(record.originalFileName())));
    Log::info(QStringLiteral("取込リストに情報を追加しました。(FileNm=%1 CapturedDttm=%2)")
                  .arg(record.fileName(), QString::number(record.capturedDttm())));
}

void ImportRecords::renameFiled(const QString& destinationFolder, const QString& stagedName,
                                const QString& filedName)
{
    // The folder is compared cleaned: the setting may carry a trailing or doubled "/".
    const QString folder = QDir::cleanPath(destinationFolder);
    qint64 latest = -1;
    for (const ImportedFileEntity& record : findByFileName(stagedName)) {
        if (QDir::cleanPath(record.transferredFolder()) == folder)
            latest = std::max(latest, record.recordId());
    }
    if (latest < 0)
        return;
    if (execute(SqlStatement(QStringLiteral("update imported_file set file_name = ? where id = ?;"),
                             {filedName, latest})))
        Log::info(QStringLiteral("Record of \"%1/%2\" renamed to \"%3\"")
                      .arg(folder, stagedName, filedName));
}

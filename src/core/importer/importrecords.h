#pragma once

#include "records/importedfiledao.h"
#include "records/importedfileentity.h"

#include <QString>
#include <memory>

class Database;

// The imported-file records of an outermost import run. Each record is committed the
// moment the picture is staged (its own statement, its own commit), so a run that
// is killed keeps the records of every picture it staged, and a picture met again
// later in the same run, in another top folder, is found by the duplicate test.
//
// The run holds one connection for its length: with the write-ahead log the
// commits then cost no flush each, and the log is checkpointed once, when the run
// ends and the connection closes.
class ImportRecords : private ImportedFileDao
{
public:
    ImportRecords();
    ~ImportRecords();

    // Opens the run's connection (outermost run start) and closes it (run end).
    void beginRun();
    void endRun();

    // Inserts and commits the record and writes its info line; throws
    // CopyFailedException with the database's words when the record is not written.
    void add(const ImportedFileEntity& record);
    // The final filing gave the staged file another name in its destination folder:
    // the latest record of that folder and staged name is renamed to match the file.
    void renameFiled(const QString& destinationFolder, const QString& stagedName,
                     const QString& filedName);

private:
    bool execute(const SqlStatement& statement);

    bool insideRun = false;
    std::unique_ptr<Database> runConnection;
};

#pragma once

#include "records/importedfiledao.h"
#include "records/importedfileentity.h"

#include <QList>
#include <QString>
#include <optional>

// The imported-file records of one outermost import run, written together when the
// run ends (also when it fails). Every insert on its own is a durable commit that
// costs several disk flushes, more than copying the picture; one transaction per run
// costs them once. A run that is killed loses its records but none of its pictures:
// the staging and the final filing recognise a picture that is staged or filed
// already by its content.
class ImportRecordBatch : private ImportedFileDao
{
public:
    void add(const ImportedFileEntity& record) { pending.append(record); }
    bool isEmpty() const { return pending.isEmpty(); }
    // Inserts every pending record in one transaction and writes the info line of
    // each record written; the batch is empty afterwards. Returns why a record could
    // not be written (the database's own words), none when all were.
    std::optional<QString> commit();

private:
    QList<ImportedFileEntity> pending;
};

#pragma once

#include <QString>
#include <QtGlobal>

// Brings the imported_file table of an older installation up to date, given the
// build number that installation last ran. Runs once, on the first start of a
// newer build. Columns are added without testing for them first: an "alter table"
// that fails because the column exists is logged and otherwise ignored.
class ImportedFileTableUpgrade
{
public:
    // Before build 9: original_file_name, transferred_folder. Before build 11:
    // mirror_image_type, drawing_flg, mode, captured_dttm, hash_code. Each step
    // writes its "### version up ###" lines. Afterwards the hash_code index is
    // created when missing.
    static void updateDatabase(qint64 lastBuildNumber, const QString& databasePath = {});
};

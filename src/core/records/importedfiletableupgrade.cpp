#include "records/importedfiletableupgrade.h"

#include "common/log.h"
#include "records/importedfiledao.h"

void ImportedFileTableUpgrade::updateDatabase(qint64 lastBuildNumber, const QString& databasePath)
{
    const QString text = QStringLiteral("text");
    const QString emptyText = QStringLiteral("''");
    if (lastBuildNumber < 9) {
        const ImportedFileDao dao(databasePath);
        dao.addColumn(QStringLiteral("original_file_name"), text, true, emptyText);
        dao.addColumn(QStringLiteral("transferred_folder"), text, true, emptyText);
        Log::info(QStringLiteral("### version up ### Alter table that check for duplicate."));
        Log::info(QStringLiteral("### version up ### Add column original_file_name."));
        Log::info(QStringLiteral("### version up ### Add column transferred_folder."));
    }
    if (lastBuildNumber < 11) {
        const ImportedFileDao dao(databasePath);
        dao.addColumn(QStringLiteral("mirror_image_type"), text, true, emptyText);
        dao.addColumn(QStringLiteral("drawing_flg"), text, true, emptyText);
        dao.addColumn(QStringLiteral("mode"), text, true, emptyText);
        dao.addColumn(QStringLiteral("captured_dttm"), QStringLiteral("integer"), true,
                      QStringLiteral("0"));
        dao.addColumn(QStringLiteral("hash_code"), text, true, emptyText);
        Log::info(QStringLiteral(
            "### version up ### Alter table that check for duplicate, second time."));
        Log::info(QStringLiteral("### version up ### Add column mirror_image_type."));
        Log::info(QStringLiteral("### version up ### Add column drawing_flg."));
        Log::info(QStringLiteral("### version up ### Add column mode."));
        Log::info(QStringLiteral("### version up ### Add column captured_dttm."));
        Log::info(QStringLiteral("### version up ### Add column hash_code."));
    }
    ImportedFileDao(databasePath).ensureHashCodeIndex();
}

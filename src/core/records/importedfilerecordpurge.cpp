#include "records/importedfilerecordpurge.h"

#include "common/talvorencommon.h"
#include "records/importedfiledao.h"

std::optional<QString>
ImportedFileRecordPurge::deleteImportedFileRecordIfDue(const QString& lastPurgeDatetime,
                                                       double intervalSeconds, const QDateTime& now,
                                                       const QString& databasePath)
{
    const std::optional<QDateTime> lastPurge = TalvorenCommon::stringToDate(lastPurgeDatetime);
    if (!lastPurge)
        return std::nullopt;
    const double elapsedSeconds = static_cast<double>(lastPurge->msecsTo(now)) / 1000.0;
    if (!(elapsedSeconds > intervalSeconds))
        return std::nullopt;
    ImportedFileDao(databasePath)
        .deleteBeforeDatetime(TalvorenCommon::dateToString(*lastPurge).toLongLong());
    return TalvorenCommon::dateToString(now);
}

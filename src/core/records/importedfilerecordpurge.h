#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// The hourly purge of old imported-file records. The caller reads the two
// settings, calls this, and stores the returned time as the new "last delete
// imported file record datetime" when one is returned.
class ImportedFileRecordPurge
{
public:
    // When more than intervalSeconds have passed since lastPurgeDatetime
    // ("yyyyMMddHHmmss"), deletes every record whose datetime is at or before that
    // time and returns `now` as "yyyyMMddHHmmss" (also when the delete failed).
    // A missing or unreadable last time counts as no time elapsed: nothing happens.
    static std::optional<QString> deleteImportedFileRecordIfDue(const QString& lastPurgeDatetime,
                                                                double intervalSeconds,
                                                                const QDateTime& now,
                                                                const QString& databasePath = {});
};

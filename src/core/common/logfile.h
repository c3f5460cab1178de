#pragma once

#include <QDateTime>
#include <QString>

// The daily log file: standard error redirected onto "yyyyMMdd.log" in the log
// folder, rotated at local midnight, and old files purged by creation date.
// Every time-dependent operation takes "now" so that tests can move the clock.
class LogFile
{
public:
    static constexpr int defaultKeepDays = 30;

    static QString fileName(const QDate& day);
    // The folder (created when missing) joined with the day's file name; empty
    // when the folder is empty.
    static QString pathFor(const QString& folder, const QDateTime& now);
    // Re-opens standard error onto the path in "a+" mode; closes an earlier one.
    static bool redirectStandardError(const QString& path);
    static bool isRedirected();
    static void close();

    // Deletes every entry of the folder created before now minus keepDays days
    // (30 when keepDays is 0 or less). Returns how many were deleted.
    static int purge(const QString& folder, qint64 keepDays, const QDateTime& now);
    // The creation time of a path: birth time where the file system keeps one,
    // else the status-change time.
    static QDateTime creationTime(const QString& path);
};

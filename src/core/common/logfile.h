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
    // Points standard error at the path, opened for appending and reading ("a+");
    // an earlier day's file is closed. When the file cannot be opened standard error
    // stays where it was, and says so in one line (once, until a redirection works
    // again): the messages must not vanish with the log folder.
    static bool redirectStandardError(const QString& path);
    // Why the last redirection failed, as a sentence for the user; empty after one
    // that worked.
    static QString failureMessage();
    static bool isRedirected();
    static void close();

    // Deletes every entry of the folder created before now minus keepDays days
    // (30 when keepDays is 0 or less). Returns how many were deleted.
    static int purge(const QString& folder, qint64 keepDays, const QDateTime& now);
    // The creation time of a path: birth time where the file system keeps one,
    // else the status-change time.
    static QDateTime creationTime(const QString& path);
};

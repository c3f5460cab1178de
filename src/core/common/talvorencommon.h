#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <chrono>
#include <optional>

// Stateless utilities used everywhere: the application's folders and files,
// 14-digit local date-times, the digit test, hexadecimal text, SHA-1 of a file
// and the blocking HTTP download.
class TalvorenCommon
{
public:
    // Paths. The application data folder is created whenever it is asked for.
    static QString getApplicationDataDirectory();
    static QString getApplicationWorkDirectory();
    static QString getDocumentDirectory();
    static QString getPicturesDirectory();
    static QString getMoviesDirectory();
    static QString getUserSettingPlistFilePath();
    static QString getOldUserSettingPlistFilePath();
    static QString getDBFilePath();
    static QString getVersionNubmer();
    static int buildNumber();

    // "yyyyMMddHHmmss" in local time.
    static QString getNowDatabaseDatetime();
    static std::optional<QDateTime> stringToDate(const QString& text);
    static QString dateToString(const QDateTime& date);

    static bool isDigit(const QString& text);
    static QString toHexString(const QByteArray& bytes);
    // SHA-1 of the file's contents as 40 lower-case hex digits, read in chunks so
    // that a movie of gigabytes needs no more memory than a photo.
    static std::optional<QString> sha1Hash(const QString& path);
    static bool hasTimestamp(const QString& fileName);

    static constexpr std::chrono::milliseconds httpTimeout{30000};
    // One GET, no cache. The body comes back whatever the HTTP status; none on a
    // transport failure or when the limit passes. Waits in a local event loop so
    // the windows keep painting.
    static std::optional<QByteArray>
    getNetworkFileByHttp(const QString& url, std::chrono::milliseconds timeout = httpTimeout);
};

#include "common/logfile.h"

#include "common/log.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
bool redirected = false;
QString lastFailure;
} // namespace

QString LogFile::fileName(const QDate& day)
{
    return QStringLiteral("%1.log").arg(day.toString(QStringLiteral("yyyyMMdd")));
}

QString LogFile::pathFor(const QString& folder, const QDateTime& now)
{
    if (folder.isEmpty())
        return {};
    if (!QFileInfo::exists(folder))
        QDir().mkpath(folder);
    return QDir(folder).filePath(fileName(now.date()));
}

bool LogFile::redirectStandardError(const QString& path)
{
    if (path.isEmpty())
        return false;
    // Opened first and then put in place: freopen would close standard error before
    // it knows whether the new file opens, and a failure would leave no stream at all.
    const int file =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (file >= 0) {
        std::fflush(stderr);
        const bool placed = ::dup2(file, STDERR_FILENO) >= 0;
        const int placeError = errno;
        ::close(file);
        errno = placeError;
        if (placed) {
            lastFailure.clear();
            redirected = true;
            return true;
        }
    }
    const bool alreadySaid = !lastFailure.isEmpty();
    lastFailure = QStringLiteral("The log file %1 cannot be written (%2): messages go to standard "
                                 "error instead. Check the log folder (\"def log\").")
                      .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!alreadySaid)
        Log::error(lastFailure);
    return false;
}

QString LogFile::failureMessage()
{
    return lastFailure;
}

bool LogFile::isRedirected()
{
    return redirected;
}

void LogFile::close()
{
    if (redirected)
        std::fflush(stderr);
}

QDateTime LogFile::creationTime(const QString& path)
{
    const QFileInfo info(path);
    const QDateTime birth = info.birthTime();
    return birth.isValid() ? birth : info.metadataChangeTime();
}

int LogFile::purge(const QString& folder, qint64 keepDays, const QDateTime& now)
{
    if (keepDays <= 0)
        keepDays = defaultKeepDays;
    // 64-bit seconds: a large "keep days" value must never wrap into a near limit.
    const qint64 keepSeconds = keepDays > INT64_MAX / 86400 ? INT64_MAX : keepDays * 86400;
    const qint64 nowSeconds = now.toSecsSinceEpoch();
    int deleted = 0;
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        const QDateTime created = creationTime(path);
        if (!created.isValid())
            continue;
        const qint64 age = nowSeconds - created.toSecsSinceEpoch();
        if (age <= keepSeconds)
            continue;
        const QFileInfo info(path);
        const bool removed = info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively()
                                                               : QFile::remove(path);
        if (removed)
            ++deleted;
    }
    return deleted;
}

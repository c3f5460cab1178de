#include "common/logfile.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {
bool redirected = false;
}

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
    // freopen closes the stream it replaces, so the previous day's file is closed here.
    if (std::freopen(QFile::encodeName(path).constData(), "a+", stderr) == nullptr)
        return false;
    redirected = true;
    return true;
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

qint64 LogFile::msecsToNextMidnight(const QDateTime& now)
{
    const QDateTime midnight(now.date().addDays(1), QTime(0, 0), now.timeSpec());
    return std::max<qint64>(0, now.msecsTo(midnight));
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

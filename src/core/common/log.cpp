#include "common/log.h"

#include <QDateTime>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
std::mutex writeMutex;

void writeLine(const char* level, const QString& message)
{
    const QByteArray line =
        QStringLiteral("%1 %2[%3:%4] [%5]: %6\n")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
                 QString::fromLocal8Bit(program_invocation_short_name))
            .arg(getpid())
            .arg(static_cast<long>(syscall(SYS_gettid)))
            .arg(QLatin1String(level), message)
            .toUtf8();
    // One write per line keeps lines whole even when several threads log.
    const std::lock_guard lock(writeMutex);
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}
} // namespace

void Log::info(const QString& message)
{
    writeLine("info", message);
}

void Log::debug(const QString& message)
{
    writeLine("debug", message);
}

void Log::error(const QString& message)
{
    writeLine("error", message);
}

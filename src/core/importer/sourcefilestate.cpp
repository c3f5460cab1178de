#include "importer/sourcefilestate.h"

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

std::optional<SourceFileState> SourceFileState::of(const QString& path)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    SourceFileState state;
    state.bytes = status.st_size;
    state.modified = status.st_mtim;
    return state;
}

bool SourceFileState::isGone(const QString& path)
{
    struct stat status
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &status) != 0 &&
           (errno == ENOENT || errno == ENOTDIR || errno == EIO || errno == ENODEV ||
            errno == ENXIO);
}

bool SourceFileState::isSettled() const
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const qint64 ageMilliseconds = (static_cast<qint64>(now.tv_sec) - modified.tv_sec) * 1000 +
                                   (now.tv_nsec - modified.tv_nsec) / 1000000;
    return std::llabs(ageMilliseconds) >= settleMilliseconds;
}

bool SourceFileState::operator==(const SourceFileState& other) const
{
    return bytes == other.bytes && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
}

#include "platform/noreplacerename.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool isUnsupported(int code)
{
    return code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == EPERM;
}

// Claims the name with something only this caller can have created (an empty
// folder for a folder, an empty file for a file), then renames over that claim.
int renameOverOwnClaim(const QByteArray& from, const QByteArray& to)
{
    struct stat status
    {
    };
    if (::lstat(from.constData(), &status) != 0)
        return -1;
    const bool isFolder = S_ISDIR(status.st_mode);
    if (isFolder) {
        if (::mkdir(to.constData(), 0700) != 0)
            return -1;
    } else {
        const int claim = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (claim < 0)
            return -1;
        ::close(claim);
    }
    if (::rename(from.constData(), to.constData()) == 0)
        return 0;
    const int code = errno;
    if (isFolder)
        ::rmdir(to.constData());
    else
        ::unlink(to.constData());
    errno = code;
    return -1;
}
} // namespace

int renameWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return -1;
    if (::link(from.constData(), to.constData()) == 0) {
        // Should the old name stay, the content stands under both names: nothing is lost,
        // and the next filing finds it filed already.
        ::unlink(from.constData());
        return 0;
    }
    if (!isUnsupported(errno) && errno != EMLINK)
        return -1;
    return renameOverOwnClaim(from, to);
}

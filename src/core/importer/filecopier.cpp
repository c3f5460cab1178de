#include "filecopier.h"

#include "platform/filecontentcopy.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd; }
    bool isOpen() const { return fd >= 0; }
    // Closes now so that a failing close is seen.
    bool close()
    {
        const int result = ::close(fd);
        fd = -1;
        return result == 0;
    }

private:
    int fd;
};

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

void setSystemError(QString* error, const QString& action, const QString& path, int code)
{
    if (error)
        *error = QStringLiteral("%1 \"%2\": %3")
                     .arg(action, path, QString::fromLocal8Bit(std::strerror(code)));
}

// Copies everything up to the end of the input. The kernel copies when it can; file
// systems that refuse copy_file_range (or pairs across them) get a plain read/write.
bool flushFolderOf(const QString& path)
{
    Descriptor folder(::open(encoded(QFileInfo(path).absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.isOpen() && ::fsync(folder.get()) == 0;
}
} // namespace

bool FileCopier::copyFile(const QString& source, const QString& destination, Durability durability,
                          QString* error)
{
    Descriptor in(::open(encoded(source).constData(), O_RDONLY | O_CLOEXEC));
    if (!in.isOpen()) {
        setSystemError(error, QStringLiteral("Cannot open"), source, errno);
        return false;
    }
    const QString partial = destination + partialSuffix();
    const QByteArray partialPath = encoded(partial);
    Descriptor out(::open(partialPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!out.isOpen()) {
        setSystemError(error, QStringLiteral("Cannot create"), partial, errno);
        return false;
    }
    const auto fail = [&](const QString& action, const QString& path, int code) {
        setSystemError(error, action, path, code);
        ::unlink(partialPath.constData());
        return false;
    };
    if (!copyFileContents(in.get(), out.get()))
        return fail(QStringLiteral("Cannot copy to"), partial, errno);
    struct stat sourceStatus
    {
    };
    struct stat copyStatus
    {
    };
    if (::fstat(in.get(), &sourceStatus) != 0 || ::fstat(out.get(), &copyStatus) != 0)
        return fail(QStringLiteral("Cannot read the size of"), partial, errno);
    if (sourceStatus.st_size != copyStatus.st_size) {
        if (error)
            *error = QStringLiteral("The copy \"%1\" has %2 bytes, its source \"%3\" %4 bytes")
                         .arg(destination, QString::number(copyStatus.st_size), source,
                              QString::number(sourceStatus.st_size));
        ::unlink(partialPath.constData());
        return false;
    }
    const struct timespec times[2] = {sourceStatus.st_atim, sourceStatus.st_mtim};
    ::futimens(out.get(), times);
    if (durability == Durability::Flushed && ::fdatasync(out.get()) != 0)
        return fail(QStringLiteral("Cannot flush"), partial, errno);
    if (!out.close())
        return fail(QStringLiteral("Cannot close"), partial, errno);
    if (::rename(partialPath.constData(), encoded(destination).constData()) != 0)
        return fail(QStringLiteral("Cannot rename to"), destination, errno);
    if (durability == Durability::Flushed && !flushFolderOf(destination)) {
        setSystemError(error, QStringLiteral("Cannot flush the folder of"), destination, errno);
        return false;
    }
    return true;
}

bool FileCopier::writeFile(const QByteArray& data, const QString& destination,
                           Durability durability, QString* error)
{
    const QString partial = destination + partialSuffix();
    const QByteArray partialPath = encoded(partial);
    Descriptor out(::open(partialPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!out.isOpen()) {
        setSystemError(error, QStringLiteral("Cannot create"), partial, errno);
        return false;
    }
    for (qsizetype written = 0; written < data.size();) {
        const ssize_t put = ::write(out.get(), data.constData() + written,
                                    static_cast<size_t>(data.size() - written));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            setSystemError(error, QStringLiteral("Cannot write"), partial, errno);
            ::unlink(partialPath.constData());
            return false;
        }
        written += put;
    }
    if ((durability == Durability::Flushed && ::fdatasync(out.get()) != 0) || !out.close() ||
        ::rename(partialPath.constData(), encoded(destination).constData()) != 0) {
        setSystemError(error, QStringLiteral("Cannot write"), destination, errno);
        ::unlink(partialPath.constData());
        return false;
    }
    if (durability == Durability::Flushed && !flushFolderOf(destination)) {
        setSystemError(error, QStringLiteral("Cannot flush the folder of"), destination, errno);
        return false;
    }
    return true;
}

bool FileCopier::moveFile(const QString& source, const QString& destination, QString* error)
{
    const QByteArray from = encoded(source);
    const QByteArray to = encoded(destination);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    int code = errno;
    if (code == EINVAL || code == ENOSYS) {
        // File systems without the no-replace flag: test, then rename.
        struct stat status
        {
        };
        if (::lstat(to.constData(), &status) == 0) {
            setSystemError(error, QStringLiteral("Cannot move onto"), destination, EEXIST);
            return false;
        }
        if (::rename(from.constData(), to.constData()) == 0)
            return true;
        code = errno;
    }
    if (code != EXDEV) {
        setSystemError(error, QStringLiteral("Cannot move to"), destination, code);
        return false;
    }
    struct stat status
    {
    };
    if (::lstat(to.constData(), &status) == 0) {
        setSystemError(error, QStringLiteral("Cannot move onto"), destination, EEXIST);
        return false;
    }
    if (!copyFile(source, destination, Durability::Flushed, error))
        return false;
    if (::unlink(from.constData()) != 0) {
        setSystemError(error, QStringLiteral("Cannot remove"), source, errno);
        return false;
    }
    return true;
}

bool FileCopier::flushFileSystemOf(const QString& path, QString* error)
{
    Descriptor folder(::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC));
    if (!folder.isOpen() || ::syncfs(folder.get()) != 0) {
        setSystemError(error, QStringLiteral("Cannot flush the file system of"), path, errno);
        return false;
    }
    return true;
}

bool FileCopier::hasSize(const QString& path, qint64 expectedSize, QString* error)
{
    struct stat status
    {
    };
    if (::stat(encoded(path).constData(), &status) != 0) {
        setSystemError(error, QStringLiteral("Cannot find the copy"), path, errno);
        return false;
    }
    if (status.st_size != expectedSize) {
        if (error)
            *error = QStringLiteral("The copy \"%1\" has %2 bytes instead of %3")
                         .arg(path, QString::number(status.st_size), QString::number(expectedSize));
        return false;
    }
    return true;
}

bool FileCopier::flushAndCheckSize(const QString& path, qint64 expectedSize, QString* error)
{
    Descriptor file(::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC));
    if (!file.isOpen() || ::fdatasync(file.get()) != 0) {
        setSystemError(error, QStringLiteral("Cannot flush"), path, errno);
        return false;
    }
    if (!hasSize(path, expectedSize, error))
        return false;
    if (!flushFolderOf(path)) {
        setSystemError(error, QStringLiteral("Cannot flush the folder of"), path, errno);
        return false;
    }
    return true;
}

bool FileCopier::hasSameContent(const QString& first, const QString& second)
{
    QFile a(first);
    QFile b(second);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
        return false;
    constexpr qint64 chunk = 1 << 20;
    while (!a.atEnd()) {
        const QByteArray left = a.read(chunk);
        if (left.isEmpty() || left != b.read(chunk))
            return false;
    }
    return true;
}

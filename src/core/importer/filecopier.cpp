#include "importer/filecopier.h"

#include "platform/filecontentcopy.h"
#include "platform/noreplacerename.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

// Flushes the folder entry of the path, so that a rename into it survives a power cut.
bool flushFolderOf(const QString& path)
{
    Descriptor folder(::open(encoded(QFileInfo(path).absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.isOpen() && ::fsync(folder.get()) == 0;
}

// Set once at start-up (see setAlwaysCopyAcross).
bool alwaysCopyAcross = false;

bool refuseMove(const QString& destination, int code, QString* error, bool* nameTaken)
{
    if (code == EEXIST && nameTaken)
        *nameTaken = true;
    setSystemError(error,
                   code == EEXIST ? QStringLiteral("Cannot move onto")
                                  : QStringLiteral("Cannot move to"),
                   destination, code);
    return false;
}

// True when the open file is still the one at the path (nobody removed or replaced
// it since it was opened).
bool isStillNamed(int descriptor, const QByteArray& path)
{
    struct stat opened
    {
    };
    struct stat named
    {
    };
    return ::fstat(descriptor, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Copies the open source into the open copy (at partial, for destination), checks
// that both have the same size and gives the copy the source's times.
bool copyWithTimes(int in, int out, const QString& source, const QString& destination,
                   const QString& partial, QString* error)
{
    if (!copyFileContents(in, out)) {
        setSystemError(error, QStringLiteral("Cannot copy to"), partial, errno);
        return false;
    }
    struct stat sourceStatus
    {
    };
    struct stat copyStatus
    {
    };
    if (::fstat(in, &sourceStatus) != 0 || ::fstat(out, &copyStatus) != 0) {
        setSystemError(error, QStringLiteral("Cannot read the size of"), partial, errno);
        return false;
    }
    if (sourceStatus.st_size != copyStatus.st_size) {
        if (error)
            *error = QStringLiteral("The copy \"%1\" has %2 bytes, its source \"%3\" %4 bytes")
                         .arg(destination, QString::number(copyStatus.st_size), source,
                              QString::number(sourceStatus.st_size));
        return false;
    }
    const struct timespec times[2] = {sourceStatus.st_atim, sourceStatus.st_mtim};
    ::futimens(out, times);
    return true;
}

// Opens the partial copy of a whole-file write; -1 (with the error) when it cannot.
int createPartial(const QString& partial, QString* error)
{
    const int file =
        ::open(encoded(partial).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0)
        setSystemError(error, QStringLiteral("Cannot create"), partial, errno);
    return file;
}

// A complete, flushed copy under a hidden partial name of its own beside its
// destination. It holds a lock on the file until it is renamed into place, so that
// a run on another machine filing into the same folder never takes it for an
// abandoned one; a copy whose process died loses its lock and is removed by the
// next run that files into the folder. Destroyed unclaimed, the copy is removed.
class PartialCopy
{
public:
    static std::optional<PartialCopy> beside(const QString& source, const QString& destination,
                                             QString* error)
    {
        Descriptor in(::open(encoded(source).constData(), O_RDONLY | O_CLOEXEC));
        if (!in.isOpen()) {
            setSystemError(error, QStringLiteral("Cannot open"), source, errno);
            return std::nullopt;
        }
        std::optional<PartialCopy> copy = create(destination, error);
        if (copy && !copy->fill(in.get(), source, destination, error))
            return std::nullopt;
        return copy;
    }

    PartialCopy(PartialCopy&& other) noexcept
        : path(std::exchange(other.path, {})), file(std::exchange(other.file, -1))
    {
    }
    PartialCopy& operator=(PartialCopy&&) = delete;
    ~PartialCopy()
    {
        if (!path.isEmpty())
            ::unlink(path.constData());
        if (file >= 0)
            ::close(file);
    }

    // Renames the copy onto the destination name unless that name is taken.
    bool claim(const QString& destination, QString* error, bool* nameTaken)
    {
        if (renameWithoutReplacing(path, encoded(destination)) != 0)
            return refuseMove(destination, errno, error, nameTaken);
        return placed(destination, error);
    }

    bool replace(const QString& destination, QString* error)
    {
        if (::rename(path.constData(), encoded(destination).constData()) != 0) {
            setSystemError(error, QStringLiteral("Cannot rename to"), destination, errno);
            return false;
        }
        return placed(destination, error);
    }

private:
    PartialCopy(QByteArray path, int file) : path(std::move(path)), file(file) {}

    static std::optional<PartialCopy> create(const QString& destination, QString* error)
    {
        const QFileInfo target(destination);
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString name =
                QStringLiteral("%1/.%2.%3%4")
                    .arg(target.path(), target.fileName(),
                         QString::number(QRandomGenerator::global()->generate(), 16),
                         FileCopier::partialSuffix());
            const QByteArray path = encoded(name);
            const int file = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (file < 0 && errno == EEXIST)
                continue;
            if (file < 0) {
                setSystemError(error, QStringLiteral("Cannot create"), name, errno);
                return std::nullopt;
            }
            PartialCopy copy(path, file);
            // A cleaner that came between the create and the lock has removed the
            // file: take another name.
            if (::flock(file, LOCK_EX | LOCK_NB) == 0 && isStillNamed(file, path))
                return copy;
            copy.path.clear();
        }
        setSystemError(error, QStringLiteral("Cannot create a partial copy beside"), destination,
                       EEXIST);
        return std::nullopt;
    }

    bool fill(int in, const QString& source, const QString& destination, QString* error)
    {
        if (!copyWithTimes(in, file, source, destination, QFile::decodeName(path), error))
            return false;
        if (::fdatasync(file) != 0) {
            setSystemError(error, QStringLiteral("Cannot flush"), QFile::decodeName(path), errno);
            return false;
        }
        return true;
    }

    bool placed(const QString& destination, QString* error)
    {
        path.clear();
        ::close(std::exchange(file, -1));
        if (!flushFolderOf(destination)) {
            setSystemError(error, QStringLiteral("Cannot flush the folder of"), destination, errno);
            return false;
        }
        return true;
    }

    QByteArray path;
    int file;
};
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
    Descriptor out(createPartial(partial, error));
    if (!out.isOpen())
        return false;
    const auto fail = [&](const QString& action, const QString& path, int code) {
        setSystemError(error, action, path, code);
        ::unlink(partialPath.constData());
        return false;
    };
    if (!copyWithTimes(in.get(), out.get(), source, destination, partial, error)) {
        ::unlink(partialPath.constData());
        return false;
    }
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
    Descriptor out(createPartial(partial, error));
    if (!out.isOpen())
        return false;
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

bool FileCopier::moveFile(const QString& source, const QString& destination, QString* error,
                          bool* nameTaken)
{
    const QByteArray from = encoded(source);
    const QByteArray to = encoded(destination);
    if (!alwaysCopyAcross) {
        if (renameWithoutReplacing(from, to) == 0)
            return true;
        if (errno != EXDEV)
            return refuseMove(destination, errno, error, nameTaken);
    }
    std::optional<PartialCopy> copy = PartialCopy::beside(source, destination, error);
    if (!copy)
        return false;
    if (!copy->claim(destination, error, nameTaken))
        return false;
    if (::unlink(from.constData()) != 0) {
        setSystemError(error, QStringLiteral("Cannot remove"), source, errno);
        return false;
    }
    return true;
}

bool FileCopier::copyOnto(const QString& source, const QString& destination, QString* error)
{
    std::optional<PartialCopy> copy = PartialCopy::beside(source, destination, error);
    return copy && copy->replace(destination, error);
}

bool FileCopier::removeAbandonedPartial(const QString& path)
{
    const QByteArray name = encoded(path);
    Descriptor file(::open(name.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (!file.isOpen() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    return isStillNamed(file.get(), name) && ::unlink(name.constData()) == 0;
}

void FileCopier::setAlwaysCopyAcross(bool always)
{
    alwaysCopyAcross = always;
}

bool FileCopier::isAlwaysCopyingAcross()
{
    return alwaysCopyAcross;
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

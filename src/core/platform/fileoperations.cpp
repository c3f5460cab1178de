#include "platform/fileoperations.h"

#include "common/log.h"
#include "common/talvorencommon.h"
#include "platform/extendedattributes.h"
#include "platform/filecontentcopy.h"
#include "platform/noreplacerename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Paths are handled as the bytes the file system holds, so that a name that is
// not valid UTF-8 moves like any other instead of being mangled by decoding.

const QString FileOperations::finderInfoAttributeName = QStringLiteral("user.com.apple.FinderInfo");

namespace {
// 32 bytes of Finder information, all zero except the invisible flag (0x40) in byte 8.
const QString invisibleOnlyFinderInfo =
    QString(16, QLatin1Char('0')) + QLatin1Char('4') + QString(47, QLatin1Char('0'));
constexpr int maximumBesideIndex = 10000;

QString display(const QByteArray& path)
{
    return QFile::decodeName(path);
}

bool fail(PosixError* error, int code, const QString& function, const QByteArray& path,
          const QByteArray& toPath = {})
{
    if (error) {
        QVariantMap arguments{{QStringLiteral(":path"), display(path)}};
        if (!toPath.isEmpty())
            arguments.insert(QStringLiteral(":toPath"), display(toPath));
        *error = PosixError::fromErrno(code, function, arguments);
    }
    return false;
}

QByteArray joined(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray parentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// "a/name.ext" -> "a/name(n).ext"; a leading dot of a hidden name is not an extension.
QByteArray numbered(const QByteArray& path, int index)
{
    const qsizetype nameStart = path.lastIndexOf('/') + 1;
    const qsizetype dot = path.lastIndexOf('.');
    const QByteArray suffix = '(' + QByteArray::number(index) + ')';
    if (dot <= nameStart)
        return path + suffix;
    return path.left(dot) + suffix + path.mid(dot);
}

void syncFolder(const QByteArray& folder)
{
    const int descriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

// The first call of a sequence of steps that failed, and its errno.
struct FirstFailure
{
    QString function;
    int code = 0;

    bool check(bool succeeded, const QString& call)
    {
        if (!succeeded && function.isEmpty()) {
            function = call;
            code = errno;
        }
        return succeeded;
    }
};

// Creates "folder/.name.moving-XXXXXX" beside the destination, open for writing.
int createTemporaryBeside(const QByteArray& destination, QByteArray& temporary)
{
    const qsizetype slash = destination.lastIndexOf('/');
    temporary = destination.left(slash + 1) + '.' + destination.mid(slash + 1) +
                QByteArrayLiteral(".moving-XXXXXX");
    return ::mkostemp(temporary.data(), O_CLOEXEC);
}

// Copies the content, carries mode and times over, flushes the copy and checks
// that all of it arrived.
void copyFlushed(int in, int out, const struct stat& sourceStat, FirstFailure& failure)
{
    if (!failure.check(copyFileContents(in, out), QStringLiteral("copy_file_range")))
        return;
    // Mode and times are carried over where the file system keeps them (FAT does
    // not take every mode), so failing to set them does not stop the move.
    const struct timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
    ::fchmod(out, sourceStat.st_mode & 07777);
    ::futimens(out, times);
    struct stat copiedStat;
    if (!failure.check(::fsync(out) == 0, QStringLiteral("fsync")) ||
        !failure.check(::fstat(out, &copiedStat) == 0, QStringLiteral("fstat")))
        return;
    if (copiedStat.st_size != sourceStat.st_size) {
        errno = EIO;
        failure.check(false, QStringLiteral("copy_file_range"));
    }
}

// Copies a regular file to a temporary name beside the destination, flushes it,
// checks its size, renames it into place and only then removes the source.
bool moveFileAcross(const QByteArray& source, const QByteArray& destination, bool replace,
                    PosixError* error)
{
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return fail(error, errno, QStringLiteral("open"), source);
    struct stat sourceStat;
    if (::fstat(in, &sourceStat) != 0) {
        const int code = errno;
        ::close(in);
        return fail(error, code, QStringLiteral("fstat"), source);
    }
    QByteArray temporary;
    const int out = createTemporaryBeside(destination, temporary);
    if (out < 0) {
        const int code = errno;
        ::close(in);
        return fail(error, code, QStringLiteral("mkostemp"), destination);
    }
    FirstFailure failure;
    copyFlushed(in, out, sourceStat, failure);
    ::close(in);
    failure.check(::close(out) == 0, QStringLiteral("close"));
    const bool renamed =
        failure.function.isEmpty() &&
        failure.check((replace ? ::rename(temporary.constData(), destination.constData())
                               : renameWithoutReplacing(temporary, destination)) == 0,
                      QStringLiteral("rename"));
    if (!renamed) {
        ::unlink(temporary.constData());
        return fail(error, failure.code, failure.function, source, destination);
    }
    syncFolder(parentOf(destination));
    if (::unlink(source.constData()) != 0)
        return fail(error, errno, QStringLiteral("unlink"), source);
    return true;
}

bool moveLinkAcross(const QByteArray& source, const QByteArray& destination, bool replace,
                    PosixError* error)
{
    QByteArray target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(source.constData(), target.data(), target.size());
    if (length < 0)
        return fail(error, errno, QStringLiteral("readlink"), source);
    target.truncate(length);
    if (replace)
        ::unlink(destination.constData());
    if (::symlink(target.constData(), destination.constData()) != 0)
        return fail(error, errno, QStringLiteral("symlink"), source, destination);
    if (::unlink(source.constData()) != 0)
        return fail(error, errno, QStringLiteral("unlink"), source);
    return true;
}

bool moveItem(const QByteArray& source, const QByteArray& destination, PosixError* error,
              bool overwrite);

// A move within one file system is a rename; across file systems a folder is
// created and merged into, a file copied.
bool plainMove(const QByteArray& source, const QByteArray& destination, bool replace,
               PosixError* error)
{
    const int renamed = replace ? ::rename(source.constData(), destination.constData())
                                : renameWithoutReplacing(source, destination);
    if (renamed == 0)
        return true;
    if (errno != EXDEV)
        return fail(error, errno, QStringLiteral("rename"), source, destination);
    struct stat sourceStat;
    if (::lstat(source.constData(), &sourceStat) != 0)
        return fail(error, errno, QStringLiteral("lstat"), source);
    if (S_ISDIR(sourceStat.st_mode)) {
        if (::mkdir(destination.constData(), sourceStat.st_mode & 07777) != 0)
            return fail(error, errno, QStringLiteral("mkdir"), destination);
        return moveItem(source, destination, error, replace);
    }
    if (S_ISREG(sourceStat.st_mode))
        return moveFileAcross(source, destination, replace, error);
    if (S_ISLNK(sourceStat.st_mode))
        return moveLinkAcross(source, destination, replace, error);
    return fail(error, EXDEV, QStringLiteral("rename"), source, destination);
}

std::optional<std::vector<QByteArray>> sortedEntries(const QByteArray& folder, PosixError* error)
{
    DIR* directory = ::opendir(folder.constData());
    if (!directory) {
        fail(error, errno, QStringLiteral("opendir"), folder);
        return std::nullopt;
    }
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(directory)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

bool mergeFolder(const QByteArray& source, const QByteArray& destination, PosixError* error,
                 bool overwrite)
{
    const auto names = sortedEntries(source, error);
    if (!names)
        return false;
    for (const QByteArray& name : *names) {
        if (!moveItem(joined(source, name), joined(destination, name), error, overwrite))
            return false;
    }
    if (::rmdir(source.constData()) != 0)
        return fail(error, errno, QStringLiteral("rmdir"), source);
    return true;
}

// A file cannot merge into a folder of its name, and replacing the folder would
// lose its pictures: the file goes beside it under the first free numbered name.
bool moveBesideFolder(const QByteArray& source, const QByteArray& folder, PosixError* error)
{
    for (int index = 2; index <= maximumBesideIndex; ++index) {
        const QByteArray candidate = numbered(folder, index);
        struct stat existing;
        if (::lstat(candidate.constData(), &existing) == 0)
            continue;
        if (errno != ENOENT)
            return fail(error, errno, QStringLiteral("lstat"), candidate);
        PosixError attempt;
        if (!plainMove(source, candidate, false, &attempt)) {
            if (attempt.code == EEXIST)
                continue;
            if (error)
                *error = attempt;
            return false;
        }
        Log::info(QStringLiteral("A folder stands at [%1]; the file [%2] was moved to [%3].")
                      .arg(display(folder), display(source), display(candidate)));
        return true;
    }
    return fail(error, EEXIST, QStringLiteral("rename"), source, folder);
}

bool isFolder(const QByteArray& path, const struct stat& linkStat)
{
    if (S_ISDIR(linkStat.st_mode))
        return true;
    struct stat targetStat;
    return S_ISLNK(linkStat.st_mode) && ::stat(path.constData(), &targetStat) == 0 &&
           S_ISDIR(targetStat.st_mode);
}

bool moveItem(const QByteArray& source, const QByteArray& destination, PosixError* error,
              bool overwrite)
{
    struct stat sourceStat;
    if (::lstat(source.constData(), &sourceStat) != 0)
        return fail(error, errno, QStringLiteral("lstat"), source);
    struct stat destinationStat;
    if (::lstat(destination.constData(), &destinationStat) != 0) {
        if (errno != ENOENT)
            return fail(error, errno, QStringLiteral("lstat"), destination);
        return plainMove(source, destination, false, error);
    }
    const bool sourceIsFolder = S_ISDIR(sourceStat.st_mode);
    if (isFolder(destination, destinationStat)) {
        return sourceIsFolder ? mergeFolder(source, destination, error, overwrite)
                              : moveBesideFolder(source, destination, error);
    }
    if (!overwrite)
        return fail(error, EEXIST, QStringLiteral("rename"), source, destination);
    if (sourceIsFolder) {
        if (::unlink(destination.constData()) != 0)
            return fail(error, errno, QStringLiteral("unlink"), destination);
        return plainMove(source, destination, false, error);
    }
    return plainMove(source, destination, true, error);
}
} // namespace

bool FileOperations::isHideAttributeFile(const QString& path)
{
    PosixError ignored;
    if (!ExtendedAttributes::hasExtendedAttribute(finderInfoAttributeName, path, true, &ignored))
        return false;
    const auto value =
        ExtendedAttributes::extendedAttribute(finderInfoAttributeName, path, true, &ignored);
    return value && TalvorenCommon::toHexString(*value) == invisibleOnlyFinderInfo;
}

bool FileOperations::moveTrash(const QString& path)
{
    // Qt 6.4 puts the home Trash in the data folder and, when that folder is
    // missing, silently writes files/ and info/ into the current folder instead.
    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QString pathInTrash;
    if (QDir().mkpath(dataFolder) && QFile::moveToTrash(path, &pathInTrash)) {
        if (QFileInfo(pathInTrash).isAbsolute())
            return true;
        QFile::rename(pathInTrash, path);
    }
    Log::error(QStringLiteral("ゴミ箱への移動に失敗しました。 ファイル:[%1]").arg(path));
    return false;
}

bool FileOperations::moveItemAtPath(const QString& sourcePath, const QString& destinationPath,
                                    PosixError* error, bool overwriteDuplicateFile)
{
    return moveItem(QFile::encodeName(sourcePath), QFile::encodeName(destinationPath), error,
                    overwriteDuplicateFile);
}

#include "platform/extendedattributes.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/xattr.h>

namespace {
// The size asked first can grow before the second call (another process adds an
// attribute); a few retries cover that without looping forever.
constexpr int sizeRetries = 4;

void report(PosixError* error, int code, const QString& function, const QString& name,
            const QString& path, bool traverseLink)
{
    if (!error)
        return;
    *error = PosixError::fromErrno(code, function,
                                   {{QStringLiteral(":path"), path},
                                    {QStringLiteral(":name"), name},
                                    {QStringLiteral(":traverseLink"), traverseLink}});
}

ssize_t listNames(const QByteArray& path, char* buffer, size_t size, bool traverseLink)
{
    return traverseLink ? ::listxattr(path.constData(), buffer, size)
                        : ::llistxattr(path.constData(), buffer, size);
}

ssize_t readValue(const QByteArray& path, const QByteArray& name, void* buffer, size_t size,
                  bool traverseLink)
{
    return traverseLink ? ::getxattr(path.constData(), name.constData(), buffer, size)
                        : ::lgetxattr(path.constData(), name.constData(), buffer, size);
}
} // namespace

bool ExtendedAttributes::hasExtendedAttribute(const QString& name, const QString& path,
                                              bool traverseLink, PosixError* error)
{
    const QByteArray nativePath = QFile::encodeName(path);
    const QByteArray wanted = name.toUtf8();
    for (int attempt = 0; attempt < sizeRetries; ++attempt) {
        const ssize_t size = listNames(nativePath, nullptr, 0, traverseLink);
        if (size < 0)
            break;
        if (size == 0)
            return false;
        QByteArray names(size, '\0');
        const ssize_t filled = listNames(nativePath, names.data(), names.size(), traverseLink);
        if (filled < 0 && errno == ERANGE)
            continue;
        if (filled < 0)
            break;
        // The list is a run of zero-terminated names.
        qsizetype start = 0;
        while (start < filled) {
            const qsizetype end = names.indexOf('\0', start);
            const qsizetype stop = end < 0 ? filled : end;
            if (names.mid(start, stop - start) == wanted)
                return true;
            start = stop + 1;
        }
        return false;
    }
    report(error, errno, QStringLiteral("listxattr"), name, path, traverseLink);
    return false;
}

std::optional<QByteArray> ExtendedAttributes::extendedAttribute(const QString& name,
                                                                const QString& path,
                                                                bool traverseLink,
                                                                PosixError* error)
{
    const QByteArray nativePath = QFile::encodeName(path);
    const QByteArray nativeName = name.toUtf8();
    for (int attempt = 0; attempt < sizeRetries; ++attempt) {
        const ssize_t size = readValue(nativePath, nativeName, nullptr, 0, traverseLink);
        if (size < 0)
            break;
        QByteArray value(size, '\0');
        const ssize_t read =
            readValue(nativePath, nativeName, value.data(), value.size(), traverseLink);
        if (read < 0 && errno == ERANGE)
            continue;
        if (read < 0)
            break;
        value.truncate(read);
        return value;
    }
    report(error, errno, QStringLiteral("getxattr"), name, path, traverseLink);
    return std::nullopt;
}

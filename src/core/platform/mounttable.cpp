#include "platform/mounttable.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Fields before the optional ones: id, parent id, major:minor, root, mount point, options.
constexpr qsizetype fixedLeadingFields = 6;

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

std::optional<int> toId(const QByteArray& field)
{
    bool ok = false;
    const int value = field.toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}
bool isDeviceNumber(const QByteArray& field)
{
    const QList<QByteArray> parts = field.split(':');
    return parts.size() == 2 && toId(parts[0]) && toId(parts[1]);
}
} // namespace

QByteArray MountTable::unescape(const QByteArray& field)
{
    QByteArray result;
    result.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const bool escape = field[i] == '\\' && i + 3 < field.size() &&
                            isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2]) &&
                            isOctalDigit(field[i + 3]);
        if (!escape) {
            result.append(field[i]);
            continue;
        }
        const int value =
            (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
        // \400 and above is no byte: keep the text as it stands.
        if (value > 0xff) {
            result.append(field[i]);
            continue;
        }
        result.append(static_cast<char>(value));
        i += 3;
    }
    return result;
}

std::optional<MountEntry> MountTable::parseLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.split(' ');
    qsizetype separator = -1;
    for (qsizetype i = fixedLeadingFields; i < fields.size(); ++i) {
        if (fields[i] == "-") {
            separator = i;
            break;
        }
    }
    // The separator is followed by the file system type, the source and the options.
    if (separator < 0 || fields.size() < separator + 3)
        return std::nullopt;
    const std::optional<int> mountId = toId(fields[0]);
    const std::optional<int> parentId = toId(fields[1]);
    const QByteArray mountPoint = unescape(fields[4]);
    if (!mountId || !parentId || !isDeviceNumber(fields[2]) || !mountPoint.startsWith('/'))
        return std::nullopt;
    MountEntry entry;
    entry.mountId = *mountId;
    entry.parentId = *parentId;
    entry.mountPoint = QFile::decodeName(mountPoint);
    entry.fileSystemType = QFile::decodeName(unescape(fields[separator + 1]));
    entry.source = QFile::decodeName(unescape(fields[separator + 2]));
    return entry;
}

std::vector<MountEntry> MountTable::parse(const QByteArray& text)
{
    std::vector<MountEntry> entries;
    for (const QByteArray& line : text.split('\n')) {
        if (std::optional<MountEntry> entry = parseLine(line))
            entries.push_back(std::move(*entry));
    }
    return entries;
}

std::optional<QByteArray> MountTable::readDescriptor(int descriptor)
{
    if (lseek(descriptor, 0, SEEK_SET) < 0)
        return std::nullopt;
    QByteArray text;
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            return text;
        if (text.size() + count > maximumBytes)
            return std::nullopt;
        text.append(buffer, count);
    }
}

std::vector<MountEntry> MountTable::read(const QString& path)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return {};
    const std::optional<QByteArray> text = readDescriptor(descriptor);
    ::close(descriptor);
    return text ? parse(*text) : std::vector<MountEntry>{};
}

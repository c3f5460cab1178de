#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// One line of a mount table in the form of /proc/self/mountinfo.
struct MountEntry
{
    int mountId = 0;
    int parentId = 0;
    QString mountPoint;
    QString fileSystemType;
    QString source;

    bool operator==(const MountEntry&) const = default;
};

// Reads the kernel's mount table. Lines that do not have the form of a mountinfo
// line are skipped, so a damaged or foreign table yields the mounts it can prove.
class MountTable
{
public:
    static constexpr const char* processMountInfoPath = "/proc/self/mountinfo";
    // More than any real table; a larger file is not a mount table.
    static constexpr qsizetype maximumBytes = 16 * 1024 * 1024;

    static std::vector<MountEntry> parse(const QByteArray& text);
    static std::optional<MountEntry> parseLine(const QByteArray& line);
    // Reads an open file descriptor from its start (the descriptor stays open).
    static std::optional<QByteArray> readDescriptor(int descriptor);
    static std::vector<MountEntry>
    read(const QString& path = QString::fromLatin1(processMountInfoPath));
    // Undoes the kernel's octal escapes (\040 for a blank, \011, \012, \134).
    static QByteArray unescape(const QByteArray& field);
};

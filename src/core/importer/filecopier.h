#pragma once

#include <QByteArray>
#include <QString>

// Copies and moves single files for the import run. A copy is written under a
// temporary name beside its destination and renamed into place once complete, so
// that a run that is killed never leaves a half-written picture under a real name.
// The data travel through the kernel's copy offload (copy_file_range), so neither a
// picture nor a movie of gigabytes passes through our memory.
class FileCopier
{
public:
    // Suffix of a copy in progress; a file with it is incomplete and never filed.
    static QString partialSuffix() { return QStringLiteral(".talvoren-part"); }
    static bool isPartialCopy(const QString& name) { return name.endsWith(partialSuffix()); }

    enum class Durability
    {
        // Leave the data to the page cache (the source stays where it is).
        Cached,
        // Flush the copy and its folder entry to disk before returning, because the
        // caller is about to delete the source.
        Flushed
    };

    // Copies source to destination (replacing a file there), keeping the source's
    // modification time. The copy is checked to have the source's size. On failure
    // nothing is left at the destination and error receives the reason.
    static bool copyFile(const QString& source, const QString& destination, Durability durability,
                         QString* error);

    // Writes the bytes to destination (replacing a file there) the same way: under
    // the temporary name first, then renamed into place.
    static bool writeFile(const QByteArray& data, const QString& destination, Durability durability,
                          QString* error);

    // Renames source to destination; across file systems it copies (flushed, size
    // checked) and then removes the source. Never replaces an existing destination,
    // also not one that another process or machine writes meanwhile: the name is
    // claimed atomically, and a name found taken sets nameTaken (when given).
    static bool moveFile(const QString& source, const QString& destination, QString* error,
                         bool* nameTaken = nullptr);

    // Copies source beside destination (flushed, size checked) and renames the copy
    // onto destination, replacing what stands there. For files that belong to a
    // shot this process has claimed already (its sidecar).
    static bool copyOnto(const QString& source, const QString& destination, QString* error);

    // Removes a partial copy that another run left behind in a shared folder: only
    // when no process holds it (each copy in progress holds a lock on its file).
    static bool removeAbandonedPartial(const QString& path);

    // Moves every file as if source and destination lay on different file systems.
    // Chosen once at start-up; tests use it to reach the copy-and-claim path of a
    // network share on one local disk.
    static void setAlwaysCopyAcross(bool always);
    static bool isAlwaysCopyingAcross();

    // True when both are readable files with the same bytes (read in chunks).
    static bool hasSameContent(const QString& first, const QString& second);

    // Writes back everything cached for the file system that holds the path (one
    // syncfs for a whole batch of copies) and reports a write-back error.
    static bool flushFileSystemOf(const QString& path, QString* error);
    // True when a file stands at the path with that many bytes.
    static bool hasSize(const QString& path, qint64 expectedSize, QString* error);

    // Flushes a file that someone else wrote (the copy without personal information)
    // and checks that it has the expected size.
    static bool flushAndCheckSize(const QString& path, qint64 expectedSize, QString* error);
};

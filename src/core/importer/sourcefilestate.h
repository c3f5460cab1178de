#pragma once

#include <QString>
#include <optional>
#include <sys/types.h>
#include <time.h>

// Size and modification time of a source file, taken when the run meets it and
// again after its copy is staged. A camera or a network copy may still be writing
// the file: one changed within the last two seconds, or changed while it was
// handled, is left for the next run.
class SourceFileState
{
public:
    static constexpr qint64 settleMilliseconds = 2000;

    // None when nothing readable stands at the path or it is not a regular file
    // (a pipe named like a picture would block the run).
    static std::optional<SourceFileState> of(const QString& path);

    // True when nothing at all stands at the path any more (or its medium is gone):
    // a source that disappeared, unlike one that cannot be read.
    static bool isGone(const QString& path);

    qint64 size() const { return bytes; }
    // False while the modification time lies within two seconds of now (either
    // side: a clock a little ahead of ours still means "being written").
    bool isSettled() const;
    bool operator==(const SourceFileState& other) const;

private:
    qint64 bytes = 0;
    timespec modified{};
};

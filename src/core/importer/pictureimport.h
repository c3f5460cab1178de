#pragma once

#include "importer/importdecision.h"
#include "importer/importrunsettings.h"
#include "importer/sourcefilestate.h"
#include "metadata/exifentity.h"

#include <QByteArray>
#include <QString>
#include <optional>

class BaseWatchFolderOperator;
class SourceRemovalBatch;

// The handling of one picture or movie-index picture inside an import run, in
// steps: read the settled file; decide (skip, refuse, duplicate, record only or
// file); stage the picture or the movie pair; finish (sidecar, count, record).
// Throws CopyFailedException when a copy, a staging folder or a source removal
// fails.
class PictureImport
{
public:
    enum class Kind
    {
        Picture,
        MovieIndex
    };

    // A moving run hands the sources of plain pictures to removals, which deletes
    // them once their copies are on disk.
    PictureImport(BaseWatchFolderOperator& owner, const ImportRunSettings& settings, bool isMove,
                  bool isImport, qint64 runTime, SourceRemovalBatch& removals);

    void importPicture(const QString& path, Kind kind);

private:
    using Verdict = ImportDecision::Verdict;

    // A settled source as read: its bytes (its head when it is large), its Exif data,
    // and the hash of a picture that could be filed.
    struct Reading
    {
        QString path;
        SourceFileState state;
        QByteArray data;
        bool whole = false;
        std::optional<ExifEntity> exif;
        std::optional<QString> hash;
    };

    // What a picture to be filed left in the staging area.
    struct Staged
    {
        QString newPath;
        std::optional<QString> movie;
        QString movieDestination;
        std::optional<QString> movieHash;
    };

    // Step 1: none when the file is gone, still being written or changed while read.
    std::optional<Reading> readSettled(const QString& path) const;
    std::optional<Reading> read(const QString& path, const SourceFileState& state) const;
    // Step 2: what to do with the picture, asked of the decision the preview shares;
    // a records database that cannot answer fails the run.
    Verdict decide(const Reading& picture, Kind kind) const;
    // Every verdict but File: the picture is refused, skipped or only recorded.
    void settleUnfiled(const Reading& picture, Kind kind, const Verdict& verdict) const;
    void unusable(const QString& path) const;
    void notSent(const QString& path, Kind kind) const;
    void alreadyImported(const Reading& picture, Kind kind, const QString& newPath) const;
    void recordOnly(const Reading& picture, const Verdict& verdict) const;
    // Step 3: none when the picture stays in its source for now.
    std::optional<Staged> stagePicture(const Reading& picture, const Verdict& verdict) const;
    std::optional<Staged> stageMoviePair(const Reading& picture, const Verdict& verdict) const;
    bool stagePair(const Reading& picture, const SourceFileState& movieState, Staged& staged) const;
    // Stages the picture's copy (flushed at once when sourceRemovedNow) and gives its
    // size; none when the source changed meanwhile.
    std::optional<qint64> stageCopy(const Reading& picture, const QString& newPath,
                                    bool sourceRemovedNow) const;
    std::optional<qint64> writeCopy(const Reading& picture, const QString& newPath,
                                    bool sourceRemovedNow) const;
    // Stages the movie of a movie-index picture; false when the movie is still being
    // written or changed meanwhile.
    bool stageMovie(const QString& movie, const SourceFileState& movieState,
                    const QString& movieDestination) const;
    // Gives a movie pair whose movie name is staged already the next free number;
    // false when that movie is this very movie.
    bool moveOnToFreePair(const QString& stagingFolder, const QString& movie,
                          const ExifEntity& exif, QString& newPath,
                          QString& movieDestination) const;
    // Creates a staging folder, which must lie inside stagingRoot, for the picture
    // at path; false when the file system refuses that folder's name (the picture
    // then stays in its source and the run goes on). Any other failure ends the run.
    bool makeFolder(const QString& folder, const QString& stagingRoot, const QString& path) const;
    // A copy that failed because its source disappeared is noted and the run goes
    // on; any other copy failure ends the run.
    void failUnlessGone(const QString& path, const QString& error) const;
    void leaveForLater(const QString& path, const QString& seen) const;
    // Step 4: sidecar, count, report, progress, log and record.
    void finish(const Reading& picture, Kind kind, const Verdict& verdict,
                const Staged& staged) const;
    void writeSidecar(const ExifEntity& exif, const QString& newPath) const;
    void record(const QString& newPath, const ExifEntity& exif, const QString& originalPath,
                const QString& folder, const QString& hash) const;

    BaseWatchFolderOperator& owner;
    const ImportRunSettings& settings;
    bool isMove;
    bool isImport;
    qint64 runTime;
    SourceRemovalBatch& removals;
};

#pragma once

#include "importer/importdecision.h"
#include "importer/importrunsettings.h"
#include "metadata/exifentity.h"

#include <QByteArray>
#include <QString>
#include <optional>

class BaseWatchFolderOperator;
class SourceFileState;
class SourceRemovalBatch;

// The handling of one picture or movie-index picture inside an import run: read it,
// decide whether it is taken, build its filing path and new name, test for an
// earlier import, stage the copy (and the movie), write the sidecar, remove the
// source as asked, count, log and record. Throws CopyFailedException when a copy,
// a staging folder or a source removal fails.
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
    struct Reading
    {
        QByteArray data;
        bool whole = false;
        std::optional<ExifEntity> exif;
    };

    std::optional<Reading> read(const QString& path, const SourceFileState& state) const;
    std::optional<QString> hashOf(const QString& path, const Reading& reading) const;
    // What to do with the picture, asked of the decision the preview shares; a
    // records database that cannot answer fails the run.
    ImportDecision::Verdict decide(const QString& path, Kind kind,
                                   const std::optional<ExifEntity>& exif,
                                   const std::optional<QString>& hash) const;
    void unusable(const QString& path) const;
    std::optional<QString> newPathFor(const QString& stagingFolder, const QString& path,
                                      const ExifEntity& exif) const;
    // Stages the picture (flushed at once when sourceRemovedNow) and gives the size
    // of the staged copy; none when the source changed meanwhile.
    std::optional<qint64> stagePicture(const QString& path, const SourceFileState& state,
                                       const Reading& reading, const QString& newPath,
                                       bool sourceRemovedNow) const;
    // Stages the movie of a movie-index picture; false when the movie is still being
    // written or changed meanwhile (then nothing of the pair stays staged).
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

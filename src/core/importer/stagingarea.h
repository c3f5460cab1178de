#pragma once

#include <QString>

struct ImportRunSettings;

// What waits in the staging folders ("def tmp"/picture and "def tmp"/movie) for
// the next run. A run that fails after it staged pictures (and perhaps removed
// their sources) says how many wait there, so nobody takes them for lost.
class StagingArea
{
public:
    // Staged pictures: the visible files of the picture staging folder and the
    // movies of the movie staging folder (one per movie-index pair), at any depth.
    static qint64 waitingPictures(const ImportRunSettings& settings);
    // The failure reason, followed by the count and the folder when any wait.
    static QString withWaitingNote(const QString& reason, const ImportRunSettings& settings);
};

#include "importer/stagingarea.h"

#include "importer/importrunsettings.h"

#include <QDirIterator>

namespace {
qint64 countFiles(const QString& folder, const QStringList& nameFilters)
{
    qint64 count = 0;
    QDirIterator files(folder, nameFilters, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        ++count;
    }
    return count;
}
} // namespace

qint64 StagingArea::waitingPictures(const ImportRunSettings& settings)
{
    // Hidden names (sidecars) are left out by QDir::Files without QDir::Hidden.
    if (!settings.temporaryFolder.startsWith(QLatin1Char('/')))
        return 0;
    return countFiles(settings.pictureStagingFolder(), {}) +
           countFiles(settings.movieStagingFolder(), {QStringLiteral("*.MOV")});
}

QString StagingArea::withWaitingNote(const QString& reason, const ImportRunSettings& settings)
{
    const qint64 waiting = waitingPictures(settings);
    if (waiting == 0)
        return reason;
    QString sentence = reason;
    while (sentence.endsWith(QLatin1Char('.')))
        sentence.chop(1);
    return QStringLiteral("%1. %2 picture(s) wait in the staging folder \"%3\" and are filed "
                          "by the next run")
        .arg(sentence)
        .arg(waiting)
        .arg(settings.temporaryFolder);
}

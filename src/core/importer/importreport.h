#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

// What an import run did with each file it met, collected for whoever started the
// run (talvoren-cli import prints it). The run reports at its decisions; a file
// reported twice keeps its last outcome.
class ImportReport
{
public:
    enum class Outcome
    {
        Filed,            // detail: the destination folder
        AlreadyImported,  // its bytes are filed already
        NotCameraPicture, // not a camera picture, or unreadable; detail: why
        LeftForLater,     // still being written; detail: what was seen
        NotSent,          // held back as the settings ask; detail: which
        Failed            // detail: the reason
    };
    struct Entry
    {
        QString path;
        Outcome outcome;
        QString detail;
    };

    // The run starts on a file: a failure that ends the run is laid on it.
    void started(const QString& path);
    void handled(const QString& path, Outcome outcome, const QString& detail = {});
    // A file reported filed was staged as stagedPath; the final filing files it.
    void stagedAs(const QString& path, const QString& stagedPath);
    // The final filing dropped a staged shot (its staged path without the extension)
    // because the same bytes are filed already: its files were already imported.
    void stagedCopyDropped(const QString& stagedShot);
    // The staged copies went into the destination folders: what was staged is filed.
    void stagedFiled();
    // The run ended with this failure: the file in hand, and what was staged but never
    // filed (the next run files it), failed with the reason.
    void runFailed(const QString& reason);
    // Called after each handled file, for a progress display.
    void setChangeHandler(std::function<void(const Entry&)> handler);

    const QList<Entry>& entries() const { return list; }
    bool contains(const QString& path) const { return positions.contains(path); }
    // The outcome in plain words, also the JSON name: "filed", "already imported", ...
    static QString outcomeName(Outcome outcome);
    static QList<Outcome> outcomes();

private:
    QList<Entry> list;
    QHash<QString, qsizetype> positions;
    QList<qsizetype> staged;
    QHash<QString, QStringList> sourcesOfShot; // staged shot -> its files
    QString current;
    std::function<void(const Entry&)> changed;
};

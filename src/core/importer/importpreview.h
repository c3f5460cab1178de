#pragma once

#include "importer/importdecision.h"
#include "importer/patientfoldertally.h"
#include "settings/settingsdictionary.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>

// A dry run of the import: walks the folders as a run does and asks the run's own
// ImportDecision about every picture, with the names this run would stage and the
// names it would file under, but writes, moves and records nothing. It reads a
// picture's head for its Exif data and maker note (the whole picture only when the
// head does not hold them) and its bytes only when the records or a taken name
// need its hash or its content.
class ImportPreview
{
public:
    struct Item
    {
        QString sourcePath;
        // None while the file is still being written (the run leaves it for later).
        std::optional<ImportDecision::Outcome> outcome;
        QString relativeFolder;
        // Where the picture will stand once filed (outcome File only).
        QString filedPath;
    };

    struct Result
    {
        QList<Item> items;
        // The pictures that will be filed, by folder.
        PatientFolderTally filing;
        // Pictures and movie-index pictures met.
        qint64 pictureCount() const { return items.size(); }
        qint64 newCount() const { return filing.total(); }
    };

    // The preview of the runs a card import makes: one per folder, each walking
    // every visible sub-folder, with the current settings. A preview that is no
    // longer wanted stops at the next picture once cancelled is set.
    static Result previewFolders(const QStringList& folders, const SettingsDictionary& settings,
                                 const std::atomic<bool>* cancelled = nullptr);
    // The preview of talvoren-cli import SOURCE and of a folder poll: the source's
    // tree reduced to its top-most folders holding anything.
    static Result previewSource(const QString& source, const SettingsDictionary& settings);

    static QString outcomeName(const std::optional<ImportDecision::Outcome>& outcome);
};

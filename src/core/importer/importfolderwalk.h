#pragma once

#include <QList>
#include <QString>

// How an import run meets the entries of one folder: every entry, hidden ones
// included, in name order, each classified by its name and kind. The real run and
// the preview walk folders through this one classification, so they see the same
// pictures.
class ImportFolderWalk
{
public:
    enum class Kind
    {
        Picture,    // a visible file named like a JPEG picture
        MovieIndex, // a visible ".MIF"/".mif" file
        Folder,     // a visible folder that does not lead back above itself
        Passed,     // a hidden or looping folder: never entered
        Kept,       // a movie or the card's "LMR_SD" marker: never removed
        Stray       // anything else: the Import folder sends it to the Trash
    };

    struct Entry
    {
        QString path;
        Kind kind;
    };

    // Nothing for a folder a run does not enter (inside a ".Trashes" folder).
    static QList<Entry> entries(const QString& folder);
    static bool isPassedOverFolder(const QString& folder);
};

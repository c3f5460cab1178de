#pragma once

#include <QList>
#include <QString>

// How an import run meets the entries of one folder: every entry, hidden ones
// included, in name order, each classified by its name and kind. The real run and
// the preview walk folders through this one classification, so they see the same
// pictures and enter the same folders.
class ImportFolderWalk
{
public:
    enum class Kind
    {
        Picture,         // a visible file named like a JPEG picture
        MovieIndex,      // a visible ".MIF"/".mif" file
        Folder,          // a visible folder, or a link to one inside the source tree
        Passed,          // a hidden folder: never entered
        LinkNotFollowed, // a link out of the source tree or back above itself
        Kept,            // a movie or the card's "LMR_SD" marker: never removed
        Stray            // anything else: the Import folder sends it to the Trash
    };

    struct Entry
    {
        QString path;
        Kind kind;
    };

    // The entries of a folder below sourceRoot, the canonical path of the folder the
    // outermost run was asked to import: a moving run never deletes anything outside
    // it. Nothing for a folder a run does not enter (inside a ".Trashes" folder).
    static QList<Entry> entries(const QString& folder, const QString& sourceRoot);
    static bool isPassedOverFolder(const QString& folder);

    // startCount plus the pictures below the folder, which size a card import's
    // progress bar: names ending in ".JPG" (upper case only) not beginning with ".";
    // every sub-folder but ".Trashes" is entered.
    static int pictureCount(const QString& folder, int startCount);
    // True when the folder is a symbolic link back to itself or a folder above it:
    // walking into it would never end.
    static bool isLoopingFolder(const QString& folder);
};

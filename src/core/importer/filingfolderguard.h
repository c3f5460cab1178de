#pragma once

#include <QString>

// Every folder an import run creates must lie inside the staging or destination
// folder it belongs to. Names come from pictures and settings, so whatever they
// hold (separators, "..") is checked on the whole path once more before the
// folder is made: a run never writes outside its own folders.
class FilingFolderGuard
{
public:
    // True when folder, with "." and ".." resolved in the text, lies below root.
    static bool isInside(const QString& folder, const QString& root);
    // Throws CopyFailedException naming both when folder does not lie below root.
    static void requireInside(const QString& folder, const QString& root);
};

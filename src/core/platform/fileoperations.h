#pragma once

#include "platform/posixerror.h"

#include <QString>

// The file operations the import runs need of the platform: the hidden test by
// Finder information, sending a file to the Trash, and the move that merges a
// folder tree into an existing one.
class FileOperations
{
public:
    // Name of the Finder information attribute as Linux file systems carry it
    // (attributes outside the "user." namespace cannot be set by users here).
    static const QString finderInfoAttributeName;

    // True only when the Finder information exists and carries nothing but the
    // invisible flag. Names beginning with "." are not looked at here.
    static bool isHideAttributeFile(const QString& path);

    // Moves the file or folder into the freedesktop Trash; a failure is logged.
    static bool moveTrash(const QString& path);

    // Moves a file or a folder tree to the destination. An existing destination
    // folder is merged into entry by entry; an existing file is replaced only with
    // overwriteDuplicateFile on. A file that meets a folder of its name is moved
    // beside that folder under the first free "name(n).ext". Works across file
    // systems (copy, flush, then remove the source). On failure the error receives
    // the failing call; entries moved before it stay moved.
    static bool moveItemAtPath(const QString& sourcePath, const QString& destinationPath,
                               PosixError* error, bool overwriteDuplicateFile);
};

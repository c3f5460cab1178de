#pragma once

#include <QString>

// The file operations the import runs need of the platform: the hidden test by
// Finder information and sending a file to the Trash.
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
};

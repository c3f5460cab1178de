#pragma once

#include <QString>
#include <optional>

struct ExifEntity;

// The block of eleven debug lines that describes each picture an import run
// handles: the file, its Exif texts and its maker note.
class ExifDebugLog
{
public:
    static void write(const ExifEntity& exifEntity, const QString& sourcePath);
    static QString nullToBlank(const std::optional<QString>& value);
};

#pragma once

#include <QString>
#include <optional>

struct ExifEntity;

// The test that a picture comes from one of the maker's cameras: its Exif image
// description, maker and model, each trimmed of blanks and tabs.
class CameraCheck
{
public:
    static bool isAcceptedCamera(const ExifEntity& exifEntity);
    // The text without the Unicode space separators and tabs at either end; an absent
    // text is empty.
    static QString trimBlanks(const std::optional<QString>& text);
};

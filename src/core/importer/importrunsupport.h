#pragma once

#include <QString>
#include <optional>

struct ExifEntity;

// The small operations around an import run: the test that a picture comes from one
// of the maker's cameras, the transferring marker that tells the folder watch a
// transfer is in progress, the picture count that sizes a card import's progress
// bar, and the block of debug lines that describes each picture handled.
class ImportRunSupport
{
public:
    // True when the picture comes from an accepted camera.
    static bool checkValidImageData(const ExifEntity& exifEntity);

    // The marker "$TMP" lives in the application data folder: the executable's
    // folder is not writable for users, and every run of the application (the
    // watch, the card import, talvoren-cli) finds it there.
    static QString transferringFilePath();
    // Creates the empty marker (replacing one that stands there); failures ignored.
    static void createTransferringFile();
    // Removes the marker; failures ignored.
    static void deleteTransferringFile();

    // startCount plus the pictures below the folder: names ending in ".JPG" (upper
    // case only) not beginning with "."; every sub-folder but ".Trashes" is entered.
    static int getTotalImageFileCount(const QString& folder, int startCount);

    // The eleven debug lines describing a picture; destFileName is not used.
    static void logoutExifInformation(const ExifEntity& exifEntity, const QString& srcFileName,
                                      const QString& destFileName);
    static QString nullToBlank(const std::optional<QString>& value);

    // True when the folder is a symbolic link back to itself or a folder above it:
    // walking into it would never end.
    static bool isLoopingFolder(const QString& folder);
};

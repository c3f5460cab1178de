#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

struct ExifEntity;

// The names an import run gives: the new file name of a picture, built from the
// shot's date-time, shooting mode, custom mode, orientation or colour and drawing
// flag, with a collision number when the name is taken; safe folder names for
// patient IDs and names; the thousand-group folder of numeric IDs; the hidden
// name of a sidecar.
//
// Two generations of maker note exist: below major version 4 the first set of
// operations names the picture, from 4 on the second set (names ending in 2).
class DestinationFileNaming
{
public:
    using Text = std::optional<QString>;

    // The full path of a free name for the picture in the staging folder, or none
    // when the same shot is staged there already (first and second set).
    static Text getValidNewImageFileName(const QString& folder, const Text& originalExtention,
                                         const ExifEntity& exifEntity);
    static Text getValidNewImageFileName2(const QString& folder, const Text& originalExtention,
                                          const ExifEntity& exifEntity);

    // The names standing in a staging folder, and the test whether the file of one
    // of them is the same shot as the picture being named.
    struct StagedNames
    {
        QStringList names;
        std::function<bool(const QString& name)> isSameShot;
    };
    // The choice of getValidNewImageFileName (first set below major version 4, else
    // the second) over the given names instead of the folder's files.
    static Text chooseNewImageFileName(const QString& folder, const Text& originalExtention,
                                       const ExifEntity& exifEntity, const StagedNames& staged);

    // The file name for a collision index (0 and 1 add no number); the extension
    // comes with its dot.
    static QString getNewImageFileName(const ExifEntity& exifEntity, int index,
                                       const QString& extention);
    static QString getNewImageFileName2(const ExifEntity& exifEntity, int index,
                                        const QString& extention);

    static QString getShootingModeString(const Text& shootingMode);
    static QString getShootingModeString2(const Text& shootingMode);
    static QString getCustomModeString(const Text& shootingMode, const Text& customMode);
    static QString getAdditionalInformationString(const Text& additionalInformation);
    static QString getAdditionalInformationString2(const Text& flipDirection);
    static QString getDrawFlagString(const Text& drawFlag);

    // True when the staged file is the same shot: same original date-time and
    // product number. A file that cannot be read is never the same shot.
    static bool checkNewImageFileExif(const ExifEntity& exifEntity, const QString& newFileName);

    static Text replaceDirectoryName(const Text& name);
    // The day folder of a picture: the day written with the folder date format, made
    // one folder name as patient folders are (a "/" becomes "_"); none when that
    // leaves an empty name, "." or "..".
    static Text getDayFolderName(const QDate& day, const QString& folderDateFormat);
    static QString getDividedFolderName(const QString& patientID);
    static QString getHideFileName(const QString& path);

    // The maker note's major version read as an integer (0 without a detailed record);
    // it chooses the set of naming operations and of sidecar template.
    static int majorVersion(const ExifEntity& exifEntity);
    // A picture can be named only from an original date-time of at least 19
    // characters ("yyyy:MM:dd HH:mm:ss") that puts no folder separator or NUL
    // into the name.
    static bool hasNameableDateTime(const ExifEntity& exifEntity);
};

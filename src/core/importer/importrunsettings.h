#pragma once

#include "settings/settingsdictionary.h"

#include <QString>

// The settings one import run works with, read once at its start: two keys from the
// map its caller gives, every other one from the current settings file.
struct ImportRunSettings
{
    static ImportRunSettings read(const SettingsDictionary& given,
                                  const SettingsDictionary& current);

    // From the given map.
    qint64 zeroPaddingLength = 0;
    bool avoidMultipleImport = false;
    // From the current settings.
    bool moveToTrash = false;
    QString temporaryFolder;
    bool dontSendPatientInformationImage = false;
    bool deleteOriginalImage = false;
    bool notSendingImage = false;
    bool zeroPadding = false;
    bool chopCount = false;
    bool dontAddPatientName = false;
    bool saveDaySubfolder = false;
    bool chopCameraSerialNumber = false;
    QString destinationFolderPath;
    bool destinationFolderMov = false;
    QString destinationFolderPathMov;
    bool deleteExifPersonalInfo = false;
    bool dontSendMif = false;
    bool exportXml = false;

    QString pictureStagingFolder() const { return temporaryFolder + QStringLiteral("/picture"); }
    QString movieStagingFolder() const { return temporaryFolder + QStringLiteral("/movie"); }
    // Where the movie staging folder is filed (and what movie records name).
    QString movieDestinationFolder() const
    {
        return destinationFolderMov ? destinationFolderPathMov : destinationFolderPath;
    }
    // "0" repeated the padding width (empty for a width of 0 or less).
    QString zeroPrefix() const;
};

#include "importer/importrunsettings.h"

#include "settings/settingkeys.h"

#include <algorithm>

ImportRunSettings ImportRunSettings::read(const SettingsDictionary& given,
                                          const SettingsDictionary& current)
{
    ImportRunSettings settings;
    settings.zeroPaddingLength = given.integerValue(SettingKeys::zeroPaddingLengthString);
    settings.avoidMultipleImport = given.boolValue(SettingKeys::activateAvoidMultipleImportCheck);
    settings.moveToTrash = current.boolValue(SettingKeys::moveToTrash);
    settings.temporaryFolder = current.stringValue(SettingKeys::defTmp);
    settings.dontSendPatientInformationImage =
        current.boolValue(SettingKeys::dontSendPatientInformationImage);
    settings.deleteOriginalImage = current.boolValue(SettingKeys::deleteOriginalImage);
    settings.notSendingImage = current.boolValue(SettingKeys::notSendingImage);
    settings.zeroPadding = current.boolValue(SettingKeys::zeroPadding);
    settings.chopCount = current.boolValue(SettingKeys::chopCount);
    settings.dontAddPatientName = current.boolValue(SettingKeys::dontAddPatientName);
    settings.saveDaySubfolder = current.boolValue(SettingKeys::saveDaySubfolder);
    settings.chopCameraSerialNumber = current.boolValue(SettingKeys::chopCameraSerialNumber);
    settings.destinationFolderPath = current.stringValue(SettingKeys::destinationFolderPath);
    settings.destinationFolderMov = current.boolValue(SettingKeys::destinationFolderMov);
    settings.destinationFolderPathMov = current.stringValue(SettingKeys::destinationFolderPathMov);
    settings.deleteExifPersonalInfo = current.boolValue(SettingKeys::deleteExifPersonalInfo);
    settings.dontSendMif = current.boolValue(SettingKeys::dontSendMif);
    settings.exportXml = current.boolValue(SettingKeys::exportXml);
    return settings;
}

QString ImportRunSettings::zeroPrefix() const
{
    // No folder name is longer than 255 bytes; a wider setting cannot mean more.
    constexpr qint64 widest = 255;
    return zeroPaddingLength > 0
               ? QString(static_cast<qsizetype>(std::min(zeroPaddingLength, widest)),
                         QLatin1Char('0'))
               : QString();
}

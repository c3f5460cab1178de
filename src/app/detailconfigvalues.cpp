#include "detailconfigvalues.h"

#include "settings/settingkeys.h"
#include "settings/settingsdictionary.h"

void DetailConfigValues::storeInto(SettingsDictionary& settings) const
{
    settings.setValue(SettingKeys::exportXml, exportXml);
    settings.setValue(SettingKeys::zeroPadding, zeroPadding);
    settings.setValue(SettingKeys::chopCameraSerialNumber, chopCameraSerialNumber);
    settings.setValue(SettingKeys::chopCount, chopCount);
    settings.setValue(SettingKeys::dontAddPatientName, dontAddPatientName);
    settings.setValue(SettingKeys::dontSendMif, dontSendMif);
    settings.setValue(SettingKeys::activateAvoidMultipleImportCheck,
                      activateAvoidMultipleImportCheck);
    settings.setValue(SettingKeys::deleteExifPersonalInfo, deleteExifPersonalInfo);
    settings.setValue(SettingKeys::notSendingImage, notSendingImage);
    settings.setValue(SettingKeys::moveToTrash, moveToTrash);
    if (zeroPadding) {
        settings.setValue(SettingKeys::zeroPaddingLength, zeroPaddingLength);
        settings.setValue(SettingKeys::zeroPaddingLengthString, zeroPaddingLengthString);
    }
}

#include "importer/importrunsettings.h"

#include "settings/settingkeys.h"

#include <algorithm>
#include <utility>

namespace {
// The switches read from the current settings, each with its key.
const std::pair<bool ImportRunSettings::*, QLatin1String> currentSwitches[] = {
    {&ImportRunSettings::moveToTrash, SettingKeys::moveToTrash},
    {&ImportRunSettings::dontSendPatientInformationImage,
     SettingKeys::dontSendPatientInformationImage},
    {&ImportRunSettings::deleteOriginalImage, SettingKeys::deleteOriginalImage},
    {&ImportRunSettings::notSendingImage, SettingKeys::notSendingImage},
    {&ImportRunSettings::zeroPadding, SettingKeys::zeroPadding},
    {&ImportRunSettings::chopCount, SettingKeys::chopCount},
    {&ImportRunSettings::dontAddPatientName, SettingKeys::dontAddPatientName},
    {&ImportRunSettings::saveDaySubfolder, SettingKeys::saveDaySubfolder},
    {&ImportRunSettings::chopCameraSerialNumber, SettingKeys::chopCameraSerialNumber},
    {&ImportRunSettings::destinationFolderMov, SettingKeys::destinationFolderMov},
    {&ImportRunSettings::deleteExifPersonalInfo, SettingKeys::deleteExifPersonalInfo},
    {&ImportRunSettings::dontSendMif, SettingKeys::dontSendMif},
    {&ImportRunSettings::exportXml, SettingKeys::exportXml},
};
} // namespace

ImportRunSettings ImportRunSettings::read(const SettingsDictionary& given,
                                          const SettingsDictionary& current)
{
    ImportRunSettings settings;
    settings.zeroPaddingLength = given.integerValue(SettingKeys::zeroPaddingLengthString);
    settings.avoidMultipleImport = given.boolValue(SettingKeys::activateAvoidMultipleImportCheck);
    for (const auto& [member, key] : currentSwitches)
        settings.*member = current.boolValue(key);
    settings.temporaryFolder = current.stringValue(SettingKeys::defTmp);
    settings.destinationFolderPath = current.stringValue(SettingKeys::destinationFolderPath);
    settings.destinationFolderPathMov = current.stringValue(SettingKeys::destinationFolderPathMov);
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

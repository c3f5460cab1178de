#pragma once

#include <QLatin1String>

// The keys of the settings file, spelled exactly as the file stores them (spaces,
// lower case and misspellings included). Every module reads and writes the
// settings through these names so that no key is ever typed twice.
namespace SettingKeys {
// General and watching.
inline constexpr QLatin1String autoStartUp{"auto start up"};
inline constexpr QLatin1String watchRemovableDiskDrive{"watch removable disk drive"};
inline constexpr QLatin1String confirmBeforeSending{"confirm before sending"};
inline constexpr QLatin1String ejectRemovableDevice{"eject removable device"};
inline constexpr QLatin1String watchFolder{"watch folder"};
inline constexpr QLatin1String watchFolderPath{"watch folder path"};
inline constexpr QLatin1String fileDetectionWaitTime{"file detection wait time"};
inline constexpr QLatin1String waitSecondsForCheckingDesignatedFolder{
    "the wait seconds for checking designated folder"};

// Destination.
inline constexpr QLatin1String destinationFolderPath{"destination folder path"};
inline constexpr QLatin1String destinationFolderMov{"destination folder mov"};
inline constexpr QLatin1String destinationFolderPathMov{"destination folder path mov"};
inline constexpr QLatin1String deleteOriginalImage{"delete original image"};
inline constexpr QLatin1String dontSendPatientInformationImage{
    "dont send patient information image"};
inline constexpr QLatin1String saveDaySubfolder{"save day subfolder"};
inline constexpr QLatin1String dateFormat{"date format"};
inline constexpr QLatin1String dateFormatString{"date format string"};

// Naming and import options.
inline constexpr QLatin1String exportXml{"export xml"};
inline constexpr QLatin1String zeroPadding{"zero padding"};
inline constexpr QLatin1String zeroPaddingLength{"zero padding length"};
inline constexpr QLatin1String zeroPaddingLengthString{"zero padding length string"};
inline constexpr QLatin1String chopCameraSerialNumber{"chop camera serial number"};
inline constexpr QLatin1String chopCount{"chop count"};
inline constexpr QLatin1String dontAddPatientName{"dont add patient name"};
inline constexpr QLatin1String dontSendMif{"dont send mif"};
inline constexpr QLatin1String activateAvoidMultipleImportCheck{
    "activate avoid multiple import check"};
inline constexpr QLatin1String deleteExifPersonalInfo{"delete exif personal info"};
inline constexpr QLatin1String notSendingImage{"not sending image"};
inline constexpr QLatin1String moveToTrash{"move to trash"};

// Network checks, maintenance and notices.
inline constexpr QLatin1String versionCheckSite{"version check site"};
inline constexpr QLatin1String manualVersionCheckSite{"manual version check site"};
inline constexpr QLatin1String informationCheckSite{"information check site"};
inline constexpr QLatin1String informationCheckSiteEnglish{"information check site english"};
inline constexpr QLatin1String checkedInformationId{"checked information id"};
inline constexpr QLatin1String deleteImportedFileRecordIntervalTime{
    "delete imported file record interval time"};
inline constexpr QLatin1String lastDeleteImportedFileRecordDatetime{
    "last delete imported file record datetime"};
inline constexpr QLatin1String displayDesktopNotice{"display desktop notice"};
inline constexpr QLatin1String onlyCameraFormatedSD{"only camera formated SD"};

// Folders and logging.
inline constexpr QLatin1String defSetting{"def setting"};
inline constexpr QLatin1String defImp{"def imp"};
inline constexpr QLatin1String defLog{"def log"};
inline constexpr QLatin1String defTmp{"def tmp"};
inline constexpr QLatin1String isOutputLog{"is output log"};
inline constexpr QLatin1String logFileKeepDays{"log file keep days"};

// Bookkeeping: the build that last wrote the file, a string holding an integer.
inline constexpr QLatin1String lastBuildNumber{"last build number"};

// Written by old builds; the upgrade removes them.
inline constexpr QLatin1String idNumberZeroPadding{"id number zero padding"};
inline constexpr QLatin1String ejectRemovavleDevice{"eject removavle device"};
} // namespace SettingKeys

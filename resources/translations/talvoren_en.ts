<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name></name>
    <message id="ApplicationMessage8">
        <source>TalvorenManual.pdf</source>
        <translation>TalvorenManual.pdf</translation>
    </message>
    <message id="ApplicationMessage25">
        <source>The watch folder "%@" cannot be found, so it is not being watched. Please choose an existing folder in the settings.</source>
        <translation>The watch folder "%@" cannot be found, so it is not being watched. Please choose an existing folder in the settings.</translation>
    </message>
    <message id="ApplicationMessage26">
        <source>The destination folder "%@" cannot be found. Please check that its drive is connected, or choose another destination folder in the settings.</source>
        <translation>The destination folder "%@" cannot be found. Please check that its drive is connected, or choose another destination folder in the settings.</translation>
    </message>
    <message id="ApplicationMessage27">
        <source>Pictures could not be imported.
%@</source>
        <translation>Pictures could not be imported.
%@</translation>
    </message>
    <message id="AlertWindow_Title">
        <source>Talvoren</source>
        <translation>Talvoren</translation>
    </message>
    <message id="AlertWindow_CloseButton">
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message id="ProgressWindow_Title">
        <source>Importing Pictures</source>
        <translation>Importing Pictures</translation>
    </message>
    <message id="ProgressWindow_MessageLabel">
        <source>Importing pictures from the camera card. Please do not remove the card.</source>
        <translation>Importing pictures from the camera card. Please do not remove the card.</translation>
    </message>
    <message id="CopyResultWindow_Title">
        <source>Import Finished</source>
        <translation>Import Finished</translation>
    </message>
    <message id="CopyResultWindow_CloseButton">
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message id="CopyResultWindow_MessageLabel">
        <source> file(s) imported from the camera card.</source>
        <translation> file(s) imported from the camera card.</translation>
    </message>
    <message id="CopyResultWindow_NoImageMessageLabel">
        <source>The camera card holds no new pictures to import.</source>
        <translation>The camera card holds no new pictures to import.</translation>
    </message>
    <message id="ReadConfirmWindow_Title">
        <source>Read Settings</source>
        <translation>Read Settings</translation>
    </message>
    <message id="ReadConfirmWindow_Message">
        <source>A settings file (TalvorenSetting.xml) was found in the Talvoren folder of your Documents folder. Do you want to read it and replace the current settings?</source>
        <translation>A settings file (TalvorenSetting.xml) was found in the Talvoren folder of your Documents folder. Do you want to read it and replace the current settings?</translation>
    </message>
    <message id="ReadConfirmWindow_OkButton">
        <source>Read</source>
        <translation>Read</translation>
    </message>
    <message id="ReadConfirmWindow_CancelButton">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="SDCopyConfirmWindow_Title">
        <source>Camera Card Found</source>
        <translation>Camera Card Found</translation>
    </message>
    <message id="SDCopyConfirmWindow_MessageLabel">
        <source>A camera card has been inserted. Do you want to import its pictures now?</source>
        <translation>A camera card has been inserted. Do you want to import its pictures now?</translation>
    </message>
    <message id="SDCopyConfirmWindow_OKButton">
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message id="SDCopyConfirmWindow_CancelButton">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="DuplicateWindow_Title">
        <source>Talvoren</source>
        <translation>Talvoren</translation>
    </message>
    <message id="DuplicateWindow_MessageLabel">
        <source>Talvoren is already running. You can reach it from its icon in the system tray.</source>
        <translation>Talvoren is already running. You can reach it from its icon in the system tray.</translation>
    </message>
    <message id="VersionInformationWindow_Title">
        <source>About Talvoren</source>
        <translation>About Talvoren</translation>
    </message>
    <message id="VersionInformationWindow_ApplicationNameLabel">
        <source>Talvoren</source>
        <translation>Talvoren</translation>
    </message>
    <message id="VersionInformationWindow_DetailLabel">
        <source>Picture filing for Lumora intra-oral cameras</source>
        <translation>Picture filing for Lumora intra-oral cameras</translation>
    </message>
    <message id="VersionInformationWindow_DescriptionLabel">
        <source>Talvoren files the pictures of your camera into patient folders as soon as they arrive from the watch folder, the Import folder or a camera card.</source>
        <translation>Talvoren files the pictures of your camera into patient folders as soon as they arrive from the watch folder, the Import folder or a camera card.</translation>
    </message>
    <message id="VersionInformationWindow_VersionLabel">
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message id="VersionInformationWindow_CopyrightLabel">
        <source>Copyright © Talvoren. All rights reserved.</source>
        <translation>Copyright © Talvoren. All rights reserved.</translation>
    </message>
    <message id="HelpWindow_Title">
        <source>Talvoren Help</source>
        <translation>Talvoren Help</translation>
    </message>
    <message id="StatusBarMenu_Preferences">
        <source>Settings…</source>
        <translation>Settings…</translation>
    </message>
    <message id="StatusBarMenu_ShowDestination">
        <source>Open Destination Folder</source>
        <translation>Open Destination Folder</translation>
    </message>
    <message id="StatusBarMenu_ShowDestinationPicture">
        <source>Open Picture Folder</source>
        <translation>Open Picture Folder</translation>
    </message>
    <message id="StatusBarMenu_ShowDestinationMovie">
        <source>Open Movie Folder</source>
        <translation>Open Movie Folder</translation>
    </message>
    <message id="StatusBarMenu_VersionInformation">
        <source>About Talvoren</source>
        <translation>About Talvoren</translation>
    </message>
    <message id="StatusBarMenu_Help">
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message id="StatusBarMenu_RemoteSupport">
        <source>Remote Support</source>
        <translation>Remote Support</translation>
    </message>
    <message id="StatusBarMenu_Quit">
        <source>Quit Talvoren</source>
        <translation>Quit Talvoren</translation>
    </message>
    <message id="ApplicationMessage2">
        <source>Please choose the watch folder.</source>
        <translation>Please choose the watch folder.</translation>
    </message>
    <message id="ApplicationMessage5">
        <source>Please choose at least one thing to watch: camera cards or a watch folder.</source>
        <translation>Please choose at least one thing to watch: camera cards or a watch folder.</translation>
    </message>
    <message id="ApplicationMessage6">
        <source>The destination folder cannot be the watch folder or a folder inside it. Please choose another destination folder.</source>
        <translation>The destination folder cannot be the watch folder or a folder inside it. Please choose another destination folder.</translation>
    </message>
    <message id="ApplicationMessage19">
        <source>Talvoren could not check for updates. Please check the network connection and try again later.</source>
        <translation>Talvoren could not check for updates. Please check the network connection and try again later.</translation>
    </message>
    <message id="ApplicationMessage99">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="ConfigWindow_Title">
        <source>Talvoren Settings</source>
        <translation>Talvoren Settings</translation>
    </message>
    <message id="ConfigWindow_GeneralBoxTitle">
        <source>General</source>
        <translation>General</translation>
    </message>
    <message id="ConfigWindow_WatchBoxTitle">
        <source>Watching</source>
        <translation>Watching</translation>
    </message>
    <message id="ConfigWindow_DestinationBoxTitle">
        <source>Destination</source>
        <translation>Destination</translation>
    </message>
    <message id="ConfigWindow_AutoStartupButton">
        <source>Start Talvoren when you log in</source>
        <translation>Start Talvoren when you log in</translation>
    </message>
    <message id="ConfigWindow_WatchRemovableDiskDriveButton">
        <source>Import from camera cards (removable disks)</source>
        <translation>Import from camera cards (removable disks)</translation>
    </message>
    <message id="ConfigWindow_NoticeLabel">
        <source>When a camera card is inserted:</source>
        <translation>When a camera card is inserted:</translation>
    </message>
    <message id="ConfigWindow_ConfirmBeforeSending">
        <source>Ask before importing</source>
        <translation>Ask before importing</translation>
    </message>
    <message id="ConfigWindow_AutoSending">
        <source>Import automatically</source>
        <translation>Import automatically</translation>
    </message>
    <message id="ConfigWindow_EjectRemovableDeviceButton">
        <source>Eject the card after importing</source>
        <translation>Eject the card after importing</translation>
    </message>
    <message id="ConfigWindow_AutoEjectRemovableDeviceLabel">
        <source>The card is ejected as soon as all of its pictures have been imported.</source>
        <translation>The card is ejected as soon as all of its pictures have been imported.</translation>
    </message>
    <message id="ConfigWindow_WatchFolderButton">
        <source>Watch this folder for new pictures:</source>
        <translation>Watch this folder for new pictures:</translation>
    </message>
    <message id="ConfigWindow_WatchFolderTextButton">
        <source>Choose…</source>
        <translation>Choose…</translation>
    </message>
    <message id="ConfigWindow_DestinationTextFieldButton">
        <source>Choose…</source>
        <translation>Choose…</translation>
    </message>
    <message id="ConfigWindow_ExportOtherDestinationMOVImageButton">
        <source>Send movies to a separate folder:</source>
        <translation>Send movies to a separate folder:</translation>
    </message>
    <message id="ConfigWindow_DestinationMOVTextButton">
        <source>Choose…</source>
        <translation>Choose…</translation>
    </message>
    <message id="ConfigWindow_DeleteOriginalImageButton">
        <source>Delete the original pictures after importing</source>
        <translation>Delete the original pictures after importing</translation>
    </message>
    <message id="ConfigWindow_DeleteOriginalImageLabel">
        <source>Pictures on camera cards and in the watch folder are removed once they have been filed.</source>
        <translation>Pictures on camera cards and in the watch folder are removed once they have been filed.</translation>
    </message>
    <message id="ConfigWindow_DontSendPatientInformationImageButton">
        <source>Do not file pictures of the patient information screen</source>
        <translation>Do not file pictures of the patient information screen</translation>
    </message>
    <message id="ConfigWindow_SaveDayFolder">
        <source>Make a folder for each day inside the patient folder</source>
        <translation>Make a folder for each day inside the patient folder</translation>
    </message>
    <message id="ConfigWindow_DateFormatLabel">
        <source>Folder name:</source>
        <translation>Folder name:</translation>
    </message>
    <message id="ConfigWindow_OKButton">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="ConfigWindow_CancelButton">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="ConfigWindow_ApplyButton">
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message id="ConfigWindow_DetailConfigButton">
        <source>Details…</source>
        <translation>Details…</translation>
    </message>
    <message id="ConfigWindow_ExportSettingFileFailed">
        <source>The settings could not be exported to "%@". A file of that name may already exist there: please choose another name or folder.</source>
        <translation>The settings could not be exported to "%@". A file of that name may already exist there: please choose another name or folder.</translation>
    </message>
    <message id="DetailConfigWindow_ExportSettingFileButton">
        <source>Export Settings…</source>
        <translation>Export Settings…</translation>
    </message>
    <message id="DetailConfigWindow_Title">
        <source>Detail Settings</source>
        <translation>Detail Settings</translation>
    </message>
    <message id="DetailConfigWindow_XMLExportTitle">
        <source>Write an XML file with the picture information beside each picture</source>
        <translation>Write an XML file with the picture information beside each picture</translation>
    </message>
    <message id="DetailConfigWindow_ZeroPaddingTitle">
        <source>Fill patient IDs with leading zeros</source>
        <translation>Fill patient IDs with leading zeros</translation>
    </message>
    <message id="DetailConfigWindow_ZeroPaddingLengthLabel">
        <source>Number of digits:</source>
        <translation>Number of digits:</translation>
    </message>
    <message id="DetailConfigWindow_SerialNoTitle">
        <source>Make a folder for each camera (by serial number)</source>
        <translation>Make a folder for each camera (by serial number)</translation>
    </message>
    <message id="DetailConfigWindow_ChopCountTitle">
        <source>Group patient folders by thousands of patient IDs</source>
        <translation>Group patient folders by thousands of patient IDs</translation>
    </message>
    <message id="DetailConfigWindow_PatientIDNoticeMessage">
        <source>Only patient IDs made of digits are grouped.</source>
        <translation>Only patient IDs made of digits are grouped.</translation>
    </message>
    <message id="DetailConfigWindow_DontAddPatientNameTitle">
        <source>Name patient folders by the ID only, without the patient name</source>
        <translation>Name patient folders by the ID only, without the patient name</translation>
    </message>
    <message id="DetailConfigWindow_dontSendMIFTitle">
        <source>File only the movie of a movie picture, not its MIF picture</source>
        <translation>File only the movie of a movie picture, not its MIF picture</translation>
    </message>
    <message id="DetailConfigWindow_NoticeMessage">
        <source>Changes apply to pictures imported from now on; pictures already filed stay where they are.</source>
        <translation>Changes apply to pictures imported from now on; pictures already filed stay where they are.</translation>
    </message>
    <message id="DetailConfigWindow_ActivateAvoidMultipleImportCheck">
        <source>Skip pictures that have been imported before</source>
        <translation>Skip pictures that have been imported before</translation>
    </message>
    <message id="DetailConfigWindow_NotSendingImageButton">
        <source>Do not file pictures without a patient ID</source>
        <translation>Do not file pictures without a patient ID</translation>
    </message>
    <message id="DetailConfigWindow_DeleteExifPersonalInfoButton">
        <source>Remove personal information from the filed copies</source>
        <translation>Remove personal information from the filed copies</translation>
    </message>
    <message id="DetailConfigWindow_MoveToTrashButton">
        <source>Move deleted originals to the Trash</source>
        <translation>Move deleted originals to the Trash</translation>
    </message>
    <message id="DetailConfigWindow_CloseButton">
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message id="UpdateCheckWindow_Title">
        <source>Software Update</source>
        <translation>Software Update</translation>
    </message>
    <message id="UpdateCheckWindow_ApplicationNameLabel">
        <source>Talvoren</source>
        <translation>Talvoren</translation>
    </message>
    <message id="UpdateCheckWindow_Message1">
        <source>A new version of Talvoren is available:</source>
        <translation>A new version of Talvoren is available:</translation>
    </message>
    <message id="UpdateCheckWindow_Message2">
        <source>Click the address to open the download page.</source>
        <translation>Click the address to open the download page.</translation>
    </message>
    <message id="UpdateCheckWindow_Message3">
        <source>Talvoren is up to date.</source>
        <translation>Talvoren is up to date.</translation>
    </message>
    <message id="UpdateCheckWindow_CloseButton">
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message id="InformationCheckWindow_Title">
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message id="InformationCheckWindow_AfterButton">
        <source>Later</source>
        <translation>Later</translation>
    </message>
    <message id="InformationCheckWindow_OKButton">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="StatusBarMenu_UpdateCheck">
        <source>Check for Updates…</source>
        <translation>Check for Updates…</translation>
    </message>
    <message id="ConfigWindow_SettingRefused">
        <source>These settings cannot be saved.
%@</source>
        <translation>These settings cannot be saved.
%@</translation>
    </message>
    <message id="ReadConfirmWindow_ImportFailed">
        <source>The settings file was not imported.
%@</source>
        <translation>The settings file was not imported.
%@</translation>
    </message>
    <message id="ApplicationMessage_SettingsProblem">
        <source>Talvoren imports no pictures until this is put right.
%@</source>
        <translation>Talvoren imports no pictures until this is put right.
%@</translation>
    </message>
    <message id="StatusBarMenu_RecentImports">
        <source>Recent Imports…</source>
        <translation>Recent Imports…</translation>
    </message>
    <message id="CardPreview_Reading">
        <source>Reading the card…</source>
        <translation>Reading the card…</translation>
    </message>
    <message id="CardPreview_Summary">
        <source>Card %@: %@ picture(s), %@ new.</source>
        <translation>Card %@: %@ picture(s), %@ new.</translation>
    </message>
    <message id="CardPreview_PatientColumn">
        <source>Patient folder</source>
        <translation>Patient folder</translation>
    </message>
    <message id="CardPreview_CountColumn">
        <source>Pictures</source>
        <translation>Pictures</translation>
    </message>
    <message id="CardPreview_ReasonColumn">
        <source>Folder or reason</source>
        <translation>Folder or reason</translation>
    </message>
    <message id="CardPreview_ApartLabel">
        <source>Without patient ID, or not filed:</source>
        <translation>Without patient ID, or not filed:</translation>
    </message>
    <message id="CardPreview_StillWritten">
        <source>Still being written (left for later)</source>
        <translation>Still being written (left for later)</translation>
    </message>
    <message id="CardPreview_NotCameraPicture">
        <source>Not from an accepted camera</source>
        <translation>Not from an accepted camera</translation>
    </message>
    <message id="CardPreview_NoDateTime">
        <source>No usable shooting date</source>
        <translation>No usable shooting date</translation>
    </message>
    <message id="CardPreview_NotSent">
        <source>No patient ID (not filed)</source>
        <translation>No patient ID (not filed)</translation>
    </message>
    <message id="CardPreview_DuplicateInRun">
        <source>Same picture twice on the card</source>
        <translation>Same picture twice on the card</translation>
    </message>
    <message id="CardPreview_AlreadyImported">
        <source>Already imported</source>
        <translation>Already imported</translation>
    </message>
    <message id="CardPreview_RecordOnly">
        <source>Patient-information picture (recorded only)</source>
        <translation>Patient-information picture (recorded only)</translation>
    </message>
    <message id="CopyResultWindow_OpenFolderButton">
        <source>Open Folder</source>
        <translation>Open Folder</translation>
    </message>
    <message id="RecentImportsWindow_Title">
        <source>Recent Imports</source>
        <translation>Recent Imports</translation>
    </message>
    <message id="RecentImportsWindow_FilterLabel">
        <source>Patient:</source>
        <translation>Patient:</translation>
    </message>
    <message id="RecentImportsWindow_FilterPlaceholder">
        <source>Patient ID or name</source>
        <translation>Patient ID or name</translation>
    </message>
    <message id="RecentImportsWindow_PictureColumn">
        <source>Picture</source>
        <translation>Picture</translation>
    </message>
    <message id="RecentImportsWindow_TimeColumn">
        <source>Imported</source>
        <translation>Imported</translation>
    </message>
    <message id="RecentImportsWindow_FolderColumn">
        <source>Patient folder</source>
        <translation>Patient folder</translation>
    </message>
    <message id="RecentImportsWindow_NameColumn">
        <source>File name</source>
        <translation>File name</translation>
    </message>
    <message id="RecentImportsWindow_OriginalColumn">
        <source>Original name</source>
        <translation>Original name</translation>
    </message>
    <message id="RecentImportsWindow_PresentColumn">
        <source>On disk</source>
        <translation>On disk</translation>
    </message>
    <message id="RecentImportsWindow_Present">
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message id="RecentImportsWindow_Missing">
        <source>Missing</source>
        <translation>Missing</translation>
    </message>
    <message id="RecentImportsWindow_Count">
        <source>%@ picture(s), newest first. Double-click a row to open its folder.</source>
        <translation>%@ picture(s), newest first. Double-click a row to open its folder.</translation>
    </message>
</context>
</TS>

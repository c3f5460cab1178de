#include "configwindowtestsupport.h"

#include "common/talvorencommon.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "watch/watchfoldertimermanager.h"
#include "watch/watchsdcardoperator.h"

#include <QDir>
#include <QPushButton>

void ConfigWindowTest::SetUp()
{
    clinicFolder = TalvorenCommon::getPicturesDirectory() + QStringLiteral("/Clinic");
    dropFolder = QDir::homePath() + QStringLiteral("/camera-drop");
    WatchSDCardOperator::setSourceFactory(
        [](std::chrono::milliseconds) { return std::make_unique<QuietVolumeChangeSource>(); });
    writeSettings();
}

void ConfigWindowTest::TearDown()
{
    WindowTest::TearDown();
    WatchFolderTimerManager::sharedInstance()->stopWatchFolderTimer();
    WatchSDCardOperator().stopWatchingSDCardFolder();
    WatchSDCardOperator::setSourceFactory(nullptr);
    processDeferredDeletes();
}

void ConfigWindowTest::writeSettings(const std::function<void(SettingsDictionary&)>& change)
{
    using namespace SettingKeys;
    SettingsDictionary settings;
    settings.setValue(autoStartUp, false);
    settings.setValue(watchRemovableDiskDrive, true);
    settings.setValue(confirmBeforeSending, 1001);
    settings.setValue(ejectRemovableDevice, false);
    settings.setValue(watchFolder, false);
    settings.setValue(watchFolderPath, dropFolder);
    settings.setValue(fileDetectionWaitTime, 15000.0);
    settings.setValue(destinationFolderPath, clinicFolder);
    settings.setValue(destinationFolderMov, false);
    settings.setValue(destinationFolderPathMov, QStringLiteral("/srv/movies"));
    settings.setValue(deleteOriginalImage, false);
    settings.setValue(dontSendPatientInformationImage, false);
    settings.setValue(saveDaySubfolder, false);
    settings.setValue(dateFormat, 0);
    settings.setValue(dateFormatString, QStringLiteral("yyyy-MM-dd"));
    settings.setValue(exportXml, false);
    settings.setValue(zeroPadding, true);
    settings.setValue(zeroPaddingLength, 6);
    settings.setValue(zeroPaddingLengthString, 10);
    settings.setValue(chopCameraSerialNumber, false);
    settings.setValue(chopCount, false);
    settings.setValue(dontAddPatientName, false);
    settings.setValue(dontSendMif, false);
    settings.setValue(activateAvoidMultipleImportCheck, true);
    settings.setValue(deleteExifPersonalInfo, false);
    settings.setValue(notSendingImage, false);
    settings.setValue(moveToTrash, true);
    settings.setValue(lastBuildNumber, QString::number(TalvorenCommon::buildNumber()));
    if (change)
        change(settings);
    ASSERT_TRUE(UserSettings::write(settings));
}

SettingsDictionary ConfigWindowTest::storedSettings()
{
    return UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
}

ConfigWindowController* ConfigWindowTest::openConfigWindow()
{
    auto* config = manager.windowController<ConfigWindowController>(TalvorenWindowId::ConfigWindow);
    config->showWindow();
    return config;
}

DetailConfigWindowController* ConfigWindowTest::openDetailWindow(ConfigWindowController* config)
{
    field<QPushButton>(config, "detailButton")->click();
    return qobject_cast<DetailConfigWindowController*>(
        manager.getWindowController(TalvorenWindowId::DetailConfigWindow));
}

QMessageBox* ConfigWindowTest::sheetOf(BaseWindowController* controller)
{
    for (QMessageBox* sheet : controller->window()->findChildren<QMessageBox*>()) {
        if (sheet->isVisible())
            return sheet;
    }
    return nullptr;
}

void ConfigWindowTest::dismissSheet(BaseWindowController* controller)
{
    if (QMessageBox* sheet = sheetOf(controller))
        sheet->buttons().constFirst()->click();
    processDeferredDeletes();
}

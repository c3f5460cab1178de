#include "configwindowtestsupport.h"

#include "common/applicationresources.h"
#include "common/talvorencommon.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "watch/watchfoldertimermanager.h"
#include "watch/watchsdcardoperator.h"

#include <QDir>
#include <QPushButton>

using namespace Qt::StringLiterals;

void ConfigWindowTest::SetUp()
{
    clinicFolder = TalvorenCommon::getPicturesDirectory() + u"/Clinic"_s;
    dropFolder = QDir::homePath() + u"/camera-drop"_s;
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
    ApplicationResources::setOverrideDirectory(
        QStringLiteral(TALVOREN_BINARY_DIR "/share/talvoren"));
    std::optional<SettingsDictionary> settings =
        SettingsDictionary::read(UserSettings::defaultPlistPath());
    ApplicationResources::setOverrideDirectory({});
    ASSERT_TRUE(settings.has_value());
    using namespace SettingKeys;
    settings->setValue(autoStartUp, false);
    settings->setValue(watchFolderPath, dropFolder);
    settings->setValue(destinationFolderPath, clinicFolder);
    settings->setValue(destinationFolderPathMov, u"/srv/movies"_s);
    settings->setValue(lastBuildNumber, QString::number(TalvorenCommon::buildNumber()));
    if (change)
        change(*settings);
    ASSERT_TRUE(UserSettings::write(*settings));
}

SettingsDictionary ConfigWindowTest::storedSettings()
{
    return UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
}

void ConfigWindowTest::expectStored(
    std::initializer_list<std::pair<QLatin1String, std::optional<SettingValue>>> expected)
{
    const SettingsDictionary stored = storedSettings();
    for (const auto& [key, value] : expected)
        EXPECT_EQ(stored.value(key), value) << key.data();
}

ConfigWindowController* ConfigWindowTest::openConfigWindow()
{
    return open<ConfigWindowController>(TalvorenWindowId::ConfigWindow);
}

DetailConfigWindowController* ConfigWindowTest::openDetailWindow(ConfigWindowController* config)
{
    field<QPushButton>(config, "detailButton")->click();
    return qobject_cast<DetailConfigWindowController*>(
        manager.getWindowController(TalvorenWindowId::DetailConfigWindow));
}

QMessageBox* ConfigWindowTest::sheetOf(BaseWindowController* controller)
{
    for (QMessageBox* sheet : controller->window()->findChildren<QMessageBox*>())
        if (sheet->isVisible())
            return sheet;
    return nullptr;
}

void ConfigWindowTest::dismissSheet(BaseWindowController* controller)
{
    if (QMessageBox* sheet = sheetOf(controller))
        sheet->buttons().constFirst()->click();
    processDeferredDeletes();
}

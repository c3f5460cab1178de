// Writes pictures of the settings, update and notice windows in each language to
// <build>/screenshots, for people to look at; nothing here compares pixels.
#include "configwindowtestsupport.h"
#include "informationcheckwindowcontroller.h"
#include "localizedstrings.h"
#include "screenshot.h"
#include "settings/settingkeys.h"
#include "updatecheckwindowcontroller.h"
#include "windowtestsupport.h"

#include <QCheckBox>
#include <QPushButton>

class SettingsWindowScreenshots : public ConfigWindowTest
{
protected:
    void TearDown() override
    {
        LocalizedStrings::setLanguage({});
        UpdateCheckWindowController::setCheck({});
        InformationCheckWindowController::setCheck({});
        InformationCheckWindowController::setFirstPreferredLanguage({});
        ConfigWindowTest::TearDown();
    }
};

TEST_F(SettingsWindowScreenshots, SettingsUpdateAndNoticeWindowsInEveryLanguage)
{
    writeSettings([this](SettingsDictionary& settings) {
        settings.setValue(SettingKeys::watchFolder, true);
        settings.setValue(SettingKeys::saveDaySubfolder, true);
        settings.setValue(SettingKeys::watchFolderPath, QStringLiteral("/srv/camera-drop"));
        settings.setValue(SettingKeys::destinationFolderPath, clinicFolder);
    });
    const auto newerVersion = [] {
        return UpdateCheckResult{false,
                                 true,
                                 QStringLiteral("Talvoren 1.5"),
                                 QStringLiteral("(2024/02/01)"),
                                 QStringLiteral("1.50"),
                                 QStringLiteral("https://updates.talvoren.example/talvoren/1.5/")};
    };
    InformationCheckWindowController::setCheck([] {
        InformationCheckResult result;
        result.available = true;
        result.id = 12;
        result.japaneseTitle = QStringLiteral("サーバーメンテナンスのお知らせ");
        result.japaneseText =
            QStringLiteral("3月2日(土) 22:00から翌6:00まで、更新サーバーを停止します。<br>"
                           "この間はアップデートの確認ができません。");
        result.japaneseLink = QStringLiteral("https://www.talvoren.example/ja/news/12");
        result.englishTitle = QStringLiteral("Server maintenance");
        result.englishText = QStringLiteral(
            "The update server is down for maintenance on Saturday, 2 March, from 22:00 to "
            "6:00.<br>Updates cannot be checked during this time.");
        result.englishLink = QStringLiteral("https://www.talvoren.example/en/news/12");
        return result;
    });

    for (const QString& language : LocalizedStrings::availableLanguages()) {
        LocalizedStrings::setLanguage(language);
        InformationCheckWindowController::setFirstPreferredLanguage(language);

        ConfigWindowController* config = openConfigWindow();
        saveScreenshot(config->window(), language, QStringLiteral("ConfigWindowController"));

        auto* detail = manager.windowController<DetailConfigWindowController>(
            TalvorenWindowId::DetailConfigWindow);
        detail->setShowAllItems(true);
        openDetailWindow(config);
        saveScreenshot(detail->window(), language,
                       QStringLiteral("DetailConfigWindowController-allItems"));
        detail->close();
        processDeferredDeletes();
        detail = openDetailWindow(config);
        saveScreenshot(detail->window(), language, QStringLiteral("DetailConfigWindowController"));
        detail->close();
        processDeferredDeletes();

        // The sheet of a failed check.
        field<QCheckBox>(config, "watchFolderButton")->click();
        field<QCheckBox>(config, "watchRemovableDiskDriveButton")->click();
        field<QPushButton>(config, "applyButton")->click();
        ASSERT_NE(sheetOf(config), nullptr);
        saveScreenshot(sheetOf(config), language, QStringLiteral("ConfigWindowController-sheet"));
        dismissSheet(config);
        config->close();
        processDeferredDeletes();

        UpdateCheckWindowController::setCheck(newerVersion);
        captureAndClose(manager.getWindowController(TalvorenWindowId::UpdateCheckWindow), language,
                        QStringLiteral("UpdateCheckWindowController"));
        UpdateCheckWindowController::setCheck([] { return UpdateCheckResult{}; });
        captureAndClose(manager.getWindowController(TalvorenWindowId::UpdateCheckWindow), language,
                        QStringLiteral("UpdateCheckWindowController-upToDate"));
        captureAndClose(manager.getWindowController(TalvorenWindowId::InformationCheckWindow),
                        language, QStringLiteral("InformationCheckWindowController"));
    }
}

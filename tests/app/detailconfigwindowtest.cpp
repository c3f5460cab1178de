#include "configwindowtestsupport.h"
#include "localizedstrings.h"
#include "settings/settingkeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace SettingKeys;

namespace {
const char* const rarelyUsedOptions[] = {
    "exportXmlButton",       "dontAddPatientNameButton",     "dontSendMIFButton",
    "notSendingImageButton", "deleteExifPersonalInfoButton", "moveToTrashButton"};
const char* const everydayOptions[] = {"zeroPaddingButton", "chopCameraSerialNumberButton",
                                       "chopCountButton", "activateMultipleImportCheck"};

QCheckBox* checkBox(BaseWindowController* controller, const char* name)
{
    return field<QCheckBox>(controller, name);
}
} // namespace

class DetailConfigWindowTest : public ConfigWindowTest
{
protected:
    void SetUp() override
    {
        ConfigWindowTest::SetUp();
        // Values of every type the settings may hold, so that a save shows whether
        // the window or the file gave them.
        writeSettings([](SettingsDictionary& settings) {
            settings.setValue(exportXml, 1);
            settings.setValue(dontAddPatientName, QStringLiteral("1"));
            settings.setValue(dontSendMif, false);
            settings.setValue(notSendingImage, true);
            settings.setValue(deleteExifPersonalInfo, 0);
            settings.setValue(moveToTrash, true);
            settings.setValue(zeroPadding, false);
            settings.setValue(zeroPaddingLength, 3);
            settings.setValue(zeroPaddingLengthString, QStringLiteral("7"));
            settings.setValue(chopCount, true);
        });
    }
};

TEST_F(DetailConfigWindowTest, OpensFromTheSettingsWindowWithItsSettingsAndTexts)
{
    ConfigWindowController* config = openConfigWindow();
    DetailConfigWindowController* detail = openDetailWindow(config);
    ASSERT_NE(detail, nullptr);
    EXPECT_TRUE(detail->window()->isVisible());
    EXPECT_EQ(detail->window()->windowTitle(),
              LocalizedStrings::string(QStringLiteral("DetailConfigWindow_Title")));
    EXPECT_EQ(field<QPushButton>(detail, "closeButton")->text(),
              LocalizedStrings::string(QStringLiteral("DetailConfigWindow_CloseButton")));
    EXPECT_EQ(
        field<QLabel>(detail, "chopAlertMessage")->text(),
        LocalizedStrings::string(QStringLiteral("DetailConfigWindow_PatientIDNoticeMessage")));

    // Loaded whatever type the file holds.
    EXPECT_TRUE(checkBox(detail, "exportXmlButton")->isChecked());
    EXPECT_TRUE(checkBox(detail, "dontAddPatientNameButton")->isChecked());
    EXPECT_TRUE(checkBox(detail, "notSendingImageButton")->isChecked());
    EXPECT_FALSE(checkBox(detail, "deleteExifPersonalInfoButton")->isChecked());
    EXPECT_TRUE(checkBox(detail, "chopCountButton")->isChecked());

    // The width list follows the padding box.
    QComboBox* widths = field<QComboBox>(detail, "zeroPaddingComboBox");
    EXPECT_EQ(widths->currentIndex(), 3);
    EXPECT_EQ(widths->currentText(), QStringLiteral("7"));
    EXPECT_FALSE(widths->isEnabled());
    EXPECT_FALSE(detail->getState());
    checkBox(detail, "zeroPaddingButton")->click();
    EXPECT_TRUE(widths->isEnabled());
    EXPECT_TRUE(detail->getState());

    // A second press of the detail button brings back the same window.
    EXPECT_EQ(openDetailWindow(config), detail);
}

TEST_F(DetailConfigWindowTest, WithoutShowAllItemsSixOptionsAreHiddenAndStoredAsLoaded)
{
    ConfigWindowController* config = openConfigWindow();
    DetailConfigWindowController* detail = openDetailWindow(config);
    for (const char* name : rarelyUsedOptions)
        EXPECT_FALSE(checkBox(detail, name)->isVisible()) << name;
    for (const char* name : everydayOptions)
        EXPECT_TRUE(checkBox(detail, name)->isVisible()) << name;

    checkBox(detail, "chopCountButton")->click();
    field<QPushButton>(detail, "closeButton")->click();
    EXPECT_FALSE(detail->window()->isVisible());
    EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::DetailConfigWindow)) << "Close only hides";

    field<QPushButton>(config, "okButton")->click();
    const SettingsDictionary saved = storedSettings();
    EXPECT_EQ(saved.value(exportXml), SettingValue(true));
    EXPECT_EQ(saved.value(dontAddPatientName), SettingValue(true));
    EXPECT_EQ(saved.value(dontSendMif), SettingValue(false));
    EXPECT_EQ(saved.value(notSendingImage), SettingValue(true));
    EXPECT_EQ(saved.value(deleteExifPersonalInfo), SettingValue(false));
    EXPECT_EQ(saved.value(moveToTrash), SettingValue(true));
    EXPECT_EQ(saved.value(chopCount), SettingValue(false));
    // Padding off: the stored width stays as the file had it.
    EXPECT_EQ(saved.value(zeroPadding), SettingValue(false));
    EXPECT_EQ(saved.value(zeroPaddingLength), SettingValue(3));
    EXPECT_EQ(saved.value(zeroPaddingLengthString), SettingValue("7"));
    // OK closes both windows.
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::DetailConfigWindow));
}

TEST_F(DetailConfigWindowTest, ShowAllItemsShowsEveryOptionAndThePaddingWidthIsStoredWhileOn)
{
    auto* detail = manager.windowController<DetailConfigWindowController>(
        TalvorenWindowId::DetailConfigWindow);
    detail->setShowAllItems(true);
    ConfigWindowController* config = openConfigWindow();
    ASSERT_EQ(openDetailWindow(config), detail);
    for (const char* name : rarelyUsedOptions)
        EXPECT_TRUE(checkBox(detail, name)->isVisible()) << name;

    checkBox(detail, "moveToTrashButton")->click();
    checkBox(detail, "zeroPaddingButton")->click();
    field<QComboBox>(detail, "zeroPaddingComboBox")->setCurrentIndex(6);
    field<QPushButton>(config, "applyButton")->click();
    const SettingsDictionary saved = storedSettings();
    EXPECT_EQ(saved.value(moveToTrash), SettingValue(false));
    EXPECT_EQ(saved.value(zeroPadding), SettingValue(true));
    // The shipped default (index 6, width 10) names the same item of the list.
    EXPECT_EQ(saved.value(zeroPaddingLength), SettingValue(6));
    EXPECT_EQ(saved.value(zeroPaddingLengthString), SettingValue("10"));
}

TEST_F(DetailConfigWindowTest, AfterTheDetailWindowClosedTheSaveKeepsWhatItShowedUnlessCancelled)
{
    // Closed by its title bar: the options it showed are saved.
    ConfigWindowController* config = openConfigWindow();
    DetailConfigWindowController* detail = openDetailWindow(config);
    checkBox(detail, "chopCameraSerialNumberButton")->click();
    detail->window()->close();
    processDeferredDeletes();
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::DetailConfigWindow));
    ASSERT_TRUE(config->saveSettings());
    EXPECT_EQ(storedSettings().value(chopCameraSerialNumber), SettingValue(true));
    EXPECT_EQ(storedSettings().value(exportXml), SettingValue(true));

    // Closed by OK: the same.
    detail = openDetailWindow(config);
    EXPECT_TRUE(checkBox(detail, "chopCameraSerialNumberButton")->isChecked());
    checkBox(detail, "activateMultipleImportCheck")->click();
    detail->okButtonClick();
    processDeferredDeletes();
    ASSERT_TRUE(config->saveSettings());
    EXPECT_EQ(storedSettings().value(activateAvoidMultipleImportCheck), SettingValue(false));

    // Closed by Cancel: the stored options stay exactly as they are.
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(exportXml, true);
        settings.setValue(zeroPaddingLengthString, QStringLiteral("7"));
    });
    detail = openDetailWindow(config);
    checkBox(detail, "chopCountButton")->click();
    detail->cancelButtonClick();
    processDeferredDeletes();
    ASSERT_TRUE(config->saveSettings());
    const SettingsDictionary saved = storedSettings();
    EXPECT_EQ(saved.value(exportXml), SettingValue(true));
    EXPECT_EQ(saved.value(zeroPaddingLengthString), SettingValue("7"));
    EXPECT_EQ(saved.value(chopCount), SettingValue(false));
    EXPECT_EQ(saved.value(activateAvoidMultipleImportCheck), SettingValue(true));
}

TEST_F(DetailConfigWindowTest, CancelOfTheSettingsWindowStoresNothingAndClosesBoth)
{
    const SettingsDictionary before = storedSettings();
    ConfigWindowController* config = openConfigWindow();
    DetailConfigWindowController* detail = openDetailWindow(config);
    checkBox(detail, "chopCountButton")->click();
    field<QPushButton>(detail, "closeButton")->click();
    checkBox(config, "autoStartUpButton")->click();
    field<QPushButton>(config, "cancelButton")->click();
    processDeferredDeletes();
    EXPECT_EQ(storedSettings(), before);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::DetailConfigWindow));

    // The title bar of the settings window closes the detail window too.
    config = openConfigWindow();
    openDetailWindow(config);
    config->window()->close();
    processDeferredDeletes();
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::DetailConfigWindow));
    EXPECT_EQ(storedSettings(), before);
}

TEST_F(DetailConfigWindowTest, AFreshSettingsWindowForgetsThatTheDetailWindowWasOpened)
{
    ConfigWindowController* config = openConfigWindow();
    openDetailWindow(config);
    field<QPushButton>(config, "cancelButton")->click();
    processDeferredDeletes();

    config = openConfigWindow();
    ASSERT_TRUE(config->saveSettings());
    // Without the detail window in this settings window, the options become integers.
    EXPECT_EQ(storedSettings().value(exportXml), SettingValue(1));
    EXPECT_EQ(storedSettings().value(moveToTrash), SettingValue(1));
    EXPECT_EQ(storedSettings().value(zeroPaddingLengthString), SettingValue(7));
}

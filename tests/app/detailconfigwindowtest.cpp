#include "configwindowtestsupport.h"
#include "settings/settingkeys.h"

#include <QComboBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

using namespace SettingKeys;

namespace {
const char* const rarelyUsedOptions[] = {
    "exportXmlButton",       "dontAddPatientNameButton",     "dontSendMIFButton",
    "notSendingImageButton", "deleteExifPersonalInfoButton", "moveToTrashButton"};
const char* const everydayOptions[] = {"zeroPaddingButton", "chopCameraSerialNumberButton",
                                       "chopCountButton", "activateMultipleImportCheck"};
// Values of every type the settings may hold, so that a save shows whether the window or
// the file gave them, and what the first test's save stores.
const std::tuple<QLatin1String, SettingValue, SettingValue> options[] = {
    {exportXml, 1, true},
    {dontAddPatientName, "1", true},
    {dontSendMif, false, false},
    {notSendingImage, true, true},
    {deleteExifPersonalInfo, 0, false},
    {moveToTrash, true, true},
    {zeroPadding, false, false},
    {zeroPaddingLength, 3, 3},
    {zeroPaddingLengthString, "7", "7"},
    {chopCount, true, false}};
} // namespace

class DetailConfigWindowTest : public ConfigWindowTest
{
protected:
    void SetUp() override
    {
        ConfigWindowTest::SetUp();
        writeSettings([](SettingsDictionary& settings) {
            for (const auto& [key, held, saved] : options)
                settings.setValue(key, held);
        });
    }
};

TEST_F(DetailConfigWindowTest, ShowAllItemsDecidesWhetherSixOptionsShowAndSavesStoreWhatIsShown)
{
    ConfigWindowController* config = openConfigWindow();
    DetailConfigWindowController* detail = openDetailWindow(config);
    ASSERT_NE(detail, nullptr);
    for (const char* name : rarelyUsedOptions)
        EXPECT_FALSE(checkBox(detail, name)->isVisible()) << name;
    for (const char* name : everydayOptions)
        EXPECT_TRUE(checkBox(detail, name)->isVisible()) << name;

    // The width list follows the padding box.
    QComboBox* widths = field<QComboBox>(detail, "zeroPaddingComboBox");
    EXPECT_EQ(widths->currentIndex(), 3);
    EXPECT_EQ(widths->currentText(), u"7"_s);
    for (const bool padding : {false, true, false}) {
        EXPECT_EQ(widths->isEnabled(), padding);
        EXPECT_EQ(detail->getState(), padding);
        checkBox(detail, "zeroPaddingButton")->click();
    }
    checkBox(detail, "zeroPaddingButton")->click();
    // A second press of the detail button brings back the same window.
    EXPECT_EQ(openDetailWindow(config), detail);

    checkBox(detail, "chopCountButton")->click();
    field<QPushButton>(detail, "closeButton")->click();
    EXPECT_FALSE(detail->window()->isVisible());
    EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::DetailConfigWindow)) << "Close only hides";

    // Loaded whatever type the file holds; padding off keeps the stored width.
    field<QPushButton>(config, "okButton")->click();
    for (const auto& [key, held, saved] : options)
        EXPECT_EQ(storedSettings().value(key), saved) << key.data();
    // OK closes both windows.
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::DetailConfigWindow));
    processDeferredDeletes();

    // Show All Items shows every option; the padding width is stored while padding is on.
    detail = manager.windowController<DetailConfigWindowController>(
        TalvorenWindowId::DetailConfigWindow);
    detail->setShowAllItems(true);
    config = openConfigWindow();
    ASSERT_EQ(openDetailWindow(config), detail);
    for (const char* name : rarelyUsedOptions)
        EXPECT_TRUE(checkBox(detail, name)->isVisible()) << name;
    checkBox(detail, "moveToTrashButton")->click();
    checkBox(detail, "zeroPaddingButton")->click();
    field<QComboBox>(detail, "zeroPaddingComboBox")->setCurrentIndex(6);
    field<QPushButton>(config, "applyButton")->click();
    // The shipped default (index 6, width 10) names the same item of the list.
    expectStored({{moveToTrash, false},
                  {zeroPadding, true},
                  {zeroPaddingLength, 6},
                  {zeroPaddingLengthString, "10"}});
}

TEST_F(DetailConfigWindowTest, TheSaveKeepsWhatTheClosedDetailWindowShowedAndCancelStoresNothing)
{
    // Closed by its title bar: the options it showed are saved.
    ConfigWindowController* config = openConfigWindow();
    DetailConfigWindowController* detail = openDetailWindow(config);
    checkBox(detail, "chopCameraSerialNumberButton")->click();
    detail->window()->close();
    processDeferredDeletes();
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::DetailConfigWindow));
    ASSERT_TRUE(config->saveSettings());
    expectStored({{chopCameraSerialNumber, true}, {exportXml, true}});

    // Closed by OK: the same.
    detail = openDetailWindow(config);
    EXPECT_TRUE(checkBox(detail, "chopCameraSerialNumberButton")->isChecked());
    checkBox(detail, "activateMultipleImportCheck")->click();
    detail->okButtonClick();
    processDeferredDeletes();
    ASSERT_TRUE(config->saveSettings());
    expectStored({{activateAvoidMultipleImportCheck, false}});

    // Closed by Cancel: the stored options stay exactly as they are.
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(exportXml, true);
        settings.setValue(zeroPaddingLengthString, u"7"_s);
    });
    detail = openDetailWindow(config);
    checkBox(detail, "chopCountButton")->click();
    detail->cancelButtonClick();
    processDeferredDeletes();
    ASSERT_TRUE(config->saveSettings());
    expectStored({{exportXml, true},
                  {zeroPaddingLengthString, "7"},
                  {chopCount, false},
                  {activateAvoidMultipleImportCheck, true}});

    // Cancel of the settings window stores nothing and closes both.
    const SettingsDictionary before = storedSettings();
    detail = openDetailWindow(config);
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

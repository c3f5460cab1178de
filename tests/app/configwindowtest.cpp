#include "common/applicationresources.h"
#include "common/notificationcenter.h"
#include "common/talvorencommon.h"
#include "configwindowtestsupport.h"
#include "localizedstrings.h"
#include "platform/autostartonloginservice.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "watch/watchfoldertimermanager.h"
#include "watch/watchsdcardoperator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace SettingKeys;

namespace {
QString text(const char* key)
{
    return LocalizedStrings::string(QString::fromLatin1(key));
}

QCheckBox* checkBox(BaseWindowController* controller, const char* name)
{
    return field<QCheckBox>(controller, name);
}

QLineEdit* textField(BaseWindowController* controller, const char* name)
{
    return field<QLineEdit>(controller, name);
}
} // namespace

TEST_F(ConfigWindowTest, EachFaultyEntryShowsItsMessageInASheetAndKeepsTheWindowOpen)
{
    ConfigWindowController* config = openConfigWindow();
    QPushButton* ok = field<QPushButton>(config, "okButton");
    const SettingsDictionary before = storedSettings();

    const auto pressOkExpecting = [&](const char* messageKey) {
        ok->click();
        QMessageBox* sheet = sheetOf(config);
        ASSERT_NE(sheet, nullptr) << messageKey;
        EXPECT_TRUE(sheet->text().isEmpty());
        EXPECT_EQ(sheet->informativeText(), text(messageKey));
        ASSERT_EQ(sheet->buttons().size(), 1);
        EXPECT_EQ(sheet->buttons().constFirst()->text(), text("ApplicationMessage99"));
        EXPECT_EQ(ConfigWindowController::tag(ok), ConfigWindowController::validationFailedTag);
        EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
        EXPECT_EQ(storedSettings(), before) << "nothing may be saved";
        dismissSheet(config);
    };

    // Filing into the watched folder, however it is spelled, or below it.
    checkBox(config, "watchFolderButton")->click();
    textField(config, "destinationTextField")->setText(dropFolder);
    pressOkExpecting("ApplicationMessage6");
    textField(config, "destinationTextField")->setText(dropFolder + QStringLiteral("/"));
    pressOkExpecting("ApplicationMessage6");
    textField(config, "destinationTextField")->setText(dropFolder + QStringLiteral("/filed"));
    pressOkExpecting("ApplicationMessage6");
    // A sibling whose name only begins like the watch folder is another folder.
    textField(config, "destinationTextField")->setText(dropFolder + QStringLiteral("-filed"));
    textField(config, "watchFolderTextField")->clear();
    pressOkExpecting("ApplicationMessage2");

    // Nothing watched at all.
    checkBox(config, "watchFolderButton")->click();
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    pressOkExpecting("ApplicationMessage5");

    // Apply checks the same way and marks its own button.
    QPushButton* apply = field<QPushButton>(config, "applyButton");
    apply->click();
    ASSERT_NE(sheetOf(config), nullptr);
    EXPECT_EQ(sheetOf(config)->informativeText(), text("ApplicationMessage5"));
    EXPECT_EQ(ConfigWindowController::tag(apply), ConfigWindowController::validationFailedTag);
    dismissSheet(config);

    // A folder that is no absolute path is refused with its setting named.
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    textField(config, "destinationTextField")->setText(QStringLiteral("filed"));
    ok->click();
    ASSERT_NE(sheetOf(config), nullptr);
    EXPECT_TRUE(sheetOf(config)->informativeText().contains("\"destination folder path\""));
    EXPECT_EQ(storedSettings(), before);
    dismissSheet(config);

    // Corrected, OK saves and closes.
    textField(config, "destinationTextField")->setText(dropFolder + QStringLiteral("-filed"));
    ok->click();
    EXPECT_EQ(sheetOf(config), nullptr);
    EXPECT_EQ(ConfigWindowController::tag(ok), ConfigWindowController::okButtonTag);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    EXPECT_EQ(storedSettings().stringValue(destinationFolderPath),
              dropFolder + QStringLiteral("-filed"));
}

TEST_F(ConfigWindowTest, OpeningShowsTheSettingsWithTheirEnabledStates)
{
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(watchRemovableDiskDrive, false);
        settings.setValue(confirmBeforeSending, 1001);
        settings.setValue(destinationFolderPath, QString());
        settings.remove(destinationFolderPathMov);
        settings.setValue(watchFolder, QStringLiteral("1"));
        settings.setValue(saveDaySubfolder, true);
        settings.setValue(dateFormat, 2);
        settings.setValue(dateFormatString, QStringLiteral("yyyy_MM_dd"));
    });
    ConfigWindowController* config = openConfigWindow();
    QRadioButton* confirm = field<QRadioButton>(config, "confirmBeforeSendingButtonCell");
    QRadioButton* automatic = field<QRadioButton>(config, "autoSendingButtonCell");
    QCheckBox* eject = checkBox(config, "ejectRemovableDeviceButton");

    EXPECT_TRUE(confirm->isChecked());
    EXPECT_FALSE(confirm->isEnabled());
    EXPECT_FALSE(automatic->isEnabled());
    // The eject box keeps the interface file's state until the card box is clicked.
    EXPECT_TRUE(eject->isEnabled());
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    EXPECT_TRUE(confirm->isEnabled());
    EXPECT_TRUE(eject->isEnabled());
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    EXPECT_FALSE(confirm->isEnabled());
    EXPECT_FALSE(eject->isEnabled());

    EXPECT_TRUE(checkBox(config, "watchFolderButton")->isChecked());
    EXPECT_TRUE(textField(config, "watchFolderTextField")->isEnabled());
    EXPECT_FALSE(textField(config, "destinationMOVTextField")->isEnabled());
    checkBox(config, "ExportOtherDestinationImageButton")->click();
    EXPECT_TRUE(textField(config, "destinationMOVTextField")->isEnabled());
    EXPECT_TRUE(field<QPushButton>(config, "destinationMOVTextButton")->isEnabled());

    QComboBox* dateFormats = field<QComboBox>(config, "dateFormatComboBox");
    EXPECT_TRUE(dateFormats->isEnabled());
    EXPECT_EQ(dateFormats->currentText(), QStringLiteral("yyyy_MM_dd"));
    checkBox(config, "saveDayFolder")->click();
    EXPECT_FALSE(dateFormats->isEnabled());

    // Empty destinations show the default folders, and saving stores them.
    const QString pictures = TalvorenCommon::getPicturesDirectory() + QStringLiteral("/Talvoren");
    const QString movies = TalvorenCommon::getMoviesDirectory() + QStringLiteral("/TalvorenMovie");
    EXPECT_EQ(textField(config, "destinationTextField")->text(), pictures);
    EXPECT_EQ(textField(config, "destinationMOVTextField")->text(), movies);
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    automatic->click();
    ASSERT_TRUE(config->saveSettings());
    const SettingsDictionary saved = storedSettings();
    EXPECT_EQ(saved.stringValue(destinationFolderPath), pictures);
    EXPECT_EQ(saved.stringValue(destinationFolderPathMov), movies);
    EXPECT_EQ(saved.value(confirmBeforeSending), SettingValue(1002));
    EXPECT_EQ(saved.value(watchFolder), SettingValue(true));
    config->close();
    processDeferredDeletes();

    // Any sending mode but the confirming one is automatic, and shows so.
    writeSettings(
        [](SettingsDictionary& settings) { settings.setValue(confirmBeforeSending, 77); });
    config = openConfigWindow();
    EXPECT_TRUE(field<QRadioButton>(config, "autoSendingButtonCell")->isChecked());
}

TEST_F(ConfigWindowTest, DayFolderFormatIsStoredOnlyWhileDayFoldersAreOn)
{
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(dateFormat, 2);
        settings.setValue(dateFormatString, QStringLiteral("yyyy_MM_dd"));
    });
    ConfigWindowController* config = openConfigWindow();
    QComboBox* dateFormats = field<QComboBox>(config, "dateFormatComboBox");
    dateFormats->setCurrentIndex(3);
    ASSERT_TRUE(config->saveSettings());
    EXPECT_EQ(storedSettings().value(dateFormat), SettingValue(2));
    EXPECT_EQ(storedSettings().value(dateFormatString), SettingValue("yyyy_MM_dd"));

    checkBox(config, "saveDayFolder")->click();
    dateFormats->setCurrentIndex(1);
    ASSERT_TRUE(config->saveSettings());
    EXPECT_EQ(storedSettings().value(dateFormat), SettingValue(1));
    EXPECT_EQ(storedSettings().value(dateFormatString), SettingValue("yyyyMMdd"));
    EXPECT_EQ(storedSettings().value(saveDaySubfolder), SettingValue(true));
}

TEST_F(ConfigWindowTest, AStoredIndexOutsideTheListFallsBackToTheStoredFormatText)
{
    // Day folders named with an empty format would all be one folder.
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(saveDaySubfolder, true);
        settings.setValue(dateFormat, 40);
        settings.setValue(dateFormatString, QStringLiteral("yyyy.MM.dd"));
    });
    ConfigWindowController* config = openConfigWindow();
    EXPECT_EQ(field<QComboBox>(config, "dateFormatComboBox")->currentText(),
              QStringLiteral("yyyy.MM.dd"));
    config->close();
    processDeferredDeletes();

    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(saveDaySubfolder, true);
        settings.setValue(dateFormat, -1);
        settings.setValue(dateFormatString, QStringLiteral("dd/MM"));
    });
    config = openConfigWindow();
    ASSERT_TRUE(config->saveSettings());
    EXPECT_EQ(storedSettings().value(dateFormat), SettingValue(0));
    EXPECT_EQ(storedSettings().value(dateFormatString), SettingValue("yyyy-MM-dd"));
}

TEST_F(ConfigWindowTest, SaveWithoutTheDetailWindowStoresItsOptionsAsIntegers)
{
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(exportXml, true);
        settings.remove(moveToTrash);
        settings.setValue(zeroPaddingLengthString, QStringLiteral("10"));
        settings.setValue(chopCount, QStringLiteral("yes"));
        settings.setValue(zeroPaddingLength, 6.0);
        settings.setValue(activateAvoidMultipleImportCheck, 1);
    });
    ConfigWindowController* config = openConfigWindow();
    ASSERT_TRUE(config->saveSettings());
    const SettingsDictionary saved = storedSettings();
    EXPECT_EQ(saved.value(exportXml), SettingValue(1));
    EXPECT_EQ(saved.value(moveToTrash), SettingValue(0));
    EXPECT_EQ(saved.value(zeroPaddingLengthString), SettingValue(10));
    EXPECT_EQ(saved.value(zeroPaddingLength), SettingValue(6));
    EXPECT_EQ(saved.value(zeroPadding), SettingValue(1));
    EXPECT_EQ(saved.value(chopCount), SettingValue(0));
    EXPECT_EQ(saved.value(activateAvoidMultipleImportCheck), SettingValue(1));
    for (const QLatin1String key : {dontAddPatientName, dontSendMif, deleteExifPersonalInfo,
                                    notSendingImage, chopCameraSerialNumber})
        EXPECT_EQ(saved.value(key), SettingValue(0)) << key.data();
}

TEST_F(ConfigWindowTest, SaveCopiesTheHiddenKeysThroughAndMarksTheBuild)
{
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(versionCheckSite, QStringLiteral("http://example.invalid/v.txt"));
        settings.setValue(checkedInformationId, 7);
        settings.setValue(deleteImportedFileRecordIntervalTime, 3600);
        settings.setValue(lastDeleteImportedFileRecordDatetime, QStringLiteral("20240101000000"));
        settings.setValue(defImp, QStringLiteral("/data/Import"));
        settings.setValue(lastBuildNumber, QStringLiteral("3"));
        settings.setValue(displayDesktopNotice, false);
    });
    bool announced = false;
    QObject observer;
    NotificationCenter::defaultCenter().addObserver(
        ConfigWindowController::settingsSavedNotification, &observer,
        [&announced](const QVariantMap&) { announced = true; });

    ConfigWindowController* config = openConfigWindow();
    ASSERT_TRUE(config->saveSettings());
    EXPECT_TRUE(announced);
    SettingsDictionary saved = storedSettings();
    EXPECT_EQ(saved.value(versionCheckSite), SettingValue("http://example.invalid/v.txt"));
    EXPECT_EQ(saved.value(checkedInformationId), SettingValue(7));
    EXPECT_EQ(saved.value(deleteImportedFileRecordIntervalTime), SettingValue(3600));
    EXPECT_EQ(saved.value(lastDeleteImportedFileRecordDatetime), SettingValue("20240101000000"));
    EXPECT_EQ(saved.value(defImp), SettingValue("/data/Import"));
    EXPECT_FALSE(saved.contains(manualVersionCheckSite));
    EXPECT_FALSE(saved.contains(informationCheckSite));
    EXPECT_EQ(saved.value(displayDesktopNotice), SettingValue("1"));
    EXPECT_EQ(saved.value(onlyCameraFormatedSD), SettingValue("1"));
    EXPECT_EQ(saved.value(lastBuildNumber),
              SettingValue(QString::number(TalvorenCommon::buildNumber())));

    // A file written by a newer build keeps its mark.
    const QString newer = QString::number(TalvorenCommon::buildNumber() + 5);
    writeSettings(
        [&newer](SettingsDictionary& settings) { settings.setValue(lastBuildNumber, newer); });
    ASSERT_TRUE(config->saveSettings());
    EXPECT_EQ(storedSettings().value(lastBuildNumber), SettingValue(newer));
    NotificationCenter::defaultCenter().removeObserver(&observer);
}

TEST_F(ConfigWindowTest, ValuesAreReadAsWholeNumbersOnlyWhenTheirTextIsAllDigits)
{
    const auto integer = [](const std::optional<SettingValue>& value) {
        return ConfigWindowController::getIntegerSettingValue(value);
    };
    EXPECT_EQ(integer(SettingValue(true)), 1);
    EXPECT_EQ(integer(SettingValue(false)), 0);
    EXPECT_EQ(integer(SettingValue(12)), 12);
    EXPECT_EQ(integer(SettingValue("0012")), 12);
    EXPECT_EQ(integer(SettingValue(6.0)), 6);
    EXPECT_EQ(integer(SettingValue(6.5)), 0);
    EXPECT_EQ(integer(SettingValue(-3)), 0);
    EXPECT_EQ(integer(SettingValue("")), 0);
    EXPECT_EQ(integer(SettingValue(" 7")), 0);
    EXPECT_EQ(integer(SettingValue("YES")), 0);
    EXPECT_EQ(integer(std::nullopt), 0);
    // Too long for a 64-bit number: not a number the settings could mean.
    EXPECT_EQ(integer(SettingValue("123456789012345678901234567890")), 0);
}

TEST_F(ConfigWindowTest, ApplyPollsTheWatchFolderEveryFifteenSecondsAndRestartsTheWatchers)
{
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(fileDetectionWaitTime, 5000.0);
        settings.setValue(watchRemovableDiskDrive, false);
    });
    ConfigWindowController* config = openConfigWindow();
    checkBox(config, "watchFolderButton")->click();
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    checkBox(config, "autoStartUpButton")->click();
    field<QPushButton>(config, "applyButton")->click();
    ASSERT_EQ(sheetOf(config), nullptr);
    EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::ConfigWindow)) << "Apply keeps it open";

    QTimer* poll = WatchFolderTimerManager::sharedInstance()->watchFolderTimer();
    ASSERT_NE(poll, nullptr);
    EXPECT_TRUE(poll->isActive());
    EXPECT_EQ(poll->intervalAsDuration(), ConfigWindowController::appliedWatchFolderInterval);
    EXPECT_EQ(poll->intervalAsDuration(), std::chrono::milliseconds(15000));
    EXPECT_TRUE(WatchSDCardOperator::isWatching());
    EXPECT_TRUE(AutostartOnLoginService().isEnableLoginItem());
    EXPECT_EQ(storedSettings().value(fileDetectionWaitTime), SettingValue(5000.0));

    checkBox(config, "watchFolderButton")->click();
    checkBox(config, "autoStartUpButton")->click();
    field<QPushButton>(config, "applyButton")->click();
    QTimer* stopped = WatchFolderTimerManager::sharedInstance()->watchFolderTimer();
    EXPECT_TRUE(stopped == nullptr || !stopped->isActive());
    EXPECT_FALSE(AutostartOnLoginService().isEnableLoginItem());

    checkBox(config, "watchFolderButton")->click();
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    field<QPushButton>(config, "okButton")->click();
    EXPECT_FALSE(WatchSDCardOperator::isWatching());
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
}

TEST_F(ConfigWindowTest, FolderChoosersAskForOneFolderAndFillTheirField)
{
    ConfigWindowController* config = openConfigWindow();
    std::optional<QString> answer = QStringLiteral("/srv/chosen");
    int asked = 0;
    config->setPanelRunner([&](QFileDialog& panel) {
        ++asked;
        EXPECT_EQ(panel.fileMode(), QFileDialog::Directory);
        EXPECT_EQ(panel.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_FALSE(panel.testOption(QFileDialog::ReadOnly)) << "new folders can be made";
        return answer;
    });
    checkBox(config, "watchFolderButton")->click();
    field<QPushButton>(config, "watchFolderTextButton")->click();
    field<QPushButton>(config, "destinationTextFieldButton")->click();
    checkBox(config, "ExportOtherDestinationImageButton")->click();
    field<QPushButton>(config, "destinationMOVTextButton")->click();
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(textField(config, "watchFolderTextField")->text(), *answer);
    EXPECT_EQ(textField(config, "destinationTextField")->text(), *answer);
    EXPECT_EQ(textField(config, "destinationMOVTextField")->text(), *answer);

    // Cancelled: the field keeps its text; nothing is saved before OK or Apply.
    answer.reset();
    field<QPushButton>(config, "destinationTextFieldButton")->click();
    EXPECT_EQ(textField(config, "destinationTextField")->text(), QStringLiteral("/srv/chosen"));
    EXPECT_EQ(storedSettings().stringValue(destinationFolderPath), clinicFolder);
}

TEST_F(ConfigWindowTest, ExportCopiesTheSettingsFileAndNeverReplacesAFile)
{
    ConfigWindowController* config = openConfigWindow();
    const QString exchangeFolder =
        TalvorenCommon::getDocumentDirectory() + QStringLiteral("/Talvoren");
    QString chosen;
    bool cancel = false;
    config->setPanelRunner([&](QFileDialog& panel) -> std::optional<QString> {
        EXPECT_EQ(panel.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(panel.testOption(QFileDialog::DontConfirmOverwrite))
            << "the panel must not offer to replace a file";
        EXPECT_EQ(QDir(panel.directory()).absolutePath(), exchangeFolder);
        EXPECT_TRUE(QDir(exchangeFolder).exists());
        if (cancel)
            return std::nullopt;
        return chosen;
    });
    QPushButton* exportButton = field<QPushButton>(config, "exportSettingFileButton");

    chosen = exchangeFolder + QStringLiteral("/TalvorenSetting.xml");
    exportButton->click();
    QFile original(TalvorenCommon::getUserSettingPlistFilePath());
    QFile exported(chosen);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll(), original.readAll());
    EXPECT_EQ(sheetOf(config), nullptr);

    // An existing file stays as it is, and the user is told.
    chosen = QDir::homePath() + QStringLiteral("/keep.xml");
    QFile existing(chosen);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("the practice's own file");
    existing.close();
    exportButton->click();
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("the practice's own file"));
    ASSERT_NE(sheetOf(config), nullptr);
    EXPECT_TRUE(sheetOf(config)->informativeText().contains(chosen));
    dismissSheet(config);

    cancel = true;
    chosen = QDir::homePath() + QStringLiteral("/never.xml");
    exportButton->click();
    EXPECT_FALSE(QFile::exists(chosen));
    EXPECT_EQ(sheetOf(config), nullptr);
}

TEST_F(ConfigWindowTest, WithoutASettingsFileTheChoicesAreSavedOverTheDefaults)
{
    ApplicationResources::setOverrideDirectory(
        QStringLiteral(TALVOREN_BINARY_DIR "/share/talvoren"));
    ConfigWindowController* config = openConfigWindow();
    ASSERT_TRUE(QFile::remove(TalvorenCommon::getUserSettingPlistFilePath()));
    checkBox(config, "deleteOriginalImageButton")->click();
    field<QPushButton>(config, "okButton")->click();
    const SettingsDictionary saved = storedSettings();
    EXPECT_EQ(saved.value(deleteOriginalImage), SettingValue(true));
    EXPECT_EQ(saved.stringValue(destinationFolderPath), clinicFolder);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    ApplicationResources::setOverrideDirectory({});
}

TEST_F(ConfigWindowTest, TheShippedDefaultsNameItemsOfTheDateAndPaddingLists)
{
    ApplicationResources::setOverrideDirectory(
        QStringLiteral(TALVOREN_BINARY_DIR "/share/talvoren"));
    const std::optional<SettingsDictionary> defaults =
        SettingsDictionary::read(UserSettings::defaultPlistPath());
    ApplicationResources::setOverrideDirectory({});
    ASSERT_TRUE(defaults.has_value());
    ASSERT_TRUE(UserSettings::write(*defaults));

    ConfigWindowController* config = openConfigWindow();
    const QComboBox* dateFormats = field<QComboBox>(config, "dateFormatComboBox");
    EXPECT_EQ(dateFormats->itemText(static_cast<int>(defaults->integerValue(dateFormat))),
              defaults->stringValue(dateFormatString));

    DetailConfigWindowController* detail = openDetailWindow(config);
    const QComboBox* widths = field<QComboBox>(detail, "zeroPaddingComboBox");
    const int index = static_cast<int>(defaults->integerValue(zeroPaddingLength));
    ASSERT_LT(index, widths->count());
    EXPECT_EQ(widths->itemText(index).toLongLong(),
              defaults->integerValue(zeroPaddingLengthString));
}

#include "camerapicturebuilder.h"
#include "common/applicationresources.h"
#include "common/notificationcenter.h"
#include "common/talvorencommon.h"
#include "configwindowtestsupport.h"
#include "filesbelow.h"
#include "localizedstrings.h"
#include "platform/autostartonloginservice.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "watch/watchfoldertimermanager.h"
#include "watch/watchsdcardoperator.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

using namespace SettingKeys;

TEST_F(ConfigWindowTest, EachFaultyEntryShowsItsMessageInASheetAndKeepsTheWindowOpen)
{
    ConfigWindowController* config = openConfigWindow();
    const SettingsDictionary before = storedSettings();
    QLineEdit* destination = field<QLineEdit>(config, "destinationTextField");
    const auto pressExpecting = [&](const char* buttonName, const QString& message,
                                    bool whole = true) {
        SCOPED_TRACE(message.toStdString());
        QPushButton* button = field<QPushButton>(config, buttonName);
        button->click();
        QMessageBox* sheet = sheetOf(config);
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(sheet->text().isEmpty());
        EXPECT_TRUE(whole ? sheet->informativeText() == message
                          : sheet->informativeText().contains(message));
        ASSERT_EQ(sheet->buttons().size(), 1);
        EXPECT_EQ(sheet->buttons().constFirst()->text(),
                  LocalizedStrings::text("ApplicationMessage99"));
        EXPECT_EQ(ConfigWindowController::tag(button), ConfigWindowController::validationFailedTag);
        EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
        EXPECT_EQ(storedSettings(), before) << "nothing may be saved";
        dismissSheet(config);
    };

    // Filing into the watched folder, however it is spelled, or below it.
    checkBox(config, "watchFolderButton")->click();
    for (const QString& inside : {QString(), u"/"_s, u"/filed"_s}) {
        destination->setText(dropFolder + inside);
        pressExpecting("okButton", LocalizedStrings::text("ApplicationMessage6"));
    }
    // A sibling whose name only begins like the watch folder is another folder.
    destination->setText(dropFolder + u"-filed"_s);
    field<QLineEdit>(config, "watchFolderTextField")->clear();
    pressExpecting("okButton", LocalizedStrings::text("ApplicationMessage2"));
    // Nothing watched at all; Apply checks the same way and marks its own button.
    checkBox(config, "watchFolderButton")->click();
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    pressExpecting("okButton", LocalizedStrings::text("ApplicationMessage5"));
    pressExpecting("applyButton", LocalizedStrings::text("ApplicationMessage5"));
    // A folder that is no absolute path is refused with its setting named.
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    destination->setText(u"filed"_s);
    pressExpecting("okButton", u"\"destination folder path\""_s, false);

    // Corrected, OK saves and closes.
    destination->setText(dropFolder + u"-filed"_s);
    QPushButton* ok = field<QPushButton>(config, "okButton");
    ok->click();
    EXPECT_EQ(sheetOf(config), nullptr);
    EXPECT_EQ(ConfigWindowController::tag(ok), ConfigWindowController::okButtonTag);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    expectStored({{destinationFolderPath, dropFolder + u"-filed"_s}});
}

TEST_F(ConfigWindowTest, OpeningShowsTheSettingsWithTheirEnabledStates)
{
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(watchRemovableDiskDrive, false);
        settings.setValue(destinationFolderPath, QString());
        settings.remove(destinationFolderPathMov);
        settings.setValue(watchFolder, u"1"_s);
        settings.setValue(saveDaySubfolder, true);
        settings.setValue(dateFormat, 2);
        settings.setValue(dateFormatString, u"yyyy_MM_dd"_s);
    });
    ConfigWindowController* config = openConfigWindow();
    EXPECT_TRUE(field<QRadioButton>(config, "confirmBeforeSendingButtonCell")->isChecked());
    EXPECT_TRUE(checkBox(config, "watchFolderButton")->isChecked());
    EXPECT_EQ(field<QComboBox>(config, "dateFormatComboBox")->currentText(), "yyyy_MM_dd");
    // After clicking the check box (if any), whether the widget can be used.
    const std::tuple<const char*, const char*, bool> steps[] = {
        {nullptr, "confirmBeforeSendingButtonCell", false},
        {nullptr, "autoSendingButtonCell", false},
        // The eject box keeps the interface file's state until the card box is clicked.
        {nullptr, "ejectRemovableDeviceButton", true},
        {"watchRemovableDiskDriveButton", "confirmBeforeSendingButtonCell", true},
        {nullptr, "ejectRemovableDeviceButton", true},
        {"watchRemovableDiskDriveButton", "confirmBeforeSendingButtonCell", false},
        {nullptr, "ejectRemovableDeviceButton", false},
        {nullptr, "watchFolderTextField", true},
        {nullptr, "destinationMOVTextField", false},
        {"ExportOtherDestinationImageButton", "destinationMOVTextField", true},
        {nullptr, "destinationMOVTextButton", true},
        {nullptr, "dateFormatComboBox", true},
        {"saveDayFolder", "dateFormatComboBox", false},
    };
    for (const auto& [click, widget, enabled] : steps) {
        if (click)
            checkBox(config, click)->click();
        EXPECT_EQ(field<QWidget>(config, widget)->isEnabled(), enabled) << widget;
    }

    // Empty destinations show the default folders, and saving stores them.
    const QString pictures = TalvorenCommon::getPicturesDirectory() + u"/Talvoren"_s;
    const QString movies = TalvorenCommon::getMoviesDirectory() + u"/TalvorenMovie"_s;
    EXPECT_EQ(field<QLineEdit>(config, "destinationTextField")->text(), pictures);
    EXPECT_EQ(field<QLineEdit>(config, "destinationMOVTextField")->text(), movies);
    checkBox(config, "watchRemovableDiskDriveButton")->click();
    field<QRadioButton>(config, "autoSendingButtonCell")->click();
    ASSERT_TRUE(config->saveSettings());
    expectStored({{destinationFolderPath, pictures},
                  {destinationFolderPathMov, movies},
                  {confirmBeforeSending, 1002},
                  {watchFolder, true}});
    config->close();
    processDeferredDeletes();

    // Any sending mode but the confirming one is automatic, and shows so.
    writeSettings(
        [](SettingsDictionary& settings) { settings.setValue(confirmBeforeSending, 77); });
    config = openConfigWindow();
    EXPECT_TRUE(field<QRadioButton>(config, "autoSendingButtonCell")->isChecked());
}

TEST_F(ConfigWindowTest, TheShippedDefaultsNameListItemsAndTheDayFormatIsStoredWithDayFolders)
{
    const SettingsDictionary defaults = storedSettings();
    ConfigWindowController* config = openConfigWindow();
    EXPECT_EQ(field<QComboBox>(config, "dateFormatComboBox")
                  ->itemText(static_cast<int>(defaults.integerValue(dateFormat))),
              defaults.stringValue(dateFormatString));
    const QComboBox* widths = field<QComboBox>(openDetailWindow(config), "zeroPaddingComboBox");
    const int index = static_cast<int>(defaults.integerValue(zeroPaddingLength));
    ASSERT_LT(index, widths->count());
    EXPECT_EQ(widths->itemText(index).toLongLong(), defaults.integerValue(zeroPaddingLengthString));
    config->close();
    processDeferredDeletes();

    const struct
    {
        bool dayFolders;
        qint64 storedIndex;
        const char* storedText;
        bool clickDayFolders;
        int choose; // -1: leave the list as loaded
        qint64 savedIndex;
        const char* savedText;
    } cases[] = {
        {false, 2, "yyyy_MM_dd", false, 3, 2, "yyyy_MM_dd"},
        {false, 2, "yyyy_MM_dd", true, 1, 1, "yyyyMMdd"},
        // An index outside the list falls back to the stored text, then to the first
        // item: day folders named with an empty format would all be one folder.
        {true, 40, "yyyy.MM.dd", false, -1, 3, "yyyy.MM.dd"},
        {true, -1, "dd/MM", false, -1, 0, "yyyy-MM-dd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.storedText);
        writeSettings([&c](SettingsDictionary& settings) {
            settings.setValue(saveDaySubfolder, c.dayFolders);
            settings.setValue(dateFormat, c.storedIndex);
            settings.setValue(dateFormatString, c.storedText);
        });
        config = openConfigWindow();
        if (c.clickDayFolders)
            checkBox(config, "saveDayFolder")->click();
        if (c.choose >= 0)
            field<QComboBox>(config, "dateFormatComboBox")->setCurrentIndex(c.choose);
        ASSERT_TRUE(config->saveSettings());
        expectStored({{dateFormat, c.savedIndex},
                      {dateFormatString, c.savedText},
                      {saveDaySubfolder, c.dayFolders != c.clickDayFolders}});
        config->close();
        processDeferredDeletes();
    }
}

TEST_F(ConfigWindowTest, SaveWithoutTheDetailWindowStoresItsOptionsAsWholeNumbers)
{
    // Each option as the file holds it (nullopt: absent) and as the save stores it: a value
    // counts only when its text is all digits and fits in 64 bits.
    const std::tuple<QLatin1String, std::optional<SettingValue>, SettingValue> options[] = {
        {exportXml, true, 1},
        {moveToTrash, std::nullopt, 0},
        {zeroPaddingLengthString, "0010", 10},
        {zeroPaddingLength, 6.0, 6},
        {zeroPadding, true, 1},
        {chopCount, "yes", 0},
        {activateAvoidMultipleImportCheck, 1, 1},
        {dontAddPatientName, 6.5, 0},
        {dontSendMif, -3, 0},
        {deleteExifPersonalInfo, " 7", 0},
        {notSendingImage, "", 0},
        {chopCameraSerialNumber, "123456789012345678901234567890", 0}};
    writeSettings([&options](SettingsDictionary& settings) {
        for (const auto& [key, held, saved] : options)
            held ? settings.setValue(key, *held) : settings.remove(key);
    });
    ASSERT_TRUE(openConfigWindow()->saveSettings());
    for (const auto& [key, held, saved] : options)
        EXPECT_EQ(storedSettings().value(key), saved) << key.data();
}

TEST_F(ConfigWindowTest, SaveCopiesTheHiddenKeysThroughAndMarksTheBuild)
{
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(versionCheckSite, u"http://example.invalid/v.txt"_s);
        settings.setValue(checkedInformationId, 7);
        settings.setValue(deleteImportedFileRecordIntervalTime, 3600);
        settings.setValue(lastDeleteImportedFileRecordDatetime, u"20240101000000"_s);
        settings.setValue(defImp, u"/data/Import"_s);
        settings.setValue(lastBuildNumber, u"3"_s);
        settings.setValue(displayDesktopNotice, false);
        settings.remove(manualVersionCheckSite);
        settings.remove(informationCheckSite);
    });
    bool announced = false;
    QObject observer;
    NotificationCenter::defaultCenter().addObserver(
        ConfigWindowController::settingsSavedNotification, &observer,
        [&announced](const QVariantMap&) { announced = true; });

    ConfigWindowController* config = openConfigWindow();
    ASSERT_TRUE(config->saveSettings());
    EXPECT_TRUE(announced);
    expectStored({{versionCheckSite, "http://example.invalid/v.txt"},
                  {checkedInformationId, 7},
                  {deleteImportedFileRecordIntervalTime, 3600},
                  {lastDeleteImportedFileRecordDatetime, "20240101000000"},
                  {defImp, "/data/Import"},
                  {displayDesktopNotice, "1"},
                  {onlyCameraFormatedSD, "1"},
                  {lastBuildNumber, QString::number(TalvorenCommon::buildNumber())},
                  {manualVersionCheckSite, std::nullopt},
                  {informationCheckSite, std::nullopt}});

    // A file written by a newer build keeps its mark.
    const QString newer = QString::number(TalvorenCommon::buildNumber() + 5);
    writeSettings(
        [&newer](SettingsDictionary& settings) { settings.setValue(lastBuildNumber, newer); });
    ASSERT_TRUE(config->saveSettings());
    expectStored({{lastBuildNumber, newer}});
    NotificationCenter::defaultCenter().removeObserver(&observer);
}

TEST_F(ConfigWindowTest, ApplyPollsTheWatchFolderEveryFifteenSecondsAndRestartsTheWatchers)
{
    writeSettings([](SettingsDictionary& settings) {
        settings.setValue(fileDetectionWaitTime, 5000.0);
        settings.setValue(watchRemovableDiskDrive, false);
    });
    ConfigWindowController* config = openConfigWindow();
    const auto click = [config](std::initializer_list<const char*> boxes, const char* button) {
        for (const char* box : boxes)
            checkBox(config, box)->click();
        field<QPushButton>(config, button)->click();
    };
    click({"watchFolderButton", "watchRemovableDiskDriveButton", "autoStartUpButton"},
          "applyButton");
    ASSERT_EQ(sheetOf(config), nullptr);
    EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::ConfigWindow)) << "Apply keeps it open";
    QTimer* poll = WatchFolderTimerManager::sharedInstance()->watchFolderTimer();
    ASSERT_NE(poll, nullptr);
    EXPECT_TRUE(poll->isActive());
    EXPECT_EQ(poll->intervalAsDuration(), std::chrono::milliseconds(15000));
    EXPECT_TRUE(WatchSDCardOperator::isWatching());
    EXPECT_TRUE(AutostartOnLoginService().isEnableLoginItem());
    expectStored({{fileDetectionWaitTime, 5000.0}});

    click({"watchFolderButton", "autoStartUpButton"}, "applyButton");
    QTimer* stopped = WatchFolderTimerManager::sharedInstance()->watchFolderTimer();
    EXPECT_TRUE(stopped == nullptr || !stopped->isActive());
    EXPECT_FALSE(AutostartOnLoginService().isEnableLoginItem());

    // Without a settings file OK saves the window's choices over the shipped defaults.
    ASSERT_TRUE(QFile::remove(TalvorenCommon::getUserSettingPlistFilePath()));
    ApplicationResources::setOverrideDirectory(
        QStringLiteral(TALVOREN_BINARY_DIR "/share/talvoren"));
    click({"watchFolderButton", "watchRemovableDiskDriveButton"}, "okButton");
    ApplicationResources::setOverrideDirectory({});
    EXPECT_FALSE(WatchSDCardOperator::isWatching());
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    expectStored({{watchRemovableDiskDrive, false}, {destinationFolderPath, clinicFolder}});
}

TEST_F(ConfigWindowTest, FolderChoosersFillTheirFieldAndExportNeverReplacesAFile)
{
    ConfigWindowController* config = openConfigWindow();
    const QString exchangeFolder = TalvorenCommon::getDocumentDirectory() + u"/Talvoren"_s;
    std::optional<QString> answer = u"/srv/chosen"_s;
    config->setPanelRunner([&](QFileDialog& panel) {
        if (panel.acceptMode() == QFileDialog::AcceptSave) {
            EXPECT_TRUE(panel.testOption(QFileDialog::DontConfirmOverwrite))
                << "the panel must not offer to replace a file";
            EXPECT_EQ(QDir(panel.directory()).absolutePath(), exchangeFolder);
            EXPECT_TRUE(QDir(exchangeFolder).exists());
        } else {
            EXPECT_EQ(panel.fileMode(), QFileDialog::Directory);
            EXPECT_FALSE(panel.testOption(QFileDialog::ReadOnly)) << "new folders can be made";
        }
        return answer;
    });
    checkBox(config, "watchFolderButton")->click();
    checkBox(config, "ExportOtherDestinationImageButton")->click();
    const std::pair<const char*, const char*> choosers[] = {
        {"watchFolderTextButton", "watchFolderTextField"},
        {"destinationTextFieldButton", "destinationTextField"},
        {"destinationMOVTextButton", "destinationMOVTextField"}};
    for (const auto& [button, filled] : choosers) {
        field<QPushButton>(config, button)->click();
        EXPECT_EQ(field<QLineEdit>(config, filled)->text(), *answer);
    }
    // Cancelled: the field keeps its text; nothing is saved before OK or Apply.
    answer.reset();
    field<QPushButton>(config, "destinationTextFieldButton")->click();
    EXPECT_EQ(field<QLineEdit>(config, "destinationTextField")->text(), "/srv/chosen");
    expectStored({{destinationFolderPath, clinicFolder}});

    QPushButton* exportButton = field<QPushButton>(config, "exportSettingFileButton");
    exportButton->click();
    EXPECT_EQ(sheetOf(config), nullptr);
    answer = exchangeFolder + u"/TalvorenSetting.xml"_s;
    exportButton->click();
    EXPECT_EQ(fileSha1(*answer), fileSha1(TalvorenCommon::getUserSettingPlistFilePath()));
    EXPECT_EQ(sheetOf(config), nullptr);

    // An existing file stays as it is, and the user is told.
    answer = QDir::homePath() + u"/keep.xml"_s;
    ASSERT_TRUE(CameraPictureBuilder::writeFile(*answer, "the practice's own file"));
    const QByteArray kept = fileSha1(*answer);
    exportButton->click();
    EXPECT_EQ(fileSha1(*answer), kept);
    ASSERT_NE(sheetOf(config), nullptr);
    EXPECT_TRUE(sheetOf(config)->informativeText().contains(*answer));
}

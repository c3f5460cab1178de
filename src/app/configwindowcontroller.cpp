#include "configwindowcontroller.h"

#include "comboboxselection.h"
#include "common/log.h"
#include "common/notificationcenter.h"
#include "common/talvorencommon.h"
#include "detailconfigwindowcontroller.h"
#include "localizedstrings.h"
#include "platform/autostartonloginservice.h"
#include "settings/exportsettingfileoperator.h"
#include "settings/importsettingfileoperator.h"
#include "settings/settingkeys.h"
#include "settings/settingsmigration.h"
#include "settings/settingsvalidation.h"
#include "settings/usersettings.h"
#include "talvorenwindowmanager.h"
#include "ui_configwindowcontroller.h"
#include "watch/watchfoldertimermanager.h"
#include "watch/watchsdcardoperator.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>

const QString ConfigWindowController::settingsSavedNotification =
    QStringLiteral("ConfigWindowSettingsSaved");

namespace {
const char* const tagProperty = "tag";
constexpr int sheetWidth = 380;

// The options of the detail window, as the settings name them.
const QLatin1String detailKeys[] = {
    SettingKeys::exportXml,
    SettingKeys::zeroPadding,
    SettingKeys::zeroPaddingLength,
    SettingKeys::zeroPaddingLengthString,
    SettingKeys::chopCameraSerialNumber,
    SettingKeys::chopCount,
    SettingKeys::dontAddPatientName,
    SettingKeys::dontSendMif,
    SettingKeys::activateAvoidMultipleImportCheck,
    SettingKeys::deleteExifPersonalInfo,
    SettingKeys::notSendingImage,
    SettingKeys::moveToTrash,
};

constexpr auto text = &LocalizedStrings::text;

std::optional<QString> runModalPanel(QFileDialog& panel)
{
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    return panel.selectedFiles().constFirst();
}

// The same folder, or one inside the other's tree, after the spelling is cleaned
// ("/a/b/" and "/a/b" are one folder).
bool isSameOrInside(const QString& folder, const QString& watchedFolder)
{
    const QString cleanFolder = QDir::cleanPath(folder);
    const QString cleanWatched = QDir::cleanPath(watchedFolder);
    if (cleanFolder == cleanWatched)
        return true;
    if (cleanWatched.isEmpty())
        return false;
    const QString watchedPrefix =
        cleanWatched.endsWith(QLatin1Char('/')) ? cleanWatched : cleanWatched + QLatin1Char('/');
    return cleanFolder.startsWith(watchedPrefix);
}
} // namespace

ConfigWindowController::ConfigWindowController() : runPanel(runModalPanel) {}

ConfigWindowController::~ConfigWindowController() = default;

int ConfigWindowController::tag(const QAbstractButton* button)
{
    return button->property(tagProperty).toInt();
}

void ConfigWindowController::setTag(QAbstractButton* button, int tag)
{
    button->setProperty(tagProperty, tag);
}

void ConfigWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::ConfigWindowController>();
    ui->setupUi(window);
    // The sending mode is stored as the selected cell's tag, given by the interface file.
    for (QAbstractButton* cell : ui->confirmBeforeSendingButton->buttons())
        ui->confirmBeforeSendingButton->setId(cell, tag(cell));
    connectActions();
}

void ConfigWindowController::connectActions()
{
    connect(ui->okButton, &QPushButton::clicked, this, &ConfigWindowController::okButtonClick);
    connect(ui->cancelButton, &QPushButton::clicked, this,
            &ConfigWindowController::cancelButtonClick);
    connect(ui->applyButton, &QPushButton::clicked, this,
            [this] { applyButtonClick(ui->applyButton); });
    connect(ui->detailButton, &QPushButton::clicked, this,
            &ConfigWindowController::detailButtonClick);
    connect(ui->exportSettingFileButton, &QPushButton::clicked, this,
            &ConfigWindowController::exportSettingFileButtonClick);
    connect(ui->watchRemovableDiskDriveButton, &QCheckBox::clicked, this,
            &ConfigWindowController::watchRemovableDiskDriveButtonClick);
    connect(ui->watchFolderButton, &QCheckBox::clicked, this,
            &ConfigWindowController::watchFolderButtonClick);
    connect(ui->ExportOtherDestinationImageButton, &QCheckBox::clicked, this,
            &ConfigWindowController::exportMOVButtonClick);
    connect(ui->saveDayFolder, &QCheckBox::clicked, this,
            &ConfigWindowController::saveDayFolderButtonClick);
    connect(ui->watchFolderTextButton, &QPushButton::clicked, this,
            &ConfigWindowController::watchFolderTextButtonClick);
    connect(ui->destinationTextFieldButton, &QPushButton::clicked, this,
            &ConfigWindowController::destinationFolderButtonClick);
    connect(ui->destinationMOVTextButton, &QPushButton::clicked, this,
            &ConfigWindowController::destinationFolderMOVButtonClick);
}

void ConfigWindowController::windowDidLoad()
{
    setTexts();
    loadSettings();
    // The card options follow their check box; the eject box stays as the interface
    // file has it until that check box is clicked.
    for (QAbstractButton* cell : ui->confirmBeforeSendingButton->buttons())
        cell->setEnabled(ui->watchRemovableDiskDriveButton->isChecked());
    watchFolderButtonClick();
    exportMOVButtonClick();
    saveDayFolderButtonClick();
    detailOpened = false;
}

void ConfigWindowController::setTexts()
{
    window()->setWindowTitle(text("ConfigWindow_Title"));
    ui->generalBox->setTitle(text("ConfigWindow_GeneralBoxTitle"));
    ui->watchBox->setTitle(text("ConfigWindow_WatchBoxTitle"));
    ui->destinationBox->setTitle(text("ConfigWindow_DestinationBoxTitle"));
    ui->autoStartUpButton->setText(text("ConfigWindow_AutoStartupButton"));
    ui->watchRemovableDiskDriveButton->setText(text("ConfigWindow_WatchRemovableDiskDriveButton"));
    ui->noticeLabel->setText(text("ConfigWindow_NoticeLabel"));
    ui->confirmBeforeSendingButtonCell->setText(text("ConfigWindow_ConfirmBeforeSending"));
    ui->autoSendingButtonCell->setText(text("ConfigWindow_AutoSending"));
    ui->ejectRemovableDeviceButton->setText(text("ConfigWindow_EjectRemovableDeviceButton"));
    ui->autoEjectRemovableDeviceLabel->setText(text("ConfigWindow_AutoEjectRemovableDeviceLabel"));
    ui->watchFolderButton->setText(text("ConfigWindow_WatchFolderButton"));
    ui->watchFolderTextButton->setText(text("ConfigWindow_WatchFolderTextButton"));
    ui->destinationTextFieldButton->setText(text("ConfigWindow_DestinationTextFieldButton"));
    ui->ExportOtherDestinationImageButton->setText(
        text("ConfigWindow_ExportOtherDestinationMOVImageButton"));
    ui->destinationMOVTextButton->setText(text("ConfigWindow_DestinationMOVTextButton"));
    ui->deleteOriginalImageButton->setText(text("ConfigWindow_DeleteOriginalImageButton"));
    ui->deleteOriginalImageLabel->setText(text("ConfigWindow_DeleteOriginalImageLabel"));
    ui->dontSendPatientInformationImageButton->setText(
        text("ConfigWindow_DontSendPatientInformationImageButton"));
    ui->saveDayFolder->setText(text("ConfigWindow_SaveDayFolder"));
    ui->dateFormatLabel->setText(text("ConfigWindow_DateFormatLabel"));
    ui->okButton->setText(text("ConfigWindow_OKButton"));
    ui->cancelButton->setText(text("ConfigWindow_CancelButton"));
    ui->applyButton->setText(text("ConfigWindow_ApplyButton"));
    ui->detailButton->setText(text("ConfigWindow_DetailConfigButton"));
    ui->exportSettingFileButton->setText(text("DetailConfigWindow_ExportSettingFileButton"));
}

void ConfigWindowController::loadSettings()
{
    const SettingsDictionary settings =
        UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
    const auto load = [&settings](QAbstractButton* box, const QString& key) {
        box->setChecked(settings.boolValue(key));
    };
    load(ui->autoStartUpButton, SettingKeys::autoStartUp);
    load(ui->watchRemovableDiskDriveButton, SettingKeys::watchRemovableDiskDrive);
    load(ui->ejectRemovableDeviceButton, SettingKeys::ejectRemovableDevice);
    load(ui->watchFolderButton, SettingKeys::watchFolder);
    load(ui->ExportOtherDestinationImageButton, SettingKeys::destinationFolderMov);
    load(ui->deleteOriginalImageButton, SettingKeys::deleteOriginalImage);
    load(ui->dontSendPatientInformationImageButton, SettingKeys::dontSendPatientInformationImage);
    load(ui->saveDayFolder, SettingKeys::saveDaySubfolder);

    // Any value but the confirming cell's tag means automatic sending.
    QAbstractButton* mode = ui->confirmBeforeSendingButton->button(
        static_cast<int>(settings.integerValue(SettingKeys::confirmBeforeSending)));
    (mode ? mode : ui->autoSendingButtonCell)->setChecked(true);

    ui->watchFolderTextField->setText(settings.stringValue(SettingKeys::watchFolderPath));
    const QString destination = settings.stringValue(SettingKeys::destinationFolderPath);
    ui->destinationTextField->setText(destination.isEmpty() ? getDefaultDestinationDirectory()
                                                            : destination);
    const QString movieDestination = settings.stringValue(SettingKeys::destinationFolderPathMov);
    ui->destinationMOVTextField->setText(
        movieDestination.isEmpty() ? getDefaultDestinationDirectoryMovie() : movieDestination);
    ComboBoxSelection::select(*ui->dateFormatComboBox,
                              settings.integerValue(SettingKeys::dateFormat, -1),
                              settings.stringValue(SettingKeys::dateFormatString));
}

QString ConfigWindowController::getDefaultDestinationDirectory()
{
    return QStringLiteral("%1/%2").arg(TalvorenCommon::getPicturesDirectory(),
                                       QStringLiteral("Talvoren"));
}

QString ConfigWindowController::getDefaultDestinationDirectoryMovie()
{
    return QStringLiteral("%1/%2").arg(TalvorenCommon::getMoviesDirectory(),
                                       QStringLiteral("TalvorenMovie"));
}

void ConfigWindowController::watchRemovableDiskDriveButtonClick()
{
    const bool watching = ui->watchRemovableDiskDriveButton->isChecked();
    for (QAbstractButton* cell : ui->confirmBeforeSendingButton->buttons())
        cell->setEnabled(watching);
    ui->ejectRemovableDeviceButton->setEnabled(watching);
}

void ConfigWindowController::watchFolderButtonClick()
{
    const bool watching = ui->watchFolderButton->isChecked();
    ui->watchFolderTextField->setEnabled(watching);
    ui->watchFolderTextButton->setEnabled(watching);
}

void ConfigWindowController::exportMOVButtonClick()
{
    const bool separate = ui->ExportOtherDestinationImageButton->isChecked();
    ui->destinationMOVTextField->setEnabled(separate);
    ui->destinationMOVTextButton->setEnabled(separate);
}

void ConfigWindowController::saveDayFolderButtonClick()
{
    ui->dateFormatComboBox->setEnabled(ui->saveDayFolder->isChecked());
}

std::unique_ptr<QFileDialog> ConfigWindowController::getFileOpenPanel()
{
    auto panel = std::make_unique<QFileDialog>(window());
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly);
    panel->setOption(QFileDialog::ReadOnly, false);
    return panel;
}

void ConfigWindowController::chooseFolderInto(QLineEdit* field)
{
    std::unique_ptr<QFileDialog> panel = getFileOpenPanel();
    if (QFileInfo(field->text()).isDir())
        panel->setDirectory(field->text());
    if (const std::optional<QString> folder = runPanel(*panel))
        field->setText(*folder);
}

void ConfigWindowController::watchFolderTextButtonClick()
{
    chooseFolderInto(ui->watchFolderTextField);
}

void ConfigWindowController::destinationFolderButtonClick()
{
    chooseFolderInto(ui->destinationTextField);
}

void ConfigWindowController::destinationFolderMOVButtonClick()
{
    chooseFolderInto(ui->destinationMOVTextField);
}

std::optional<QString> ConfigWindowController::checkSetting() const
{
    const bool watchFolder = ui->watchFolderButton->isChecked();
    const QString watchFolderPath = ui->watchFolderTextField->text();
    // Filing into the watched folder (or below it) would import the filed pictures
    // again at every poll.
    if (watchFolder && isSameOrInside(ui->destinationTextField->text(), watchFolderPath))
        return text("ApplicationMessage6");
    if (!ui->watchRemovableDiskDriveButton->isChecked() && !watchFolder)
        return text("ApplicationMessage5");
    if (watchFolder && watchFolderPath.isEmpty())
        return text("ApplicationMessage2");
    // The folders and the day-folder format this window writes must keep every
    // picture inside its folders.
    SettingsDictionary shown;
    storeControls(shown);
    const QList<SettingProblem> problems = SettingsValidation::problems(shown);
    if (!problems.isEmpty())
        return LocalizedStrings::format(QStringLiteral("ConfigWindow_SettingRefused"),
                                        {problems.first().message()});
    return std::nullopt;
}

void ConfigWindowController::showSheet(const QString& message)
{
    auto* sheet = new QMessageBox(window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setIcon(QMessageBox::Warning);
    sheet->setText(QString());
    sheet->setInformativeText(message);
    sheet->addButton(text("ApplicationMessage99"), QMessageBox::AcceptRole);
    // Without a main text the box would wrap the message into a narrow column.
    if (auto* grid = qobject_cast<QGridLayout*>(sheet->layout()))
        grid->addItem(new QSpacerItem(sheetWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    sheet->open();
}

void ConfigWindowController::applyButtonClick(QAbstractButton* button)
{
    if (const std::optional<QString> message = checkSetting()) {
        showSheet(*message);
        setTag(button, validationFailedTag);
        return;
    }
    if (!saveSettings())
        return;
    applyWatchersAndLoginItem(
        UserSettings::getUserSettingDictionary().value_or(SettingsDictionary()));
}

void ConfigWindowController::applyWatchersAndLoginItem(const SettingsDictionary& settings)
{
    WatchFolderTimerManager* watchFolder = WatchFolderTimerManager::sharedInstance();
    if (settings.boolValue(SettingKeys::watchFolder)) {
        BaseWatchFolderOperator::setIsFirst(true);
        watchFolder->startWatchFolderTimer(appliedWatchFolderInterval);
    } else {
        watchFolder->stopWatchFolderTimer();
    }

    if (settings.boolValue(SettingKeys::watchRemovableDiskDrive)) {
        WatchSDCardOperator::setIsFirst(true);
        WatchSDCardOperator().registWatchingSDCardFolder();
    } else {
        WatchSDCardOperator().stopWatchingSDCardFolder();
    }

    AutostartOnLoginService loginItem;
    if (settings.boolValue(SettingKeys::autoStartUp))
        loginItem.enableLoginItem();
    else
        loginItem.disableLoginItem();
}

void ConfigWindowController::okButtonClick()
{
    setTag(ui->okButton, okButtonTag);
    applyButtonClick(ui->okButton);
    if (tag(ui->okButton) != validationFailedTag)
        cancelButtonClick();
}

void ConfigWindowController::cancelButtonClick()
{
    close();
}

void ConfigWindowController::windowWillClose()
{
    // The detail window belongs to this one and closes with it, however it closes.
    if (detailWindow)
        detailWindow->close();
    forgetDetailWindow();
    BaseWindowController::windowWillClose();
}

void ConfigWindowController::detailButtonClick()
{
    if (!detailWindow) {
        auto* detail = requestManager().windowController<DetailConfigWindowController>(
            TalvorenWindowId::DetailConfigWindow);
        if (!detail)
            return;
        detailWindow = detail;
        connect(detail, &BaseWindowController::windowClosed, this, [this, detail] {
            if (detail != detailWindow)
                return;
            closedDetailValues = detail->valuesKeptAtClose();
            forgetDetailWindow();
        });
    }
    detailWindow->showWindow();
    detailWindow->orderFront();
    detailOpened = true;
}

void ConfigWindowController::forgetDetailWindow()
{
    if (detailWindow)
        disconnect(detailWindow, nullptr, this, nullptr);
    detailWindow = nullptr;
}

bool ConfigWindowController::saveSettings()
{
    // Without a settings file the choices are saved over the shipped defaults.
    if (!QFileInfo::exists(UserSettings::path()))
        UserSettings::copyDefaultPlist();
    const bool saved = UserSettings::update([this](SettingsDictionary& settings) {
        storeControls(settings);
        settings.setValue(SettingKeys::displayDesktopNotice, QStringLiteral("1"));
        settings.setValue(SettingKeys::onlyCameraFormatedSD, QStringLiteral("1"));
        const int buildNumber = TalvorenCommon::buildNumber();
        if (SettingsMigration::lastBuildNumber(settings) < buildNumber)
            settings.setValue(SettingKeys::lastBuildNumber, QString::number(buildNumber));
        storeDetailOptions(settings);
    });
    if (!saved) {
        Log::error(QStringLiteral("The settings could not be saved: %1").arg(UserSettings::path()));
        return false;
    }
    NotificationCenter::defaultCenter().post(settingsSavedNotification);
    return true;
}

void ConfigWindowController::storeControls(SettingsDictionary& settings) const
{
    const auto store = [&settings](const QString& key, const QAbstractButton* box) {
        settings.setValue(key, box->isChecked());
    };
    store(SettingKeys::autoStartUp, ui->autoStartUpButton);
    store(SettingKeys::watchRemovableDiskDrive, ui->watchRemovableDiskDriveButton);
    store(SettingKeys::watchFolder, ui->watchFolderButton);
    store(SettingKeys::destinationFolderMov, ui->ExportOtherDestinationImageButton);
    store(SettingKeys::deleteOriginalImage, ui->deleteOriginalImageButton);
    store(SettingKeys::dontSendPatientInformationImage, ui->dontSendPatientInformationImageButton);
    store(SettingKeys::ejectRemovableDevice, ui->ejectRemovableDeviceButton);
    store(SettingKeys::saveDaySubfolder, ui->saveDayFolder);
    settings.setValue(SettingKeys::confirmBeforeSending,
                      ui->confirmBeforeSendingButton->checkedId());
    settings.setValue(SettingKeys::watchFolderPath, ui->watchFolderTextField->text());
    settings.setValue(SettingKeys::destinationFolderPath, ui->destinationTextField->text());
    settings.setValue(SettingKeys::destinationFolderPathMov, ui->destinationMOVTextField->text());
    // The day-folder format is taken only while day folders are on; otherwise the
    // stored one stays whatever the list shows.
    if (ui->saveDayFolder->isChecked()) {
        settings.setValue(SettingKeys::dateFormat, ui->dateFormatComboBox->currentIndex());
        settings.setValue(SettingKeys::dateFormatString, ui->dateFormatComboBox->currentText());
    }
}

void ConfigWindowController::storeDetailOptions(SettingsDictionary& settings) const
{
    if (detailOpened) {
        if (detailWindow && detailWindow->isWindowLoaded())
            detailWindow->values().storeInto(settings);
        else if (closedDetailValues)
            closedDetailValues->storeInto(settings);
        // Closed with Cancel: the stored options stay as they are.
        return;
    }
    for (const QLatin1String key : detailKeys)
        settings.setValue(key, getIntegerSettingValue(settings.value(key)));
}

qint64 ConfigWindowController::getIntegerSettingValue(const std::optional<SettingValue>& value)
{
    if (!value)
        return 0;
    const QString valueText = value->stringValue();
    if (!TalvorenCommon::isDigit(valueText))
        return 0;
    bool fits = false;
    const qint64 number = valueText.toLongLong(&fits);
    return fits ? number : 0;
}

void ConfigWindowController::exportSettingFileButtonClick()
{
    const QString proposed = ExportSettingFileOperator::prepareProposedFilePath();
    QFileDialog panel(window());
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    // The export never replaces a file, so the panel must not offer to.
    panel.setOption(QFileDialog::DontConfirmOverwrite);
    panel.setDirectory(ImportSettingFileOperator::exchangeDirectory());
    panel.selectFile(QFileInfo(proposed).fileName());
    const std::optional<QString> destination = runPanel(panel);
    if (!destination)
        return;
    if (!ExportSettingFileOperator::exportSettingFile(*destination))
        showSheet(LocalizedStrings::format(QStringLiteral("ConfigWindow_ExportSettingFileFailed"),
                                           {*destination}));
}

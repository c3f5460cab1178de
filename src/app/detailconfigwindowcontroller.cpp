#include "detailconfigwindowcontroller.h"

#include "comboboxselection.h"
#include "localizedstrings.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "talvorenappdelegate.h"
#include "ui_detailconfigwindowcontroller.h"

DetailConfigWindowController::DetailConfigWindowController()
    : showAllItems(TalvorenAppDelegate::isShowAllDetailConfigItems())
{
}

DetailConfigWindowController::~DetailConfigWindowController() = default;

void DetailConfigWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::DetailConfigWindowController>();
    ui->setupUi(window);
    connect(ui->zeroPaddingButton, &QCheckBox::clicked, this,
            &DetailConfigWindowController::zeroPaddingButtonClick);
    connect(ui->closeButton, &QPushButton::clicked, this,
            &DetailConfigWindowController::closeButtonClick);
    connect(ui->okButton, &QPushButton::clicked, this,
            &DetailConfigWindowController::okButtonClick);
    connect(ui->cancelButton, &QPushButton::clicked, this,
            &DetailConfigWindowController::cancelButtonClick);
}

void DetailConfigWindowController::windowDidLoad()
{
    if (!showAllItems) {
        for (QCheckBox* rarelyUsed :
             {ui->dontAddPatientNameButton, ui->exportXmlButton, ui->dontSendMIFButton,
              ui->notSendingImageButton, ui->deleteExifPersonalInfoButton, ui->moveToTrashButton})
            rarelyUsed->hide();
    }
    setTexts();
    loadSettings();
    window()->adjustSize();
}

void DetailConfigWindowController::setTexts()
{
    const auto text = &LocalizedStrings::text;
    window()->setWindowTitle(text("DetailConfigWindow_Title"));
    ui->exportXmlButton->setText(text("DetailConfigWindow_XMLExportTitle"));
    ui->zeroPaddingButton->setText(text("DetailConfigWindow_ZeroPaddingTitle"));
    ui->zeroPaddingLabel->setText(text("DetailConfigWindow_ZeroPaddingLengthLabel"));
    ui->chopCameraSerialNumberButton->setText(text("DetailConfigWindow_SerialNoTitle"));
    ui->chopCountButton->setText(text("DetailConfigWindow_ChopCountTitle"));
    ui->chopAlertMessage->setText(text("DetailConfigWindow_PatientIDNoticeMessage"));
    ui->dontAddPatientNameButton->setText(text("DetailConfigWindow_DontAddPatientNameTitle"));
    ui->dontSendMIFButton->setText(text("DetailConfigWindow_dontSendMIFTitle"));
    ui->alertMessage->setText(text("DetailConfigWindow_NoticeMessage"));
    ui->activateMultipleImportCheck->setText(
        text("DetailConfigWindow_ActivateAvoidMultipleImportCheck"));
    ui->notSendingImageButton->setText(text("DetailConfigWindow_NotSendingImageButton"));
    ui->deleteExifPersonalInfoButton->setText(
        text("DetailConfigWindow_DeleteExifPersonalInfoButton"));
    ui->moveToTrashButton->setText(text("DetailConfigWindow_MoveToTrashButton"));
    ui->closeButton->setText(text("DetailConfigWindow_CloseButton"));
}

void DetailConfigWindowController::loadSettings()
{
    const SettingsDictionary settings =
        UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
    const auto load = [&settings](QCheckBox* box, const QString& key) {
        box->setChecked(settings.boolValue(key));
    };
    load(ui->exportXmlButton, SettingKeys::exportXml);
    load(ui->zeroPaddingButton, SettingKeys::zeroPadding);
    load(ui->chopCameraSerialNumberButton, SettingKeys::chopCameraSerialNumber);
    load(ui->chopCountButton, SettingKeys::chopCount);
    load(ui->dontAddPatientNameButton, SettingKeys::dontAddPatientName);
    load(ui->dontSendMIFButton, SettingKeys::dontSendMif);
    load(ui->activateMultipleImportCheck, SettingKeys::activateAvoidMultipleImportCheck);
    load(ui->deleteExifPersonalInfoButton, SettingKeys::deleteExifPersonalInfo);
    load(ui->moveToTrashButton, SettingKeys::moveToTrash);
    load(ui->notSendingImageButton, SettingKeys::notSendingImage);
    ComboBoxSelection::select(*ui->zeroPaddingComboBox,
                              settings.integerValue(SettingKeys::zeroPaddingLength, -1),
                              settings.stringValue(SettingKeys::zeroPaddingLengthString));
    zeroPaddingButtonClick();
}

DetailConfigValues DetailConfigWindowController::values() const
{
    DetailConfigValues shown;
    shown.exportXml = ui->exportXmlButton->isChecked();
    shown.zeroPadding = ui->zeroPaddingButton->isChecked();
    shown.zeroPaddingLength = ui->zeroPaddingComboBox->currentIndex();
    shown.zeroPaddingLengthString = ui->zeroPaddingComboBox->currentText();
    shown.chopCameraSerialNumber = ui->chopCameraSerialNumberButton->isChecked();
    shown.chopCount = ui->chopCountButton->isChecked();
    shown.dontAddPatientName = ui->dontAddPatientNameButton->isChecked();
    shown.dontSendMif = ui->dontSendMIFButton->isChecked();
    shown.activateAvoidMultipleImportCheck = ui->activateMultipleImportCheck->isChecked();
    shown.deleteExifPersonalInfo = ui->deleteExifPersonalInfoButton->isChecked();
    shown.notSendingImage = ui->notSendingImageButton->isChecked();
    shown.moveToTrash = ui->moveToTrashButton->isChecked();
    return shown;
}

bool DetailConfigWindowController::getState() const
{
    return ui && ui->zeroPaddingButton->isChecked();
}

void DetailConfigWindowController::zeroPaddingButtonClick()
{
    ui->zeroPaddingComboBox->setEnabled(ui->zeroPaddingButton->isChecked());
}

void DetailConfigWindowController::closeButtonClick()
{
    orderOut();
}

void DetailConfigWindowController::okButtonClick()
{
    close();
}

void DetailConfigWindowController::cancelButtonClick()
{
    discardOnClose = true;
    close();
}

void DetailConfigWindowController::windowWillClose()
{
    if (ui && !discardOnClose)
        keptValues = values();
    BaseWindowController::windowWillClose();
}

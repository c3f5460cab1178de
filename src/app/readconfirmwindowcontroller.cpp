#include "readconfirmwindowcontroller.h"

#include "alertwindowcontroller.h"
#include "localizedstrings.h"
#include "settings/importsettingfileoperator.h"
#include "ui_readconfirmwindowcontroller.h"

ReadConfirmWindowController::ReadConfirmWindowController()
    : importSettingFileOperator(std::make_unique<ImportSettingFileOperator>())
{
}

ReadConfirmWindowController::~ReadConfirmWindowController() = default;

void ReadConfirmWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::ReadConfirmWindowController>();
    ui->setupUi(window);
    connect(ui->okButton, &QPushButton::clicked, this, &ReadConfirmWindowController::okButtonClick);
    connect(ui->cancelButton, &QPushButton::clicked, this,
            &ReadConfirmWindowController::cancelButtonClick);
}

void ReadConfirmWindowController::windowDidLoad()
{
    window()->setWindowTitle(LocalizedStrings::string(QStringLiteral("ReadConfirmWindow_Title")));
    ui->messageLabel->setText(
        LocalizedStrings::string(QStringLiteral("ReadConfirmWindow_Message")));
    ui->okButton->setText(LocalizedStrings::string(QStringLiteral("ReadConfirmWindow_OkButton")));
    ui->cancelButton->setText(
        LocalizedStrings::string(QStringLiteral("ReadConfirmWindow_CancelButton")));
}

void ReadConfirmWindowController::okButtonClick()
{
    // The dialog closes either way; a refused file is named in an alert of its own.
    QString whyNot;
    if (!importSettingFileOperator->importSettingFile(&whyNot)) {
        auto* alert = new AlertWindowController;
        alert->setMessage(
            LocalizedStrings::format(QStringLiteral("ReadConfirmWindow_ImportFailed"), {whyNot}));
        alert->showWindow();
        alert->orderFront();
    }
    cancelButtonClick();
}

void ReadConfirmWindowController::cancelButtonClick()
{
    close();
}

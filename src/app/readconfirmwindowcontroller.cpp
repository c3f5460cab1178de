#include "readconfirmwindowcontroller.h"

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
    // The import reports its own failures; the dialog closes either way.
    importSettingFileOperator->importSettingFile();
    cancelButtonClick();
}

void ReadConfirmWindowController::cancelButtonClick()
{
    close();
}

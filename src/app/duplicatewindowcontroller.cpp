#include "duplicatewindowcontroller.h"

#include "localizedstrings.h"
#include "ui_duplicatewindowcontroller.h"

#include <QCoreApplication>

DuplicateWindowController::DuplicateWindowController()
    : terminateApplication([] { QCoreApplication::quit(); })
{
}

DuplicateWindowController::~DuplicateWindowController() = default;

void DuplicateWindowController::setTerminateApplication(std::function<void()> terminateApplication)
{
    this->terminateApplication = std::move(terminateApplication);
}

void DuplicateWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::DuplicateWindowController>();
    ui->setupUi(window);
    connect(ui->closeButton, &QPushButton::clicked, this,
            &DuplicateWindowController::closeButtonClick);
}

void DuplicateWindowController::windowDidLoad()
{
    window()->setWindowTitle(LocalizedStrings::string(QStringLiteral("DuplicateWindow_Title")));
    ui->duplicateMessageLabel->setText(
        LocalizedStrings::string(QStringLiteral("DuplicateWindow_MessageLabel")));
}

void DuplicateWindowController::closeButtonClick()
{
    close();
}

void DuplicateWindowController::windowWillClose()
{
    // However the notice is dismissed, the second copy has nothing left to do: staying
    // would leave a process without tray icon or window that the user cannot end.
    const std::function<void()> terminate = terminateApplication;
    BaseWindowController::windowWillClose();
    if (terminate)
        terminate();
}

#include "alertwindowcontroller.h"

#include "localizedstrings.h"
#include "talvorenwindowmanager.h"
#include "ui_alertwindowcontroller.h"

#include <QStyle>

AlertWindowController::AlertWindowController() = default;

AlertWindowController::~AlertWindowController() = default;

void AlertWindowController::setMessage(const QString& message)
{
    messageText = message;
    if (ui)
        ui->messageLabel->setText(messageText);
}

void AlertWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::AlertWindowController>();
    ui->setupUi(window);
    connect(ui->closeButton, &QPushButton::clicked, this, &AlertWindowController::closeButtonClick);
}

void AlertWindowController::windowDidLoad()
{
    window()->setWindowTitle(LocalizedStrings::string(QStringLiteral("AlertWindow_Title")));
    ui->closeButton->setText(LocalizedStrings::string(QStringLiteral("AlertWindow_CloseButton")));
    ui->messageLabel->setText(messageText);
    const int iconSize = window()->style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    ui->iconLabel->setPixmap(
        window()->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize));
}

void AlertWindowController::closeButtonClick()
{
    if (configWindowFlag) {
        if (BaseWindowController* config =
                requestManager().getWindowController(TalvorenWindowId::ConfigWindow)) {
            config->showWindow();
            config->orderFront();
        }
    }
    close();
}

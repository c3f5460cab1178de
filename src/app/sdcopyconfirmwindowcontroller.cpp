#include "sdcopyconfirmwindowcontroller.h"

#include "cardpreviewpanel.h"
#include "common/log.h"
#include "localizedstrings.h"
#include "progresswindowcontroller.h"
#include "talvorenwindowmanager.h"
#include "ui_sdcopyconfirmwindowcontroller.h"

#include <QTimer>
#include <climits>
#include <exception>

SDCopyConfirmWindowController::SDCopyConfirmWindowController() = default;

SDCopyConfirmWindowController::~SDCopyConfirmWindowController() = default;

void SDCopyConfirmWindowController::setWatchSDCardOperator(CardImport watchSDCardOperator)
{
    this->watchSDCardOperator = std::move(watchSDCardOperator);
}

void SDCopyConfirmWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::SDCopyConfirmWindowController>();
    ui->setupUi(window);
    preview = new CardPreviewPanel(window);
    ui->windowLayout->insertWidget(1, preview);
    connect(ui->okButton, &QPushButton::clicked, this,
            &SDCopyConfirmWindowController::okButtonClick);
    connect(ui->cancelButton, &QPushButton::clicked, this,
            &SDCopyConfirmWindowController::cancelButtonClick);
}

void SDCopyConfirmWindowController::windowDidLoad()
{
    window()->setWindowTitle(LocalizedStrings::string(QStringLiteral("SDCopyConfirmWindow_Title")));
    ui->messageLabel->setText(
        LocalizedStrings::string(QStringLiteral("SDCopyConfirmWindow_MessageLabel")));
    ui->okButton->setText(LocalizedStrings::string(QStringLiteral("SDCopyConfirmWindow_OKButton")));
    ui->cancelButton->setText(
        LocalizedStrings::string(QStringLiteral("SDCopyConfirmWindow_CancelButton")));
    // The preview starts once the window is out: it never holds the question back.
    QTimer::singleShot(0, preview, [this] { preview->start(folders); });
}

void SDCopyConfirmWindowController::okButtonClick()
{
    orderOut();
    openProgressWindow();
    // The import runs here and the handler waits for it; the progress window follows
    // it through the import's notifications.
    if (watchSDCardOperator) {
        // The card import reports copy failures itself; anything else it raises must
        // not leave this button handler, where it would end the application.
        try {
            watchSDCardOperator(folders);
        } catch (const std::exception& exception) {
            Log::error(QStringLiteral("The card import stopped: %1")
                           .arg(QString::fromLocal8Bit(exception.what())));
        }
    }
    close();
}

void SDCopyConfirmWindowController::cancelButtonClick()
{
    close();
}

void SDCopyConfirmWindowController::openProgressWindow()
{
    ProgressWindowController::openFor(requestManager(), folders);
}

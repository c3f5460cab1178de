#include "progresswindowcontroller.h"

#include "common/notificationcenter.h"
#include "common/runloop.h"
#include "importer/basewatchfolderoperator.h"
#include "localizedstrings.h"
#include "talvorenwindowmanager.h"
#include "ui_progresswindowcontroller.h"

#include <climits>

const QString ProgressWindowController::notificationNameUpdateProgress =
    QStringLiteral("notificationNameUpdateProgress");
const QString ProgressWindowController::notificationNameCloseProgressWindow =
    QStringLiteral("notificationNameCloseProgressWindow");

namespace {
// Shared by every progress window; only one card import runs at a time.
int processedFiles = 0;
} // namespace

ProgressWindowController::ProgressWindowController()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(notificationNameUpdateProgress, this,
                       [this](const QVariantMap&) { updateProgress(); });
    center.addObserver(notificationNameCloseProgressWindow, this,
                       [this](const QVariantMap&) { close(); });
    processedFiles = 0;
}

ProgressWindowController::~ProgressWindowController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

int ProgressWindowController::processedCount()
{
    return processedFiles;
}

int ProgressWindowController::percentage(int processed, int totalCount)
{
    // Worked out in double precision: neither the product nor a total of 0 overflows.
    const double percent =
        totalCount == 0 ? 100.0 : static_cast<double>(processed) / totalCount * 100.0;
    return static_cast<int>(qBound(0.0, percent, 100.0));
}

void ProgressWindowController::openFor(TalvorenWindowManager& windowManager,
                                       const QStringList& folders)
{
    qint64 total = 0;
    for (const QString& folder : folders)
        total += BaseWatchFolderOperator::getTotalImageFileCount(folder, 0);
    if (auto* progress = windowManager.windowController<ProgressWindowController>(
            TalvorenWindowId::ProgressWindow)) {
        progress->setTotalCount(static_cast<int>(qMin<qint64>(total, INT_MAX)));
        progress->showWindow();
        progress->orderFront();
    }
}

void ProgressWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::ProgressWindowController>();
    ui->setupUi(window);
}

void ProgressWindowController::windowDidLoad()
{
    zero();
    window()->setWindowTitle(LocalizedStrings::string(QStringLiteral("ProgressWindow_Title")));
    ui->messageLabel->setText(
        LocalizedStrings::string(QStringLiteral("ProgressWindow_MessageLabel")));
}

void ProgressWindowController::zero()
{
    ui->progressLabel->setText(QStringLiteral("0"));
    ui->progressIndicator->setValue(0);
}

void ProgressWindowController::updateProgress()
{
    ++processedFiles;
    // A file may be counted before the window was first shown: build it now.
    window();
    const int percent = percentage(processedFiles, total);
    ui->progressIndicator->setRange(0, 100);
    ui->progressLabel->setText(QString::number(percent));
    ui->progressIndicator->setValue(percent);
    ui->progressIndicator->repaint();
    // The import keeps this thread busy; a moment of event loop paints the window.
    runLoopFor(0.001);
}

void ProgressWindowController::windowWillClose()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    BaseWindowController::windowWillClose();
}

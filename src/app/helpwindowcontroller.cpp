#include "helpwindowcontroller.h"

#include "common/applicationresources.h"
#include "localizedstrings.h"
#include "ui_helpwindowcontroller.h"

#include <QPdfDocument>
#include <QPdfPageRenderer>

HelpWindowController::HelpWindowController() = default;

HelpWindowController::~HelpWindowController()
{
    // The view lives in the window, which the base frees after this; it must not
    // keep pointing at the document freed here.
    if (ui)
        ui->helpPDFView->setDocument(nullptr);
}

QUrl HelpWindowController::getPDFUrl()
{
    const QString manual = LocalizedStrings::string(QStringLiteral("ApplicationMessage8"));
    if (manual.isEmpty())
        return {};
    const QString path = ApplicationResources::path(manual);
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

void HelpWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::HelpWindowController>();
    ui->setupUi(window);
    // Qt 6.4 never frees the view's background render thread, one per window
    // opened; the manual is small enough to be drawn on the main thread.
    if (auto* renderer = ui->helpPDFView->findChild<QPdfPageRenderer*>())
        renderer->setRenderMode(QPdfPageRenderer::RenderMode::SingleThreaded);
}

void HelpWindowController::windowDidLoad()
{
    window()->setWindowTitle(LocalizedStrings::string(QStringLiteral("HelpWindow_Title")));
    pdfDocument = std::make_unique<QPdfDocument>();
    const QUrl url = getPDFUrl();
    if (url.isLocalFile())
        pdfDocument->load(url.toLocalFile());
    ui->helpPDFView->setPageMode(QPdfView::PageMode::MultiPage);
    ui->helpPDFView->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    ui->helpPDFView->setDocument(pdfDocument.get());
}

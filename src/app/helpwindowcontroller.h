#pragma once

#include "basewindowcontroller.h"
#include "talvorenwindowid.h"

#include <QUrl>
#include <memory>

namespace Ui {
class HelpWindowController;
}
class QPdfDocument;

// The user manual in the user's language, a PDF shown scaled to the window's width.
// A manual that is missing or unreadable leaves the view empty.
class HelpWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    HelpWindowController();
    ~HelpWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::HelpWindow; }

    // The manual of the current language in the resource folder; empty when missing.
    static QUrl getPDFUrl();
    const QPdfDocument* document() const { return pdfDocument.get(); }

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    std::unique_ptr<QPdfDocument> pdfDocument;
    std::unique_ptr<Ui::HelpWindowController> ui;
};

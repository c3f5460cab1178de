#pragma once

#include "basewindowcontroller.h"
#include "talvorenwindowid.h"

#include <functional>
#include <memory>

namespace Ui {
class DuplicateWindowController;
}

// The notice a second copy of the application shows instead of starting; closing
// it ends that second copy.
class DuplicateWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    DuplicateWindowController();
    ~DuplicateWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::DuplicateWindow; }

    // What ends the application (QCoreApplication::quit unless replaced).
    void setTerminateApplication(std::function<void()> terminateApplication);

    void closeButtonClick();

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;
    void windowWillClose() override;

private:
    std::function<void()> terminateApplication;
    std::unique_ptr<Ui::DuplicateWindowController> ui;
};

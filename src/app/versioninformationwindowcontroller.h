#pragma once

#include "basewindowcontroller.h"
#include "talvorenwindowid.h"

#include <memory>

namespace Ui {
class VersionInformationWindowController;
}

// The about window: the application's name, description, version and copyright.
class VersionInformationWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    VersionInformationWindowController();
    ~VersionInformationWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::VersionInformationWindow; }

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    std::unique_ptr<Ui::VersionInformationWindowController> ui;
};

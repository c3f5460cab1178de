#pragma once

#include "basewindowcontroller.h"
#include "talvorenwindowid.h"

#include <memory>

namespace Ui {
class ReadConfirmWindowController;
}
class ImportSettingFileOperator;

// Asks at start-up whether the exported settings file waiting in the Documents
// folder should be read. OK runs the settings import, then closes; Cancel closes.
class ReadConfirmWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    ReadConfirmWindowController();
    ~ReadConfirmWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::ReadConfirmWindow; }

    void okButtonClick();
    void cancelButtonClick();

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    std::unique_ptr<ImportSettingFileOperator> importSettingFileOperator;
    std::unique_ptr<Ui::ReadConfirmWindowController> ui;
};

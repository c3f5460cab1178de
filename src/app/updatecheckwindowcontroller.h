#pragma once

#include "network/updatecheckresult.h"
#include "networkcheckwindowcontroller.h"
#include "talvorenwindowid.h"

#include <memory>

namespace Ui {
class UpdateCheckWindowController;
}

// The update window: checks the version list again when it loads and shows the
// newer version with a link to its download page, or says that there is none or
// that the check failed.
class UpdateCheckWindowController : public ReplaceableCheckWindowController<UpdateCheckResult>
{
    Q_OBJECT

public:
    UpdateCheckWindowController();
    ~UpdateCheckWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::UpdateCheckWindow; }

    // The version check on the current settings; blocks in a local event loop.
    static UpdateCheckResult checkUpdate();

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    void showResult(const UpdateCheckResult& result);

    std::unique_ptr<Ui::UpdateCheckWindowController> ui;
};

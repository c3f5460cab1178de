#pragma once

#include "network/updatecheckresult.h"
#include "networkcheckwindowcontroller.h"
#include "talvorenwindowid.h"

#include <functional>
#include <memory>

class LinkTextField;

namespace Ui {
class UpdateCheckWindowController;
}

// The update window: checks the version list again when it loads and shows the
// newer version with a link to its download page, or says that there is none or
// that the check failed.
class UpdateCheckWindowController : public NetworkCheckWindowController
{
    Q_OBJECT

public:
    using Check = std::function<UpdateCheckResult()>;

    UpdateCheckWindowController();
    ~UpdateCheckWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::UpdateCheckWindow; }

    // The version check on the current settings; blocks in a local event loop.
    static UpdateCheckResult checkUpdate();
    // Replaces the check the window and the start-up timer run (tests, screenshots);
    // an empty function restores the real one.
    static void setCheck(Check check);

    // The clickable area over the address.
    LinkTextField* linkTextField() const { return linkField; }

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    void showResult(const UpdateCheckResult& result);

    LinkTextField* linkField = nullptr;
    std::unique_ptr<Ui::UpdateCheckWindowController> ui;
};

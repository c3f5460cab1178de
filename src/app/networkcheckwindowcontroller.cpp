#include "networkcheckwindowcontroller.h"

#include <QWidget>

NetworkCheckWindowController::CheckScope::CheckScope(NetworkCheckWindowController& checking)
    : controller(checking)
{
    ++controller.runningChecks;
}

NetworkCheckWindowController::CheckScope::~CheckScope()
{
    if (--controller.runningChecks == 0 && controller.closeRequested)
        controller.BaseWindowController::windowWillClose();
}

void NetworkCheckWindowController::showWindow()
{
    // Loading runs the check; the user may have closed the window meanwhile.
    window();
    if (!closeRequested)
        BaseWindowController::showWindow();
}

void NetworkCheckWindowController::windowWillClose()
{
    closeRequested = true;
    if (runningChecks > 0) {
        window()->hide();
        return;
    }
    BaseWindowController::windowWillClose();
}

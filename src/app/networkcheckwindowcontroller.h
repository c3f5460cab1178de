#pragma once

#include "basewindowcontroller.h"

// A window that asks a server while it loads. The fetch waits in a local event
// loop so that the tray menu and the other windows keep answering; the user may
// therefore close this window while its own code is still running. Such a close
// hides the window at once and frees the controller only after the fetch.
class NetworkCheckWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    void showWindow() override;

protected:
    // Runs the check with the controller kept alive until it returns.
    template <class Check> auto runCheck(Check&& check)
    {
        CheckScope scope(*this);
        return check();
    }

    void windowWillClose() override;

private:
    class CheckScope
    {
    public:
        explicit CheckScope(NetworkCheckWindowController& controller);
        ~CheckScope();
        CheckScope(const CheckScope&) = delete;
        CheckScope& operator=(const CheckScope&) = delete;

    private:
        NetworkCheckWindowController& controller;
    };

    int runningChecks = 0;
    bool closeRequested = false;
};

#pragma once

#include "basewindowcontroller.h"

#include <functional>

class LinkTextField;

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

// A network window showing the result of one kind of check, with a link under its
// address. Tests and the screenshots replace the check so that no server is asked.
template <class Result> class ReplaceableCheckWindowController : public NetworkCheckWindowController
{
public:
    using Check = std::function<Result()>;

    // Replaces the check the window and the start-up timer run; an empty function
    // restores the real one.
    static void setCheck(Check check) { replacedCheck() = std::move(check); }

    // The clickable area over the address.
    LinkTextField* linkTextField() const { return linkField; }

protected:
    // The replacement when one is set, otherwise the real check.
    static Result replacedOr(const Check& realCheck)
    {
        return replacedCheck() ? replacedCheck()() : realCheck();
    }

    LinkTextField* linkField = nullptr;

private:
    static Check& replacedCheck()
    {
        static Check check;
        return check;
    }
};

#pragma once

#include "basewindowcontroller.h"
#include "stderrcapture.h"
#include "talvorenwindowmanager.h"

#include <QStringList>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

// A closed controller frees itself once control returns to the event loop; tests
// let that happen before they look at the manager again.
void processDeferredDeletes();

// The widget of the controller's window with that object name (the field name).
template <class Widget> Widget* field(BaseWindowController* controller, const char* name)
{
    return controller->window()->findChild<Widget*>(QString::fromLatin1(name));
}

// The texts of the controller's labels of those names, in order.
QStringList labelTexts(BaseWindowController* controller, std::initializer_list<const char*> names);

// Window tests use the shared window manager, as the application does; every
// window still out is closed after each test, so the next one starts empty.
class WindowTest : public ::testing::Test
{
protected:
    void TearDown() override;

    // The manager's window of that id, prepared, then shown in front as the tray does.
    template <class Controller>
    Controller* open(int windowId, const std::function<void(Controller*)>& prepare = {})
    {
        auto* controller = manager.windowController<Controller>(windowId);
        if (prepare)
            prepare(controller);
        controller->showWindow();
        controller->orderFront();
        return controller;
    }

    TalvorenWindowManager& manager = TalvorenWindowManager::sharedInstance();
};

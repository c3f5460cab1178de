#pragma once

#include <QStringList>

// What the command line asks of this start.
struct LaunchOptions
{
    bool logOutput = false;    // "--log-output"
    bool showAllItems = false; // "--show-all-items"
    bool headless = false;     // "--headless", or no display to draw on
    QStringList volumeRoots;   // "--volume-root DIR", repeatable

    static LaunchOptions fromArguments(const QStringList& arguments);
    // Decided before any application object exists: without a display a
    // QApplication cannot even be made.
    static bool wantsHeadless(int argc, char** argv);
};

#pragma once

#include <QStringList>
#include <QTextStream>
#include <optional>

// What the command line asks of this start.
struct LaunchOptions
{
    bool logOutput = false;    // "--log-output"
    bool showAllItems = false; // "--show-all-items"
    bool headless = false;     // "--headless", or no display to draw on
    QStringList volumeRoots;   // "--volume-root DIR", repeatable

    // The options of a command line, or the exit status when it asked for the help
    // or the version (printed on out) or was wrong (the error and the usage on err).
    struct Parsed;
    static Parsed fromArguments(const QStringList& arguments, QTextStream& out, QTextStream& err);
    // Decided before any application object exists: without a display a
    // QApplication cannot even be made, and the help and version need none.
    static bool wantsHeadless(int argc, char** argv);
};

struct LaunchOptions::Parsed
{
    LaunchOptions options;
    std::optional<int> exitStatus;
};

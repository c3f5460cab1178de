#include "launchoptions.h"

#include <QByteArray>
#include <cstring>

LaunchOptions LaunchOptions::fromArguments(const QStringList& arguments)
{
    LaunchOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--log-output"))
            options.logOutput = true;
        else if (argument == QLatin1String("--show-all-items"))
            options.showAllItems = true;
        else if (argument == QLatin1String("--headless"))
            options.headless = true;
        else if (argument == QLatin1String("--volume-root") && i + 1 < arguments.size())
            options.volumeRoots << arguments.at(++i);
    }
    return options;
}

bool LaunchOptions::wantsHeadless(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0)
            return true;
    }
    // A platform chosen explicitly (offscreen, xcb, wayland) is taken as is.
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

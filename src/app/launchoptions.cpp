#include "launchoptions.h"

#include "common/commandlinehelp.h"
#include "platform/volumeroots.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <cstring>

namespace {
const QCommandLineOption logOutputOption(
    QStringLiteral("log-output"),
    QStringLiteral("Write the log to the day's file (the setting \"is output log\", when "
                   "present, decides instead)."));
const QCommandLineOption
    showAllItemsOption(QStringLiteral("show-all-items"),
                       QStringLiteral("Show every option of the detail settings window."));
const QCommandLineOption
    headlessOption(QStringLiteral("headless"),
                   QStringLiteral("No tray and no windows, even with a display."));
const QCommandLineOption volumeRootOption = VolumeRoots::commandLineOption();

constexpr int usageError = 2;
} // namespace

LaunchOptions::Parsed LaunchOptions::fromArguments(const QStringList& arguments, QTextStream& out,
                                                   QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Files intra-oral camera pictures into patient folders. Talvoren lives as "
                       "an icon in the system tray and watches a folder, its Import folder and "
                       "camera cards.\n\n") +
        CommandLineHelp::exitStatus);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({logOutputOption, showAllItemsOption, headlessOption, volumeRootOption});
    Parsed parsed;
    QString error = parser.parse(arguments) ? QString() : parser.errorText();
    if (error.isEmpty() && !parser.positionalArguments().isEmpty())
        error = QStringLiteral("unexpected argument \"%1\"")
                    .arg(parser.positionalArguments().constFirst());
    const QString help = CommandLineHelp::text(parser, QStringLiteral("talvoren"));
    if (!error.isEmpty()) {
        err << "talvoren: " << error << "\n\n" << help;
        parsed.exitStatus = usageError;
    } else if (parser.isSet(QStringLiteral("version"))) {
        out << CommandLineHelp::versionLine(QStringLiteral("talvoren"));
        parsed.exitStatus = 0;
    } else if (parser.isSet(QStringLiteral("help"))) {
        out << help;
        parsed.exitStatus = 0;
    }
    parsed.options.logOutput = parser.isSet(logOutputOption);
    parsed.options.showAllItems = parser.isSet(showAllItemsOption);
    parsed.options.headless = parser.isSet(headlessOption);
    parsed.options.volumeRoots = parser.values(volumeRootOption);
    return parsed;
}

bool LaunchOptions::wantsHeadless(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char* word : {"--headless", "-h", "--help", "-?", "-v", "--version"})
            if (std::strcmp(argv[i], word) == 0)
                return true;
    }
    // A platform chosen explicitly (offscreen, xcb, wayland) is taken as is.
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

#include "launchoptions.h"
#include "talvorenappdelegate.h"

#include <QApplication>
#include <QTimer>
#include <memory>

int main(int argc, char** argv)
{
    // Without a display a QApplication cannot be made: run the same work headless.
    const bool headless = LaunchOptions::wantsHeadless(argc, argv);
    std::unique_ptr<QCoreApplication> application;
    if (headless)
        application = std::make_unique<QCoreApplication>(argc, argv);
    else
        application = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Talvoren"));
    if (!headless)
        QApplication::setQuitOnLastWindowClosed(false);

    QTextStream out(stdout);
    QTextStream err(stderr);
    LaunchOptions::Parsed parsed =
        LaunchOptions::fromArguments(QCoreApplication::arguments(), out, err);
    if (parsed.exitStatus)
        return *parsed.exitStatus;
    LaunchOptions& options = parsed.options;
    options.headless = headless || options.headless;
    TalvorenAppDelegate delegate(options);
    QTimer::singleShot(0, &delegate, [&delegate] { delegate.applicationDidFinishLaunching(); });
    const int status = application->exec();
    delegate.applicationShouldTerminate();
    return status;
}

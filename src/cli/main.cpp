#include "clicommand.h"

#include <QCoreApplication>
#include <algorithm>

std::vector<CliCommand>& CliCommandRegistry::commands()
{
    static std::vector<CliCommand> registered;
    return registered;
}

namespace {
void printUsage(QTextStream& stream)
{
    stream << "usage: talvoren-cli COMMAND [ARGUMENTS]\n\ncommands:\n";
    auto commands = CliCommandRegistry::commands();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    for (const CliCommand& command : commands)
        stream << "  " << command.usage << "\n";
    stream.flush();
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Talvoren"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help")) {
        printUsage(arguments.isEmpty() ? err : out);
        return arguments.isEmpty() ? 1 : 0;
    }
    const QString name = arguments.takeFirst();
    for (const CliCommand& command : CliCommandRegistry::commands()) {
        if (command.name == name) {
            const int status = command.run(arguments, out, err);
            out.flush();
            err.flush();
            return status;
        }
    }
    err << "talvoren-cli: unknown command \"" << name << "\"\n";
    printUsage(err);
    return 1;
}

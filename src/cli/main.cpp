// talvoren-cli: the headless commands. Every command declares its options in the
// registry; this file parses the command line against them.
#include "clicommand.h"
#include "common/commandlinehelp.h"

#include <QCoreApplication>
#include <algorithm>
#include <optional>

std::vector<CliCommand>& CliCommandRegistry::commands()
{
    static std::vector<CliCommand> registered;
    return registered;
}

namespace {
const QString programName = QStringLiteral("talvoren-cli");

std::vector<CliCommand> sortedCommands()
{
    std::vector<CliCommand> commands = CliCommandRegistry::commands();
    std::sort(commands.begin(), commands.end(),
              [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    return commands;
}

QString commandList()
{
    const std::vector<CliCommand> commands = sortedCommands();
    qsizetype width = 0;
    for (const CliCommand& command : commands)
        width = std::max(width, command.name.size());
    QString text = QStringLiteral("Commands:\n");
    for (const CliCommand& command : commands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(command.name.leftJustified(width), command.description);
    return text;
}

void setUpMainParser(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Files intra-oral camera pictures into patient folders without a "
                       "window, with the settings, records and log of Talvoren.\n\n") +
        commandList() +
        QStringLiteral("\nRun \"%1 COMMAND --help\" for a command's options.\n").arg(programName) +
        CommandLineHelp::exitStatus);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."),
                                 QStringLiteral("COMMAND [OPTIONS]"));
    // Everything after the command name belongs to the command.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
}

void setUpCommandParser(QCommandLineParser& parser, const CliCommand& command)
{
    parser.setApplicationDescription(command.description + QStringLiteral("\n\n") +
                                     CommandLineHelp::exitStatus);
    parser.addHelpOption();
    parser.addOptions(command.options);
    for (const CliArgument& argument : command.arguments)
        parser.addPositionalArgument(argument.name, argument.description, argument.syntax);
}

QString helpOf(const QCommandLineParser& parser, const QString& commandName = {})
{
    return CommandLineHelp::text(parser, commandName.isEmpty() ? programName
                                                               : programName + u' ' + commandName);
}

int usageError(QTextStream& err, const QString& message, const QString& help)
{
    err << programName << ": " << message << "\n\n" << help;
    return CliExit::badUsage;
}

// The arguments the command declares: those not in brackets are required, and one
// written "NAME..." takes any number.
std::optional<QString> argumentCountError(const CliCommand& command, const QStringList& given)
{
    qsizetype required = 0;
    bool variadic = false;
    for (const CliArgument& argument : command.arguments) {
        const QString syntax = argument.syntax.isEmpty() ? argument.name : argument.syntax;
        required += syntax.startsWith(QLatin1Char('[')) ? 0 : 1;
        variadic = variadic || syntax.endsWith(QLatin1String("..."));
    }
    if (given.size() < required)
        return QStringLiteral("missing argument %1")
            .arg(command.arguments.at(given.size()).name.toUpper());
    if (!variadic && given.size() > command.arguments.size())
        return QStringLiteral("unexpected argument \"%1\"").arg(given.at(command.arguments.size()));
    return std::nullopt;
}

int runCommand(const CliCommand& command, const QStringList& words, QTextStream& out,
               QTextStream& err)
{
    QCommandLineParser parser;
    setUpCommandParser(parser, command);
    // The parser skips its first word, the program name.
    if (!parser.parse(QStringList{programName} + words))
        return usageError(err, command.name + QStringLiteral(": ") + parser.errorText(),
                          helpOf(parser, command.name));
    if (parser.isSet(QStringLiteral("help"))) {
        out << helpOf(parser, command.name);
        return CliExit::done;
    }
    if (const std::optional<QString> error =
            argumentCountError(command, parser.positionalArguments()))
        return usageError(err, command.name + QStringLiteral(": ") + *error,
                          helpOf(parser, command.name));
    const int status = command.run(parser, out, err);
    // A command that found its arguments wrong said why; the usage follows.
    if (status == CliExit::badUsage)
        err << "\n" << helpOf(parser, command.name);
    return status;
}

int run(QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    setUpMainParser(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(err, parser.errorText(), helpOf(parser));
    const QStringList words = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("version"))) {
        out << CommandLineHelp::versionLine(programName);
        return CliExit::done;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << helpOf(parser);
        return CliExit::done;
    }
    if (words.isEmpty())
        return usageError(err, QStringLiteral("no command given"), helpOf(parser));
    for (const CliCommand& command : CliCommandRegistry::commands()) {
        if (command.name == words.first())
            return runCommand(command, words.mid(1), out, err);
    }
    return usageError(err, QStringLiteral("unknown command \"%1\"").arg(words.first()),
                      helpOf(parser));
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Talvoren"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = run(out, err);
    out.flush();
    err.flush();
    return status;
}

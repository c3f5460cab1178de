#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <vector>

// The exit status of every command: the same words in the README and in --help.
namespace CliExit {
inline constexpr int done = 0;
inline constexpr int failed = 1;   // the work failed
inline constexpr int badUsage = 2; // wrong options or arguments
} // namespace CliExit

// A positional argument as --help shows it.
struct CliArgument
{
    QString name;
    QString description;
    QString syntax; // how the usage line writes it ("FILE...", "[KEY]"); the name when empty
};

// A sub-command of talvoren-cli: its name, one line saying what it does, its options
// and arguments. main.cpp parses the command line against them (so --help and the
// errors for unknown options come for free) and hands the parser to run. Each
// command lives in its own source file and registers itself with a static
// CliCommandRegistration; the registry is the table main.cpp drives.
struct CliCommand
{
    QString name;
    QString description;
    QList<QCommandLineOption> options;
    QList<CliArgument> arguments;
    // Returns the exit status (CliExit).
    std::function<int(const QCommandLineParser& parser, QTextStream& out, QTextStream& err)> run;
};

class CliCommandRegistry
{
public:
    static std::vector<CliCommand>& commands();
};

struct CliCommandRegistration
{
    explicit CliCommandRegistration(CliCommand command)
    {
        CliCommandRegistry::commands().push_back(std::move(command));
    }
};

#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <vector>

// A sub-command of talvoren-cli. Each command lives in its own source file and
// registers itself with a static CliCommandRegistration.
struct CliCommand
{
    QString name;
    QString usage;
    // Arguments after the command name; returns the exit status.
    std::function<int(const QStringList& arguments, QTextStream& out, QTextStream& err)> run;
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

#include "clirun.h"

#include <QProcess>

CliRun runCli(const QStringList& arguments)
{
    return runExecutable(cliPath, arguments);
}

CliRun runExecutable(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

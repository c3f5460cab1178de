#include "clirun.h"

#include <QEventLoop>
#include <QProcess>

CliRun runExecutable(const QString& program, const QStringList& arguments,
                     const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    process.start(program, arguments);
    if (process.waitForStarted() && process.state() != QProcess::NotRunning)
        loop.exec();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

CliRun runCli(const QStringList& arguments)
{
    return runExecutable(cliPath, arguments);
}

CliRun expectCli(const QStringList& arguments, int exitCode, const QString& errorPart)
{
    const CliRun run = runCli(arguments);
    EXPECT_EQ(run.exitCode, exitCode) << arguments.join(' ').toStdString() << "\n"
                                      << run.err.toStdString();
    EXPECT_TRUE(contains(run.err, errorPart)) << arguments.join(' ').toStdString();
    return run;
}

testing::AssertionResult contains(const QString& text, const QString& part)
{
    if (text.contains(part))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << '"' << part.toStdString() << "\" not in\n"
                                       << text.toStdString();
}

QJsonDocument parsedJson(const QString& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
    return document;
}

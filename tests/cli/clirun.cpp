#include "clirun.h"

#include "settings/usersettings.h"

#include <QDir>
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

QProcessEnvironment environmentWithHome(const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    return environment;
}

void CliTest::prepareApplicationData(const QString& homePath)
{
    ASSERT_EQ(
        runExecutable(cliPath, {"import", homePath + "/missing"}, environmentWithHome(homePath))
            .exitCode,
        2);
}

void CliTest::changeSettings(const QList<std::pair<QString, SettingValue>>& values)
{
    SettingsDictionary settings =
        UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
    for (const auto& [key, value] : values)
        settings.setValue(key, value);
    ASSERT_TRUE(UserSettings::write(settings));
}

QString CliTest::putPicture(const QString& folder, const QString& name,
                            const CameraPictureBuilder& picture)
{
    QFile file(picture.write(folder, name));
    if (file.open(QIODevice::ReadOnly))
        file.setFileTime(QDateTime::currentDateTime().addSecs(-600),
                         QFileDevice::FileModificationTime);
    return file.fileName();
}

testing::AssertionResult contains(const QString& text, const QString& part)
{
    if (text.contains(part))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << '"' << part.toStdString() << "\" not in\n"
                                       << text.toStdString();
}

#include "camerapicturebuilder.h"
#include "common/talvorencommon.h"
#include "filesbelow.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "temphome.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {
const QString launchedLine = QStringLiteral("is running.");

// One run of the real application, headless, in the test's home.
class RunningApp
{
public:
    explicit RunningApp(const QStringList& arguments = {})
    {
        process.setProgram(QStringLiteral(TALVOREN_BINARY_DIR "/bin/talvoren"));
        process.setArguments(QStringList{QStringLiteral("--headless")} + arguments);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start();
    }
    ~RunningApp()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            process.waitForFinished(10000);
        }
    }

    // Waits until the text shows in the console output or the day's log file (the
    // default settings send the lines to the log once the launch has read them).
    bool waitForOutput(const QString& text)
    {
        for (int waited = 0; waited < 30000; waited += 50) {
            collect();
            if (output.contains(text))
                return true;
            if (process.state() == QProcess::NotRunning)
                return false;
            process.waitForReadyRead(50);
        }
        return false;
    }
    bool waitForExit()
    {
        const bool ended = process.waitForFinished(30000);
        collect();
        return ended;
    }

    QString output; // console and log file together
    QString console;
    QProcess process;

private:
    void collect()
    {
        console += QString::fromUtf8(process.readAll());
        output = console;
        const QDir logFolder(QDir::home().filePath(QStringLiteral(".local/share/Talvoren/log")));
        for (const QString& name : logFolder.entryList(QDir::Files)) {
            QFile log(logFolder.filePath(name));
            if (log.open(QIODevice::ReadOnly))
                output += QString::fromUtf8(log.readAll());
        }
    }
};
} // namespace

class AppLaunch : public testing::Test
{
protected:
    TempHome home;
    QString dataFolder() const { return home.filePath(QStringLiteral(".local/share/Talvoren")); }
};

TEST_F(AppLaunch,
       AHeadlessFirstStartPreparesEverythingStaysAloneFilesTheImportFolderAndEndsOnSIGTERM)
{
    RunningApp app;
    ASSERT_TRUE(app.waitForOutput(launchedLine)) << app.output.toStdString();
    EXPECT_EQ(app.output.count(QStringLiteral("[info]: LOG_LEVEL:[2]")), 2);
    EXPECT_TRUE(app.output.contains(QStringLiteral("running headless")));
    {
        // A second copy ends at once and starts nothing (the first logs to the day's file).
        RunningApp second;
        ASSERT_TRUE(second.waitForExit());
        EXPECT_EQ(second.process.exitCode(), 0);
        EXPECT_TRUE(second.console.contains(QStringLiteral("already running")));
        EXPECT_FALSE(second.console.contains(launchedLine));
    }
    const auto settings = UserSettings::getUserSettingDictionary();
    ASSERT_TRUE(settings.has_value());
    const QString destination = settings->stringValue(SettingKeys::destinationFolderPath);
    EXPECT_EQ(destination, home.filePath(QStringLiteral("Pictures/Talvoren")));
    EXPECT_TRUE(QFileInfo(destination).isDir());
    EXPECT_TRUE(QFileInfo(home.filePath(QStringLiteral("Videos/TalvorenMovie"))).isDir());
    EXPECT_GE(settings->integerValue(SettingKeys::lastBuildNumber), TalvorenCommon::buildNumber());
    EXPECT_TRUE(QFileInfo(dataFolder() + QStringLiteral("/Talvoren.db")).isFile());
    for (const QLatin1String key : {SettingKeys::defImp, SettingKeys::defLog, SettingKeys::defTmp})
        EXPECT_TRUE(QFileInfo(settings->stringValue(key)).isDir()) << key.data();

    const QString dropped =
        CameraPictureBuilder()
            .patient(QStringLiteral("4711"), QStringLiteral("Sato Ken"))
            .captureDateTime(QStringLiteral("2024:05:01 10:15:30"))
            .write(settings->stringValue(SettingKeys::defImp), QStringLiteral("IMG_0001.JPG"));
    // Old enough not to count as a file that is still being written.
    QFile file(dropped);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    file.close();
    // The Import folder is polled every 10 seconds.
    QStringList filed;
    for (int waited = 0; waited < 40000 && filed.isEmpty(); waited += 200) {
        QThread::msleep(200);
        filed = filesBelow(destination).filter(QStringLiteral(".jpg"), Qt::CaseInsensitive);
    }
    ASSERT_EQ(filed.size(), 1) << app.output.toStdString();
    EXPECT_TRUE(filed.first().contains(QStringLiteral("4711"))) << filed.first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(dropped));

    // Logout or shutdown: SIGTERM ends the application normally.
    app.process.terminate();
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.process.exitCode(), 0);
    EXPECT_TRUE(app.output.contains(QStringLiteral("Ending on signal 15.")))
        << app.output.toStdString();
}

TEST_F(AppLaunch, TheSettingDecidesOverTheLogSwitch)
{
    {
        RunningApp firstStart;
        ASSERT_TRUE(firstStart.waitForOutput(launchedLine));
    }
    const QDir logFolder(
        UserSettings::getUserSettingDictionary().value().stringValue(SettingKeys::defLog));
    const auto logFiles = [&] { return logFolder.entryList(QDir::Files); };
    for (const QString& name : logFiles())
        QFile::remove(logFolder.filePath(name));

    // "is output log" false wins over --log-output: the lines stay on the console.
    UserSettings::update([](SettingsDictionary& dictionary) {
        dictionary.setValue(SettingKeys::isOutputLog, SettingValue(false));
    });
    {
        RunningApp app({QStringLiteral("--log-output")});
        ASSERT_TRUE(app.waitForOutput(launchedLine));
    }
    EXPECT_TRUE(logFiles().isEmpty());

    // Without the key, --log-output sends the lines to the day's file.
    UserSettings::update(
        [](SettingsDictionary& dictionary) { dictionary.remove(SettingKeys::isOutputLog); });
    {
        RunningApp app({QStringLiteral("--log-output")});
        app.waitForOutput(QStringLiteral("LOG_LEVEL"));
        app.process.waitForFinished(3000);
    }
    ASSERT_EQ(logFiles().size(), 1);
    QFile log(logFolder.filePath(logFiles().first()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("is running."));
}

TEST_F(AppLaunch, ALogFolderThatCannotBeMadeIsSaidOnceOnTheConsole)
{
    ASSERT_TRUE(QDir().mkpath(dataFolder()));
    SettingsDictionary settings = *SettingsDictionary::read(UserSettings::defaultPlistPath());
    settings.setValue(SettingKeys::lastBuildNumber, QString::number(TalvorenCommon::buildNumber()));
    for (const QLatin1String key : {SettingKeys::defImp, SettingKeys::defTmp})
        settings.setValue(key, home.filePath(key));
    // The settings file itself stands where the log folder would have to be made.
    settings.setValue(SettingKeys::defLog, UserSettings::path() + QStringLiteral("/log"));
    settings.setValue(SettingKeys::isOutputLog, true);
    // And a destination of the wrong type: alerted (on the console), never made.
    settings.setValue(SettingKeys::destinationFolderPath, 5);
    settings.setValue(SettingKeys::waitSecondsForCheckingDesignatedFolder, 0);
    ASSERT_TRUE(UserSettings::write(settings));
    RunningApp app;
    ASSERT_TRUE(app.waitForOutput(launchedLine)) << app.output.toStdString();
    EXPECT_EQ(app.console.count(QStringLiteral("cannot be written")), 1)
        << app.console.toStdString();
    EXPECT_TRUE(app.console.contains(QStringLiteral("The setting \"destination folder path\"")));
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath(QStringLiteral("5"))));
}

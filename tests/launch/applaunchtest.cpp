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

using namespace Qt::StringLiterals;
using namespace SettingKeys;

namespace {
const QString launchedLine = u"is running."_s;

// One run of the real application, headless, in the test's home.
class RunningApp
{
public:
    explicit RunningApp(const QStringList& arguments = {})
    {
        process.setProgram(QStringLiteral(TALVOREN_BINARY_DIR "/bin/talvoren"));
        process.setArguments(QStringList{u"--headless"_s} + arguments);
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
        const QDir logFolder(QDir::home().filePath(u".local/share/Talvoren/log"_s));
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
    QString dataFolder() const { return home.filePath(u".local/share/Talvoren"_s); }
};

TEST_F(AppLaunch,
       AHeadlessFirstStartPreparesEverythingStaysAloneFilesTheImportFolderAndEndsOnSIGTERM)
{
    RunningApp app;
    ASSERT_TRUE(app.waitForOutput(launchedLine)) << app.output.toStdString();
    EXPECT_EQ(app.output.count(u"[info]: LOG_LEVEL:[2]"_s), 2);
    EXPECT_TRUE(app.output.contains(u"running headless"_s));
    {
        // A second copy ends at once and starts nothing (the first logs to the day's file).
        RunningApp second;
        ASSERT_TRUE(second.waitForExit());
        EXPECT_EQ(second.process.exitCode(), 0);
        EXPECT_TRUE(second.console.contains(u"already running"_s));
        EXPECT_FALSE(second.console.contains(launchedLine));
    }
    const auto settings = UserSettings::getUserSettingDictionary();
    ASSERT_TRUE(settings.has_value());
    const QString destination = settings->stringValue(destinationFolderPath);
    EXPECT_EQ(destination, home.filePath(u"Pictures/Talvoren"_s));
    EXPECT_TRUE(QFileInfo(destination).isDir());
    EXPECT_TRUE(QFileInfo(home.filePath(u"Videos/TalvorenMovie"_s)).isDir());
    EXPECT_GE(settings->integerValue(lastBuildNumber), TalvorenCommon::buildNumber());
    EXPECT_TRUE(QFileInfo(dataFolder() + u"/Talvoren.db"_s).isFile());
    for (const QLatin1String key : {defImp, defLog, defTmp})
        EXPECT_TRUE(QFileInfo(settings->stringValue(key)).isDir()) << key.data();

    const QString dropped = CameraPictureBuilder()
                                .patient(u"4711"_s, u"Sato Ken"_s)
                                .captureDateTime(u"2024:05:01 10:15:30"_s)
                                .write(settings->stringValue(defImp), u"IMG_0001.JPG"_s);
    // Old enough not to count as a file that is still being written.
    QFile file(dropped);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
    // The Import folder is polled every 10 seconds.
    QStringList filed;
    for (int waited = 0; waited < 40000 && filed.isEmpty(); waited += 200) {
        QThread::msleep(200);
        filed = filesBelow(destination).filter(u".jpg"_s, Qt::CaseInsensitive);
    }
    ASSERT_EQ(filed.size(), 1) << app.output.toStdString();
    EXPECT_TRUE(filed.first().contains(u"4711"_s)) << filed.first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(dropped));

    // Logout or shutdown: SIGTERM ends the application normally.
    app.process.terminate();
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(std::pair(app.process.exitStatus(), app.process.exitCode()),
              std::pair(QProcess::NormalExit, 0));
    EXPECT_TRUE(app.output.contains(u"Ending on signal 15."_s)) << app.output.toStdString();
}

TEST_F(AppLaunch, TheSettingDecidesOverTheLogSwitch)
{
    {
        RunningApp firstStart;
        ASSERT_TRUE(firstStart.waitForOutput(launchedLine));
    }
    const QDir logFolder(UserSettings::getUserSettingDictionary().value().stringValue(defLog));
    const auto logFiles = [&] { return logFolder.entryList(QDir::Files); };
    for (const QString& name : logFiles())
        QFile::remove(logFolder.filePath(name));

    // "is output log" false wins over --log-output: the lines stay on the console.
    UserSettings::update([](SettingsDictionary& dictionary) {
        dictionary.setValue(isOutputLog, SettingValue(false));
    });
    {
        RunningApp app({u"--log-output"_s});
        ASSERT_TRUE(app.waitForOutput(launchedLine));
    }
    EXPECT_TRUE(logFiles().isEmpty());

    // Without the key, --log-output sends the lines to the day's file.
    UserSettings::update([](SettingsDictionary& dictionary) { dictionary.remove(isOutputLog); });
    {
        RunningApp app({u"--log-output"_s});
        app.waitForOutput(u"LOG_LEVEL"_s);
        app.process.waitForFinished(3000);
    }
    ASSERT_EQ(logFiles().size(), 1);
    QFile log(logFolder.filePath(logFiles().first()));
    EXPECT_TRUE(log.open(QIODevice::ReadOnly) && log.readAll().contains("is running."));
}

TEST_F(AppLaunch, ALogFolderThatCannotBeMadeIsSaidOnceOnTheConsole)
{
    ASSERT_TRUE(QDir().mkpath(dataFolder()));
    SettingsDictionary settings = *SettingsDictionary::read(UserSettings::defaultPlistPath());
    settings.setValue(lastBuildNumber, QString::number(TalvorenCommon::buildNumber()));
    for (const QLatin1String key : {defImp, defTmp})
        settings.setValue(key, home.filePath(key));
    // The settings file itself stands where the log folder would have to be made.
    settings.setValue(defLog, UserSettings::path() + u"/log"_s);
    settings.setValue(isOutputLog, true);
    // And a destination of the wrong type: alerted (on the console), never made.
    settings.setValue(destinationFolderPath, 5);
    settings.setValue(waitSecondsForCheckingDesignatedFolder, 0);
    ASSERT_TRUE(UserSettings::write(settings));
    RunningApp app;
    ASSERT_TRUE(app.waitForOutput(launchedLine)) << app.output.toStdString();
    EXPECT_EQ(app.console.count(u"cannot be written"_s), 1) << app.console.toStdString();
    EXPECT_TRUE(app.console.contains(u"The setting \"destination folder path\""_s));
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath(u"5"_s)));
}

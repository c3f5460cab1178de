#include "clirun.h"
#include "filesbelow.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>

// The whole watch path through the real executable: the default settings pointed at
// folders of a temporary home, and a folder standing in for the mount folder.
class WatchCommand : public CliTest
{
protected:
    QString watchFolder = home.filePath("watch");
    QString importFolder = home.filePath(".local/share/Talvoren/Import");
    QString volumeRoot = home.filePath("mnt");

    void SetUp() override
    {
        for (const QString& folder : {watchFolder, importFolder, destination, volumeRoot})
            QDir().mkpath(folder);
        ASSERT_TRUE(UserSettings::copyDefaultPlist());
        changeSettings({{SettingKeys::watchFolder, true},
                        {SettingKeys::watchFolderPath, watchFolder},
                        {SettingKeys::defImp, importFolder},
                        {SettingKeys::defTmp, temporary},
                        {SettingKeys::destinationFolderPath, destination},
                        {SettingKeys::watchRemovableDiskDrive, true}});
    }
};

TEST_F(WatchCommand, OnceFilesTheWatchFolderTheImportFolderAndTheCards)
{
    putPicture(watchFolder + "/P1", "a.JPG", CameraPictureBuilder().patient("1", "W"));
    putPicture(importFolder, "b.JPG", CameraPictureBuilder().patient("2", "W"));
    const QString card = volumeRoot + "/CARD";
    putPicture(card + "/DCIM/100LUMOR", "IMG_0001.JPG", CameraPictureBuilder().patient("3", "W"));
    CameraPictureBuilder::writeFile(card + "/LMR_SD", {});
    // "confirm before sending" is 1001 in the defaults: nobody can answer, so the card goes in.

    const CliRun result = expectCli({"watch", "--once", "--volume-root", volumeRoot}, 0,
                                    "1 files were copied from the camera card");
    EXPECT_EQ(filesBelow(destination).size(), 3) << result.err.toStdString();
    EXPECT_EQ(filesBelow(watchFolder).size(), 1);    // copied
    EXPECT_TRUE(filesBelow(importFolder).isEmpty()); // moved
    EXPECT_FALSE(QFile::exists(home.filePath(".local/share/Talvoren/$TMP")));

    // A second run finds the watch folder picture recorded and the card new again
    // (the card memory lives in one process), whose picture is recorded as well.
    expectCli({"watch", "--once", "--volume-root=" + volumeRoot}, 0);
    EXPECT_EQ(filesBelow(destination).size(), 3);
}

TEST_F(WatchCommand, OnceExitsWithOneWhenARunFailedAndTwoForUnusableSettings)
{
    putPicture(watchFolder, "a.JPG", CameraPictureBuilder().patient("1", "W"));
    CameraPictureBuilder::writeFile(home.filePath("blocker"), "x");
    changeSettings({{SettingKeys::destinationFolderPath, home.filePath("blocker/dest")},
                    {SettingKeys::watchRemovableDiskDrive, false}});

    expectCli({"watch", "--once"}, 1, "[error]: The pictures could not be copied: ");
    EXPECT_EQ(filesBelow(watchFolder), QStringList({"a.JPG"}));

    // A watch folder that is no absolute path watches nothing at all.
    changeSettings({{SettingKeys::watchFolderPath, "watch"}});
    expectCli({"watch", "--once"}, 2, "The setting \"watch folder path\"");
    QFile::remove(UserSettings::path());
    expectCli({"watch", "--once"}, 2, "no settings file");
    CameraPictureBuilder::writeFile(UserSettings::path(),
                                    "<plist version=\"1.0\"><array/></plist>");
    expectCli({"watch", "--once"}, 2, "is corrupt (its root holds an array");
}

TEST_F(WatchCommand, WatchingPollsUntilTerminated)
{
    changeSettings({{SettingKeys::fileDetectionWaitTime, 100.0},
                    {SettingKeys::watchRemovableDiskDrive, false}});
    QProcess process;
    process.start(cliPath, {"watch", "--volume-root", volumeRoot});
    ASSERT_TRUE(process.waitForStarted());
    // Written while it watches: left for a later poll until it has finished arriving.
    CameraPictureBuilder().patient("1", "W").write(watchFolder, "a.JPG");
    QDeadlineTimer limit(30000);
    while (filesBelow(destination).isEmpty() && !limit.hasExpired())
        process.waitForFinished(100);
    EXPECT_EQ(filesBelow(destination).size(), 1);
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

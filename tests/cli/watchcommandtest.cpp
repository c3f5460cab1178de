#include "camerapicturebuilder.h"
#include "clirun.h"
#include "filesbelow.h"
#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "temphome.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

CliRun runWatch(const QStringList& arguments)
{
    return runCli(QStringList{QStringLiteral("watch")} + arguments);
}

// A picture that has finished arriving (the import leaves files changed within the
// last seconds for a later run), unless it is meant to be fresh.
void putPicture(const QString& folder, const QString& name, const QString& patientID,
                bool fresh = false)
{
    QFile file(CameraPictureBuilder()
                   .patient(patientID, QStringLiteral("Watch Test"))
                   .write(folder, name));
    if (!fresh && file.open(QIODevice::ReadOnly))
        file.setFileTime(QDateTime::currentDateTime().addSecs(-600),
                         QFileDevice::FileModificationTime);
}
} // namespace

// The whole watch path through the real executable: the default settings pointed at
// folders of a temporary home, and a folder standing in for the mount folder.
class WatchCommand : public testing::Test
{
protected:
    TempHome home;
    QString watchFolder = home.filePath(QStringLiteral("watch"));
    QString importFolder = home.filePath(QStringLiteral(".local/share/Talvoren/Import"));
    QString destination = home.filePath(QStringLiteral("Pictures/Talvoren"));
    QString volumeRoot = home.filePath(QStringLiteral("mnt"));
    SettingsDictionary settings;

    void SetUp() override
    {
        for (const QString& folder : {watchFolder, importFolder, destination, volumeRoot})
            QDir().mkpath(folder);
        ASSERT_TRUE(SeedDatabase::installIfMissing());
        settings = *SettingsDictionary::read(UserSettings::defaultPlistPath());
        settings.setValue(SettingKeys::watchFolder, true);
        settings.setValue(SettingKeys::watchFolderPath, watchFolder);
        settings.setValue(SettingKeys::defImp, importFolder);
        settings.setValue(SettingKeys::defTmp,
                          home.filePath(QStringLiteral(".local/share/Talvoren/temp")));
        settings.setValue(SettingKeys::destinationFolderPath, destination);
        settings.setValue(SettingKeys::watchRemovableDiskDrive, true);
        writeSettings();
    }
    void writeSettings() { ASSERT_TRUE(UserSettings::write(settings)); }

    QString insertCard(const QString& name, const QString& patientID)
    {
        const QString card = QDir(volumeRoot).filePath(name);
        putPicture(card + QStringLiteral("/DCIM/100LUMOR"), QStringLiteral("IMG_0001.JPG"),
                   patientID);
        QFile marker(QDir(card).filePath(QStringLiteral("LMR_SD")));
        EXPECT_TRUE(marker.open(QIODevice::WriteOnly));
        return card;
    }
};

TEST_F(WatchCommand, OnceFilesTheWatchFolderTheImportFolderAndTheCards)
{
    putPicture(watchFolder + QStringLiteral("/P1"), QStringLiteral("a.JPG"), QStringLiteral("1"));
    putPicture(importFolder, QStringLiteral("b.JPG"), QStringLiteral("2"));
    insertCard(QStringLiteral("CARD"), QStringLiteral("3"));
    // "confirm before sending" is 1001 in the defaults: nobody can answer, so the card goes in.
    ASSERT_EQ(settings.integerValue(SettingKeys::confirmBeforeSending), 1001);

    const CliRun result =
        runWatch({QStringLiteral("--once"), QStringLiteral("--volume-root"), volumeRoot});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(filesBelow(destination).size(), 3) << result.err.toStdString();
    EXPECT_EQ(filesBelow(watchFolder).size(), 1);    // copied
    EXPECT_TRUE(filesBelow(importFolder).isEmpty()); // moved
    EXPECT_TRUE(result.err.contains(QStringLiteral("1 files were copied from the camera card")));
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral(".local/share/Talvoren/$TMP"))));

    // A second run finds the watch folder picture recorded and the card new again
    // (the card memory lives in one process), whose picture is recorded as well.
    const CliRun again =
        runWatch({QStringLiteral("--once"), QStringLiteral("--volume-root=") + volumeRoot});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(filesBelow(destination).size(), 3);
}

TEST_F(WatchCommand, OnceExitsWithOneWhenARunFailed)
{
    putPicture(watchFolder, QStringLiteral("a.JPG"), QStringLiteral("1"));
    QFile blocker(home.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    settings.setValue(SettingKeys::destinationFolderPath,
                      blocker.fileName() + QStringLiteral("/dest"));
    settings.setValue(SettingKeys::watchRemovableDiskDrive, false);
    writeSettings();

    const CliRun result = runWatch({QStringLiteral("--once")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("[error]: The pictures could not be copied: ")))
        << result.err.toStdString();
    EXPECT_EQ(filesBelow(watchFolder), QStringList({"a.JPG"}));
}

TEST_F(WatchCommand, BadArgumentsAndMissingDamagedOrUnusableSettingsAreRefused)
{
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("--volume-root")},
          QStringList{QStringLiteral("--volume-root=")}, QStringList{QStringLiteral("extra")}}) {
        const CliRun result = runWatch(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("Usage: talvoren-cli watch")));
    }
    // A watch folder that is no absolute path watches nothing at all.
    settings.setValue(SettingKeys::watchFolderPath, QStringLiteral("watch"));
    writeSettings();
    CliRun result = runWatch({QStringLiteral("--once")});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains(QStringLiteral("The setting \"watch folder path\"")));

    QFile::remove(UserSettings::path());
    result = runWatch({QStringLiteral("--once")});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains(QStringLiteral("no settings file")));

    QFile damaged(UserSettings::path());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("<plist version=\"1.0\"><array/></plist>");
    damaged.close();
    result = runWatch({QStringLiteral("--once")});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains(QStringLiteral("is corrupt (its root holds an array")))
        << result.err.toStdString();
}

TEST_F(WatchCommand, WatchingPollsUntilTerminated)
{
    settings.setValue(SettingKeys::fileDetectionWaitTime, 100.0);
    settings.setValue(SettingKeys::watchRemovableDiskDrive, false);
    writeSettings();
    QProcess process;
    process.start(cliPath, {QStringLiteral("watch"), QStringLiteral("--volume-root"), volumeRoot});
    ASSERT_TRUE(process.waitForStarted());
    putPicture(watchFolder, QStringLiteral("a.JPG"), QStringLiteral("1"), true);
    QDeadlineTimer limit(30000);
    while (filesBelow(destination).isEmpty() && !limit.hasExpired())
        process.waitForFinished(100);
    EXPECT_EQ(filesBelow(destination).size(), 1);
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

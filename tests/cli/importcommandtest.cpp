#include "clirun.h"
#include "filesbelow.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <thread>

class ImportCommand : public CliTest
{
protected:
    using CliTest::putPicture;

    static CameraPictureBuilder numbered(int number, qint64 size = 0)
    {
        CameraPictureBuilder picture;
        picture.patient(QString::number(number % 7 + 1), "Cli Test")
            .captureDateTime(QDateTime(QDate(2024, 5, 1), QTime(9, 0)).addSecs(number));
        picture.options.fileSize = size;
        return picture;
    }

    QString putPicture(const QString& relativeFolder, int number, qint64 size = 0) const
    {
        return putPicture(source + "/" + relativeFolder, QStringLiteral("IMG_%1.JPG").arg(number),
                          numbered(number, size));
    }
};

TEST_F(ImportCommand, SaysWhatHappenedToEveryFileInWordsAndAsJson)
{
    const QString first = putPicture(QString(), 1);
    const CliRun filed = expectCli({"import", source}, 0);
    EXPECT_EQ(UserSettings::getUserSettingDictionary().value().stringValue(SettingKeys::defTmp),
              temporary);
    EXPECT_TRUE(QFile::exists(home.filePath(".local/share/Talvoren/Talvoren.db")));
    // The run logged into the day's log of the application, not onto the terminal.
    EXPECT_FALSE(filed.err.contains("ファイルコピー"));
    EXPECT_EQ(QDir(home.filePath(".local/share/Talvoren/log")).entryList(QDir::Files).size(), 1);
    putPicture("later", 2);
    putPicture(source + "/later", "IMG_1copy.JPG", numbered(1));
    CameraPictureBuilder::writeFile(source + "/notes.txt", "x");
    // Changed again and again while the runs go on: still being written.
    QFile fresh(CameraPictureBuilder().patient("9", "Fresh").write(source + "/later", "IMG_3.JPG"));
    ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
    std::atomic_bool runsDone = false;
    std::thread writer([&] {
        while (!runsDone) {
            fresh.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
            QThread::msleep(50);
        }
    });

    const CliRun text = expectCli({"import", source}, 0);
    EXPECT_EQ(text.out.toStdString(),
              QStringLiteral("Filed (1):\n  later/IMG_2.JPG -> %1/0000000003 Cli Test\n"
                             "Already imported (2):\n  IMG_1.JPG\n  later/IMG_1copy.JPG\n"
                             "Not a camera picture or unreadable (1):\n"
                             "  notes.txt: not a file the import takes\n"
                             "Left for later (1):\n  later/IMG_3.JPG: still being written\n"
                             "5 file(s) in %2: 1 filed, 2 already imported, 1 not a camera "
                             "picture or unreadable, 1 left for later\n"
                             "Filed 1 picture(s) into %1\n")
                  .arg(destination, source)
                  .toStdString());
    // Nothing of a progress line when standard error is not a terminal.
    EXPECT_FALSE(text.err.contains(u'\r'));

    const CliRun json = expectCli({"import", source, "--json"}, 0);
    runsDone = true;
    writer.join();
    const QJsonObject report = parsedJson(json.out).object();
    EXPECT_EQ(report[u"source"], source);
    EXPECT_TRUE(report[u"failure"].isNull());
    EXPECT_EQ(report[u"counts"][u"already imported"], 3);
    ASSERT_EQ(report[u"files"].toArray().size(), 5);
    EXPECT_EQ(report[u"files"][0].toObject(), QJsonObject({{"path", QDir::cleanPath(first)},
                                                           {"outcome", "already imported"},
                                                           {"reason", QJsonValue()}}));
}

TEST_F(ImportCommand, ReportsAFailedRunWithStatusOneAndWrongUsageWithTwo)
{
    expectCli({"import", home.filePath("missing")}, 2, "is not a folder");

    const QString picture = putPicture(QString(), 1);
    const QString database = home.filePath(".local/share/Talvoren/Talvoren.db");
    CameraPictureBuilder::writeFile(database, QByteArray(4096, 'x'));
    const CliRun damaged = expectCli({"import", source, "--move"}, 1, database + "\" is damaged");
    EXPECT_FALSE(damaged.out.contains("Filed (")) << damaged.out.toStdString();
    EXPECT_TRUE(QFile::exists(picture));
    EXPECT_EQ(QFile(database).size(), 4096);
    QFile::remove(database);

    QDir().mkpath(destination);
    // Immutable, so that even root cannot file into it.
    if (QProcess::execute("chattr", {"+i", destination}) != 0)
        GTEST_SKIP() << "this machine cannot make a folder read-only";
    const CliRun failed = expectCli({"import", source, "--move"}, 1, "the import failed: ");
    QProcess::execute("chattr", {"-i", destination});
    EXPECT_TRUE(contains(failed.out, "Failed (1):\n  IMG_1.JPG: staged but not filed"));
    EXPECT_TRUE(filesBelow(source).isEmpty());
    EXPECT_EQ(filesBelow(temporary).size(), 1);

    expectCli({"import", source}, 0);
    EXPECT_EQ(filesBelow(destination).size(), 1);
    EXPECT_TRUE(filesBelow(temporary).isEmpty());
}

// The process is killed at different moments of a moving run; runs to the end
// afterwards. Every picture must end filed exactly once, nothing else filed, and
// nothing left staged or half-written.
TEST_F(ImportCommand, AKilledRunLosesNothing)
{
    // Each picture (by content) to how often it must stand filed: once.
    QMap<QByteArray, int> pictures;
    for (int number = 0; number < 24; ++number) {
        const QString path = putPicture(QStringLiteral("F%1").arg(number / 3), number, 256 * 1024);
        pictures.insert(fileSha1(path), 1);
    }
    // Let the record check off so that only the filing itself can keep a picture
    // from being filed twice.
    prepareApplicationData();
    changeSettings({{SettingKeys::activateAvoidMultipleImportCheck, false}});

    for (const int killAfterMilliseconds : {700, 1500, 2600}) {
        QProcess process;
        process.start(cliPath, {"import", source, "--move"});
        ASSERT_TRUE(process.waitForStarted());
        QThread::msleep(killAfterMilliseconds);
        process.kill();
        process.waitForFinished(-1);
    }
    for (int run = 0; run < 2; ++run)
        expectCli({"import", source, "--move"}, 0);

    EXPECT_EQ(contentsBelow(destination), pictures);
    EXPECT_EQ(filesBelow(source) + filesBelow(temporary), QStringList());
}

// Two workstations (two homes) file pictures of the same names into one destination
// on another file system at the same time, round after round: every picture ends
// up there once, none replaced by another.
TEST_F(ImportCommand, TwoWorkstationsFilingIntoOneShareReplaceNothing)
{
    QTemporaryDir share("/dev/shm/talvoren-share-XXXXXX");
    if (!share.isValid() ||
        QStorageInfo(share.path()).rootPath() == QStorageInfo(home.path()).rootPath())
        GTEST_SKIP() << "no second file system at /dev/shm";
    QTemporaryDir second;
    const QStringList homes{home.path(), second.path()};
    for (const QString& each : homes) {
        qputenv("HOME", QFile::encodeName(each)); // for the helpers and the imports started
        prepareApplicationData();
        changeSettings({{SettingKeys::destinationFolderPath, share.path()},
                        {SettingKeys::activateAvoidMultipleImportCheck, false},
                        {SettingKeys::chopCameraSerialNumber, false}});
    }

    QMap<QByteArray, int> pictures;
    for (int round = 0; round < 6; ++round) {
        std::vector<std::unique_ptr<QProcess>> workstations;
        for (const QString& each : homes) {
            const QByteArray serial =
                QString::asprintf("LM%03d%03d", round, int(homes.indexOf(each))).toLatin1();
            for (int number = 0; number < 4; ++number) {
                const QString path =
                    putPicture(each + "/camera", QStringLiteral("IMG_%1.JPG").arg(number),
                               numbered(number).serial(serial));
                pictures.insert(fileSha1(path), 1);
            }
            auto& process = workstations.emplace_back(std::make_unique<QProcess>());
            qputenv("HOME", QFile::encodeName(each));
            process->start(cliPath, {"import", each + "/camera", "--move"});
        }
        for (const auto& process : workstations) {
            process->waitForFinished(-1);
            EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
        }
    }
    EXPECT_EQ(contentsBelow(share.path()), pictures);
}

TEST_F(ImportCommand, UnusableSettingsStopTheRunBeforeAnythingMovesAndSayWhy)
{
    const QString picture = putPicture(QString(), 1);
    prepareApplicationData();
    const SettingsDictionary prepared = *UserSettings::getUserSettingDictionary();

    const QList<std::pair<QString, SettingValue>> unusable = {
        {SettingKeys::destinationFolderPath, 5},
        {SettingKeys::destinationFolderPath, "filed"},
        {SettingKeys::defTmp, true},
    };
    for (const auto& [key, value] : unusable) {
        ASSERT_TRUE(UserSettings::write(prepared));
        changeSettings({{key, value}});
        expectCli({"import", source, "--move"}, 2, QStringLiteral("The setting \"%1\"").arg(key));
        EXPECT_TRUE(QFileInfo::exists(picture));
    }

    // A damaged settings file is named as such, with the parser's reason, and kept.
    const QByteArray damaged = "<?xml version=\"1.0\"?><plist><dict><key>def tmp</key>";
    CameraPictureBuilder::writeFile(UserSettings::path(), damaged);
    expectCli({"import", source, "--move"}, 2, "is corrupt (XML error at line 1");
    EXPECT_TRUE(QFileInfo::exists(picture));
    QFile file(UserSettings::path());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == damaged);

    // A log folder that cannot be made: said once on the terminal, and the run goes on,
    // moving and cleaning as the Import folder's poll does.
    ASSERT_TRUE(UserSettings::write(prepared));
    CameraPictureBuilder::writeFile(home.filePath("blocker"), "x");
    changeSettings(
        {{SettingKeys::defLog, home.filePath("blocker/log")}, {SettingKeys::isOutputLog, true}});
    CameraPictureBuilder::writeFile(source + "/notes.txt", "x");
    const CliRun unlogged = expectCli({"import", source, "--import-folder"}, 0);
    EXPECT_EQ(unlogged.err.count("cannot be written"), 1) << unlogged.err.toStdString();
    EXPECT_EQ(filesBelow(destination).size(), 1);
    EXPECT_TRUE(filesBelow(source).isEmpty());
    EXPECT_EQ(filesBelow(home.filePath(".local/share/Trash/files")), QStringList{"notes.txt"});
}

// The dry run tells what an import would do and writes nothing; the history then
// lists what the import filed, with its full path and whether it still stands.
TEST_F(ImportCommand, PreviewsADryRunAndListsTheHistory)
{
    const QString first = putPicture(QString(), 1);
    expectCli({"import", source}, 0);
    putPicture(QString(), 2);
    const QStringList before = filesBelow(home.path());

    const CliRun preview = expectCli({"import", "--dry-run", source}, 0);
    EXPECT_EQ(filesBelow(home.path()), before);
    EXPECT_TRUE(contains(preview.out, QStringLiteral("already imported\t%1").arg(first)));
    EXPECT_TRUE(contains(preview.out, "\t" + destination +
                                          "/0000000003 Cli Test/2024-05-01 090002_Mirr-C1.JPG\n"));
    EXPECT_TRUE(preview.out.contains("Pictures: 2, new: 1\n  1\t0000000003 Cli Test\n"));

    const std::pair<QStringList, int> linesOfHistory[] = {
        {{}, 1},
        {{"--patient", "cli test"}, 1},
        {{"--patient", "3 Cli"}, 0},
        {{"--original", "IMG_1.JPG"}, 1},
        {{"--since", "2999-01-01"}, 0},
    };
    for (const auto& [arguments, lines] : linesOfHistory)
        EXPECT_EQ(expectCli(QStringList{"history"} + arguments, 0).out.count('\n'), lines);
    const QString recorded = destination + "/0000000002 Cli Test/2024-05-01 090001_Mirr-C1.JPG";
    EXPECT_TRUE(contains(runCli({"history"}).out,
                         QStringLiteral("\tpresent\t%1\t%2\n").arg(recorded, first)));
    QFile::remove(recorded);
    const QJsonArray rows = parsedJson(runCli({"history", "--json"}).out).array();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.at(0)["path"].toString(), recorded);
    EXPECT_FALSE(rows.at(0)["exists"].toBool());
}

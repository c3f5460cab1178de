// The running application, driven from outside as a person would drive it.
#include "camerapicturebuilder.h"
#include "common/talvorencommon.h"
#include "desktopsession.h"
#include "fakeudisks2.h"
#include "filesbelow.h"
#include "importer/transferringmarker.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <unistd.h>

namespace {
const QString confirmationTitle = QStringLiteral("^Camera Card Found$");
const QString progressTitle = QStringLiteral("^Importing Pictures$");
const QString resultTitle = QStringLiteral("^Import Finished$");
const QString settingsTitle = QStringLiteral("^Talvoren Settings$");
// The alert and the already-running notice.
const QString noticeTitle = QStringLiteral("^Talvoren$");
const QString takeOverTitle = QStringLiteral("新しいバージョン");
const QString firstBatchDropped = QStringLiteral("only starts the camera card watch");

// Runs a command as root would; false when it fails (no privilege to mount here).
bool runCommand(const QString& program, const QStringList& arguments)
{
    QProcess command;
    command.start(program, arguments);
    return command.waitForFinished(20000) && command.exitStatus() == QProcess::NormalExit &&
           command.exitCode() == 0;
}

// Pictures of one patient, each shot a minute after the last, aged so the import
// takes them at once.
void writePictures(const QString& folder, int count)
{
    for (int i = 0; i < count; ++i) {
        CameraPictureBuilder picture;
        picture.patient(QStringLiteral("4711"), QStringLiteral("Card Patient"))
            .captureDateTime(QDateTime(QDate(2024, 5, 1), QTime(10, i)));
        const QString path =
            picture.write(folder, QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0')));
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addSecs(-600),
                         QFileDevice::FileModificationTime);
    }
}
} // namespace

class AppEndToEndTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (const QString missing = DesktopSession::missingTools(); !missing.isEmpty())
            GTEST_SKIP() << "missing: " << missing.toStdString();
        session = std::make_unique<DesktopSession>();
        if (!session->isRunning())
            GTEST_SKIP() << "the virtual display did not start";
        QDir().mkpath(volumeRoot);
        QDir().mkpath(workingFolder);
    }
    void TearDown() override
    {
        app.reset();
        for (const QString& mountPoint : mounted)
            runCommand(QStringLiteral("umount"), {QStringLiteral("-l"), mountPoint});
    }

    // The settings file as a practice would have it before the start.
    void prepareSettings(const std::function<void(SettingsDictionary&)>& change)
    {
        ASSERT_TRUE(UserSettings::copyDefaultPlist());
        ASSERT_TRUE(UserSettings::update(change));
    }
    void changeSettings(const std::function<void(SettingsDictionary&)>& change)
    {
        ASSERT_TRUE(UserSettings::update(change));
    }
    SettingsDictionary settings() const
    {
        return UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
    }

    void startApp(const QProcessEnvironment& extra = {})
    {
        app = std::make_unique<TalvorenProcess>(
            *session, QStringList{QStringLiteral("--volume-root"), volumeRoot}, extra,
            workingFolder);
        ASSERT_TRUE(waitFor([this] { return session->trayIcon().has_value(); }))
            << app->output().toStdString();
    }
    // The camera card watch takes changes only after its first one.
    void waitForCardWatch()
    {
        ASSERT_TRUE(waitFor([this] { return log().contains(firstBatchDropped); }))
            << log().toStdString();
    }

    QString log() const
    {
        QString text;
        const QDir folder(home.filePath(QStringLiteral(".local/share/Talvoren/log")));
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                text += QString::fromUtf8(file.readAll());
        }
        return text;
    }
    QString destination() const
    {
        return settings().stringValue(SettingKeys::destinationFolderPath);
    }

    // A card folder with the marker and pictures appears at once under the volume root;
    // mounted there when this machine lets us, so that it can be ejected.
    QString insertCard(const QString& name, int pictures, bool mount = false)
    {
        const QString staged = home.filePath(QStringLiteral("staging/") + name);
        writePictures(QDir(staged).filePath(QStringLiteral("DCIM/100LUMOR")), pictures);
        QFile marker(QDir(staged).filePath(QStringLiteral("LMR_SD")));
        marker.open(QIODevice::WriteOnly);
        marker.close();
        const QString card = QDir(volumeRoot).filePath(name);
        if (mount && QDir().mkpath(card) &&
            runCommand(QStringLiteral("mount"), {QStringLiteral("--bind"), staged, card})) {
            mounted << card;
            return card;
        }
        QDir().rmdir(card);
        QDir().rename(staged, card);
        return card;
    }
    int picturesIn(const QString& folder) const
    {
        const QStringList files = filesBelow(folder);
        return int(std::count_if(files.begin(), files.end(), [](const QString& file) {
            return file.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive);
        }));
    }

    TempHome home;
    std::unique_ptr<DesktopSession> session;
    std::unique_ptr<TalvorenProcess> app;
    QString volumeRoot = home.filePath(QStringLiteral("volumes"));
    // Where the application starts: a relative path would land here.
    QString workingFolder = home.filePath(QStringLiteral("work"));
    QStringList mounted;
};

TEST_F(AppEndToEndTest, TheFirstStartPreparesEverythingAndFilesAPictureDroppedIntoTheImportFolder)
{
    startApp();
    const QString data = home.filePath(QStringLiteral(".local/share/Talvoren"));
    EXPECT_TRUE(QFileInfo::exists(data + QStringLiteral("/Talvoren-setting.plist")));
    EXPECT_TRUE(QFileInfo::exists(data + QStringLiteral("/Talvoren.db")));
    ASSERT_TRUE(QFileInfo(data + QStringLiteral("/Import")).isDir());
    session->screenshot(QStringLiteral("first-start-tray"));

    writePictures(home.filePath(QStringLiteral("dropped")), 1);
    const QString dropped = data + QStringLiteral("/Import/IMG_0000.JPG");
    ASSERT_TRUE(QFile::rename(home.filePath(QStringLiteral("dropped/IMG_0000.JPG")), dropped));
    EXPECT_TRUE(waitFor([&] { return picturesIn(destination()) == 1; })) << log().toStdString();
    EXPECT_TRUE(waitFor([&] { return !QFileInfo::exists(dropped); }));
}

TEST_F(AppEndToEndTest, ACardIsImportedAfterTheConfirmationWithProgressAndResultThenEjected)
{
    PrivateSessionBus bus;
    FakeUDisks2 udisks;
    const bool withBus = bus.isRunning() && udisks.serve(bus.connect(QStringLiteral("udisks")));
    prepareSettings([](SettingsDictionary& values) {
        values.setValue(SettingKeys::confirmBeforeSending, qint64(1001));
        values.setValue(SettingKeys::ejectRemovableDevice, true);
    });
    QProcessEnvironment systemBus;
    systemBus.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), bus.address());
    startApp(systemBus);
    waitForCardWatch();

    const QString card = home.filePath(QStringLiteral("volumes/LUMORA_SD"));
    udisks.addVolume(
        {card, QStringLiteral("mmcblk0p1"), QStringLiteral("CardReader"), true, false});
    insertCard(QStringLiteral("LUMORA_SD"), 30, withBus);
    const QString confirmation = session->waitForWindow(confirmationTitle);
    ASSERT_FALSE(confirmation.isEmpty()) << log().toStdString();
    session->screenshot(QStringLiteral("card-confirmation"));
    EXPECT_EQ(picturesIn(destination()), 0);

    session->pressKeys(confirmation, {QStringLiteral("Return")}); // Import is the default
    EXPECT_FALSE(session->waitForWindow(progressTitle).isEmpty());
    session->screenshot(QStringLiteral("card-progress"));
    EXPECT_FALSE(session->waitForWindow(resultTitle).isEmpty()) << log().toStdString();
    session->screenshot(QStringLiteral("card-result"));
    EXPECT_TRUE(session->windows(progressTitle).isEmpty());
    EXPECT_TRUE(session->windows(confirmationTitle).isEmpty());
    EXPECT_EQ(picturesIn(destination()), 30);
    EXPECT_TRUE(log().contains(QStringLiteral("The copy result window shows 30 file(s)")))
        << log().toStdString();
    EXPECT_EQ(picturesIn(card), 30) << "copied, not moved";
    if (!mounted.isEmpty())
        EXPECT_EQ(udisks.calls(), QStringList({"Unmount mmcblk0p1", "Eject CardReader"}));
    else
        std::cout << "[ note ] the card could not be mounted here: its eject is not checked\n";
}

TEST_F(AppEndToEndTest, CancelImportsNothingAndWithoutConfirmationACardIsImportedAtOnce)
{
    startApp();
    waitForCardWatch();
    const QString first = insertCard(QStringLiteral("CARD_A"), 3);
    const QString confirmation = session->waitForWindow(confirmationTitle);
    ASSERT_FALSE(confirmation.isEmpty()) << log().toStdString();
    session->pressKeys(confirmation, {QStringLiteral("shift+Tab"), QStringLiteral("space")});
    EXPECT_TRUE(session->waitUntilNoWindow(confirmationTitle));
    session->screenshot(QStringLiteral("card-cancelled"));
    EXPECT_TRUE(session->windows(progressTitle).isEmpty());
    EXPECT_EQ(picturesIn(destination()), 0);
    EXPECT_EQ(picturesIn(first), 3);
    // The card is taken out; the next one is imported without asking.
    ASSERT_TRUE(QDir().rename(first, home.filePath(QStringLiteral("CARD_A"))));

    changeSettings([](SettingsDictionary& values) {
        values.setValue(SettingKeys::confirmBeforeSending, qint64(1002));
    });
    insertCard(QStringLiteral("CARD_B"), 2);
    EXPECT_FALSE(session->waitForWindow(resultTitle).isEmpty()) << log().toStdString();
    session->screenshot(QStringLiteral("card-without-confirmation"));
    EXPECT_TRUE(session->windows(confirmationTitle).isEmpty());
    EXPECT_EQ(picturesIn(destination()), 2);
}

TEST_F(AppEndToEndTest, AReadOnlyDestinationShowsTheAlertAndLosesNothingFromTheCard)
{
    const QString readOnly = home.filePath(QStringLiteral("readonly-destination"));
    QDir().mkpath(readOnly);
    prepareSettings([&](SettingsDictionary& values) {
        values.setValue(SettingKeys::destinationFolderPath, readOnly);
        values.setValue(SettingKeys::confirmBeforeSending, qint64(1002));
    });
    // Root writes through permissions: a read-only mount stands in for them.
    if (geteuid() == 0) {
        if (!runCommand(QStringLiteral("mount"), {QStringLiteral("--bind"), readOnly, readOnly}))
            GTEST_SKIP() << "root without the right to mount: no read-only folder";
        mounted << readOnly;
        ASSERT_TRUE(
            runCommand(QStringLiteral("mount"),
                       {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), readOnly}));
    } else {
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    }
    startApp();
    waitForCardWatch();
    const QString card = insertCard(QStringLiteral("CARD"), 3);
    const QString alert = session->waitForWindow(noticeTitle);
    ASSERT_FALSE(alert.isEmpty()) << log().toStdString();
    session->screenshot(QStringLiteral("read-only-destination-alert"));
    EXPECT_TRUE(log().contains(QStringLiteral("Import of the camera card failed: ")))
        << log().toStdString();
    EXPECT_EQ(picturesIn(card), 3);
    EXPECT_FALSE(QFileInfo::exists(TransferringMarker::path()));
    EXPECT_TRUE(session->windows(resultTitle).isEmpty());
    session->pressKeys(alert, {QStringLiteral("Return")});
    EXPECT_TRUE(session->waitUntilNoWindow(noticeTitle));
}

TEST_F(AppEndToEndTest,
       TheTrayMenuOpensTheSettingsTheChosenWatchFolderIsPolledAndRecentImportsListIt)
{
    startApp();
    const QString watched = home.filePath(QStringLiteral("scanner"));
    QDir().mkpath(watched);
    session->clickAt(session->trayIcon()->center(), 3);
    session->run(QStringLiteral("xdotool"), {QStringLiteral("sleep"), QStringLiteral("1")});
    session->screenshot(QStringLiteral("tray-menu"));
    session->run(QStringLiteral("xdotool"),
                 {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("150"),
                  QStringLiteral("Down"), QStringLiteral("Return")});
    const QString window = session->waitForWindow(settingsTitle);
    ASSERT_FALSE(window.isEmpty());
    // Tab from "start at login" past the card options to "watch this folder", tick it,
    // then the folder field.
    session->pressKeys(window, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                                QStringLiteral("Tab"), QStringLiteral("space"),
                                QStringLiteral("Tab"), QStringLiteral("ctrl+a")});
    session->typeText(window, watched);
    session->screenshot(QStringLiteral("settings-watch-folder"));
    session->pressKeys(window, {QStringLiteral("Return")});
    EXPECT_TRUE(session->waitUntilNoWindow(settingsTitle));
    EXPECT_TRUE(settings().boolValue(SettingKeys::watchFolder));
    EXPECT_EQ(settings().stringValue(SettingKeys::watchFolderPath), watched);

    writePictures(watched, 1);
    EXPECT_TRUE(waitFor([&] { return picturesIn(destination()) == 1; })) << log().toStdString();
    EXPECT_EQ(picturesIn(watched), 1) << "copied, not moved";

    // The item after the settings lists what was filed.
    session->clickAt(session->trayIcon()->center(), 3);
    session->run(QStringLiteral("xdotool"), {QStringLiteral("sleep"), QStringLiteral("1")});
    session->run(QStringLiteral("xdotool"),
                 {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("150"),
                  QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
    EXPECT_FALSE(session->waitForWindow(QStringLiteral("Recent Imports")).isEmpty());
    session->screenshot(QStringLiteral("recent-imports"));
}

TEST_F(AppEndToEndTest, EscapeOnTheTakeOverQuestionKeepsTheSettingsAndAsksAgain)
{
    prepareSettings([](SettingsDictionary& values) {
        values.setValue(SettingKeys::lastBuildNumber, QStringLiteral("11"));
        values.setValue(SettingKeys::watchFolderPath, QStringLiteral("/srv/practice/scans"));
    });
    for (int start = 0; start < 2; ++start) {
        app = std::make_unique<TalvorenProcess>(
            *session, QStringList{QStringLiteral("--volume-root"), volumeRoot});
        const QString question = session->waitForWindow(takeOverTitle);
        ASSERT_FALSE(question.isEmpty()) << "start " << start;
        session->screenshot(QStringLiteral("take-over-question"));
        session->pressKeys(question, {QStringLiteral("Escape")});
        EXPECT_TRUE(session->waitUntilNoWindow(takeOverTitle));
        ASSERT_TRUE(waitFor([this] { return session->trayIcon().has_value(); }));
        EXPECT_EQ(settings().stringValue(SettingKeys::lastBuildNumber), QStringLiteral("11"));
        EXPECT_EQ(settings().stringValue(SettingKeys::watchFolderPath),
                  QStringLiteral("/srv/practice/scans"));
        app.reset();
    }
    EXPECT_EQ(QDir(home.filePath(QStringLiteral(".local/share/Talvoren")))
                  .entryList({QStringLiteral("Talvoren-setting.plist.*")})
                  .size(),
              0)
        << "no reset copy";
}

TEST_F(AppEndToEndTest, ASecondCopyShowsTheNoticeAndEndsWhenItIsDismissedWhileTheFirstRuns)
{
    startApp();
    TalvorenProcess second(*session, {QStringLiteral("--volume-root"), volumeRoot});
    const QString notice = session->waitForWindow(noticeTitle);
    ASSERT_FALSE(notice.isEmpty()) << second.output().toStdString();
    session->screenshot(QStringLiteral("second-copy-notice"));
    session->pressKeys(notice, {QStringLiteral("Return")});
    EXPECT_TRUE(second.waitForEnd());
    EXPECT_TRUE(app->isRunning());
    EXPECT_TRUE(session->trayIcon().has_value());
}

// Settings the application cannot use at start-up: it says so once, keeps the tray
// for the settings window, and files nothing from the Import folder.
struct UnusableSettings
{
    const char* name;
    std::function<void()> write;
    QString alertText;
    // The log line of an Import-folder poll that refuses to run; empty when no
    // poll runs at all (then the settings file must stay byte for byte).
    QString refusedPoll;
};

// Names the case in test lists and failure messages.
void PrintTo(const UnusableSettings& settingsCase, std::ostream* stream)
{
    *stream << settingsCase.name;
}

class UnusableSettingsTest : public AppEndToEndTest,
                             public testing::WithParamInterface<UnusableSettings>
{
};

TEST_P(UnusableSettingsTest, OneAlertTheTrayAndNothingFiled)
{
    const UnusableSettings& settingsCase = GetParam();
    settingsCase.write();
    QFile settingsFile(UserSettings::path());
    ASSERT_TRUE(settingsFile.open(QIODevice::ReadOnly));
    const QByteArray before = settingsFile.readAll();
    settingsFile.close();
    const QString import = home.filePath(QStringLiteral(".local/share/Talvoren/Import"));
    writePictures(import, 1);
    const QString picture = import + QStringLiteral("/IMG_0000.JPG");

    startApp();
    // Without usable settings the log stays on standard error.
    const auto logged = [this] { return log() + app->output(); };
    ASSERT_FALSE(session->waitForWindow(noticeTitle).isEmpty()) << logged().toStdString();
    session->screenshot(QStringLiteral("unusable-settings-") + QLatin1String(settingsCase.name));
    // Longer than two polls of the Import folder, or two polls seen refusing.
    if (settingsCase.refusedPoll.isEmpty())
        EXPECT_FALSE(waitFor([&] { return !QFileInfo::exists(picture); }, 25000));
    else
        EXPECT_TRUE(waitFor([&] { return logged().count(settingsCase.refusedPoll) > 1; }))
            << logged().toStdString();

    EXPECT_TRUE(QFileInfo::exists(picture));
    EXPECT_EQ(session->windows(noticeTitle).size(), 1);
    EXPECT_EQ(logged().count(QStringLiteral("Alert window: ")), 1) << logged().toStdString();
    EXPECT_TRUE(logged().contains(settingsCase.alertText)) << logged().toStdString();
    EXPECT_TRUE(session->trayIcon().has_value());
    EXPECT_FALSE(QFileInfo::exists(workingFolder + QStringLiteral("/5")));
    if (settingsCase.refusedPoll.isEmpty()) {
        ASSERT_TRUE(settingsFile.open(QIODevice::ReadOnly));
        EXPECT_EQ(settingsFile.readAll(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AtStart, UnusableSettingsTest,
    testing::Values(UnusableSettings{"corrupt",
                                     [] {
                                         QDir().mkpath(
                                             TalvorenCommon::getApplicationDataDirectory());
                                         QFile file(UserSettings::path());
                                         file.open(QIODevice::WriteOnly);
                                         file.write("<plist><dict><key>x");
                                     },
                                     QStringLiteral("is corrupt (XML error"),
                                     {}},
                    UnusableSettings{"destinationNotAText",
                                     [] {
                                         UserSettings::copyDefaultPlist();
                                         UserSettings::update([](SettingsDictionary& values) {
                                             values.setValue(SettingKeys::destinationFolderPath,
                                                             qint64(5));
                                         });
                                     },
                                     QStringLiteral("\"destination folder path\" must be a text"),
                                     QStringLiteral("Importフォルダ監視タイマーは継続")}),
    [](const testing::TestParamInfo<UnusableSettings>& info) { return info.param.name; });

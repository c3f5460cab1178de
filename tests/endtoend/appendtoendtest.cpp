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
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <iostream>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QString confirmationTitle = u"^Camera Card Found$"_s;
const QString progressTitle = u"^Importing Pictures$"_s;
const QString resultTitle = u"^Import Finished$"_s;
const QString settingsTitle = u"^Talvoren Settings$"_s;
// The alert and the already-running notice.
const QString noticeTitle = u"^Talvoren$"_s;
const QString takeOverTitle = u"新しいバージョン"_s;

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
        QFile file(CameraPictureBuilder()
                       .patient(u"4711"_s, u"Card Patient"_s)
                       .captureDateTime(QDateTime(QDate(2024, 5, 1), QTime(10, i)))
                       .write(folder, u"IMG_%1.JPG"_s.arg(i, 4, 10, QLatin1Char('0'))));
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
            runCommand(u"umount"_s, {"-l", mountPoint});
    }

    // The settings file as a practice would have it before the start.
    void prepareSettings(const std::function<void(SettingsDictionary&)>& change)
    {
        ASSERT_TRUE(UserSettings::copyDefaultPlist());
        ASSERT_TRUE(UserSettings::update(change));
    }
    SettingsDictionary settings() const
    {
        return UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
    }

    void launch(const QProcessEnvironment& extra = {})
    {
        app = std::make_unique<TalvorenProcess>(*session, QStringList{"--volume-root", volumeRoot},
                                                extra, workingFolder);
    }
    void startApp(const QProcessEnvironment& extra = {})
    {
        launch(extra);
        ASSERT_TRUE(waitFor([this] { return session->trayIcon().has_value(); }))
            << app->output().toStdString();
    }
    // The camera card watch takes changes only after its first one.
    void waitForCardWatch()
    {
        ASSERT_TRUE(waitFor([this] {
            return log().contains(u"only starts the camera card watch"_s);
        })) << log().toStdString();
    }

    QString log() const
    {
        QString text;
        const QDir folder(dataFolder + u"/log"_s);
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
        const QString staged = home.filePath(u"staging/"_s + name);
        writePictures(staged + u"/DCIM/100LUMOR"_s, pictures);
        CameraPictureBuilder::writeFile(staged + u"/LMR_SD"_s, {});
        const QString card = QDir(volumeRoot).filePath(name);
        if (mount && QDir().mkpath(card) && runCommand(u"mount"_s, {"--bind", staged, card})) {
            mounted << card;
            return card;
        }
        QDir().rmdir(card);
        QDir().rename(staged, card);
        return card;
    }
    static qsizetype picturesIn(const QString& folder)
    {
        static const QRegularExpression jpeg(u"\\.jpg$"_s,
                                             QRegularExpression::CaseInsensitiveOption);
        return filesBelow(folder).filter(jpeg).size();
    }

    TempHome home;
    std::unique_ptr<DesktopSession> session;
    std::unique_ptr<TalvorenProcess> app;
    QString dataFolder = home.filePath(u".local/share/Talvoren"_s);
    QString volumeRoot = home.filePath(u"volumes"_s);
    // Where the application starts: a relative path would land here.
    QString workingFolder = home.filePath(u"work"_s);
    QStringList mounted;
};

TEST_F(AppEndToEndTest, TheFirstStartPreparesEverythingFilesADroppedPictureAndTurnsASecondCopyAway)
{
    startApp();
    EXPECT_TRUE(QFileInfo::exists(dataFolder + u"/Talvoren-setting.plist"_s));
    EXPECT_TRUE(QFileInfo::exists(dataFolder + u"/Talvoren.db"_s));
    ASSERT_TRUE(QFileInfo(dataFolder + u"/Import"_s).isDir());
    session->screenshot(u"first-start-tray"_s);

    writePictures(home.filePath(u"dropped"_s), 1);
    const QString dropped = dataFolder + u"/Import/IMG_0000.JPG"_s;
    ASSERT_TRUE(QFile::rename(home.filePath(u"dropped/IMG_0000.JPG"_s), dropped));
    EXPECT_TRUE(waitFor([&] { return picturesIn(destination()) == 1; })) << log().toStdString();
    EXPECT_TRUE(waitFor([&] { return !QFileInfo::exists(dropped); }));

    // A second copy shows the notice and ends when it is dismissed; the first runs on.
    TalvorenProcess second(*session, {"--volume-root", volumeRoot});
    const QString notice = session->waitForWindow(noticeTitle, u"second-copy-notice"_s);
    ASSERT_FALSE(notice.isEmpty()) << second.output().toStdString();
    session->pressKeys(notice, {"Return"});
    EXPECT_TRUE(second.waitForEnd());
    EXPECT_TRUE(app->isRunning());
    EXPECT_TRUE(session->trayIcon().has_value());
}

TEST_F(AppEndToEndTest, ACardIsImportedAfterTheConfirmationWithProgressAndResultThenEjected)
{
    PrivateSessionBus bus;
    FakeUDisks2 udisks;
    const bool withBus = bus.isRunning() && udisks.serve(bus.connect(u"udisks"_s));
    prepareSettings([](SettingsDictionary& values) {
        values.setValue(SettingKeys::confirmBeforeSending, qint64(1001));
        values.setValue(SettingKeys::ejectRemovableDevice, true);
    });
    QProcessEnvironment systemBus;
    systemBus.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, bus.address());
    startApp(systemBus);
    waitForCardWatch();

    const QString card = QDir(volumeRoot).filePath(u"LUMORA_SD"_s);
    udisks.addVolume({card, u"mmcblk0p1"_s, u"CardReader"_s, true, false});
    insertCard(u"LUMORA_SD"_s, 30, withBus);
    const QString confirmation = session->waitForWindow(confirmationTitle, u"card-confirmation"_s);
    ASSERT_FALSE(confirmation.isEmpty()) << log().toStdString();
    EXPECT_EQ(picturesIn(destination()), 0);

    session->pressKeys(confirmation, {"Return"}); // Import is the default
    EXPECT_FALSE(session->waitForWindow(progressTitle, u"card-progress"_s).isEmpty());
    EXPECT_FALSE(session->waitForWindow(resultTitle, u"card-result"_s).isEmpty())
        << log().toStdString();
    EXPECT_TRUE(session->windows(progressTitle).isEmpty());
    EXPECT_TRUE(session->windows(confirmationTitle).isEmpty());
    EXPECT_EQ(picturesIn(destination()), 30);
    EXPECT_TRUE(log().contains(u"The copy result window shows 30 file(s)"_s))
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
    const QString first = insertCard(u"CARD_A"_s, 3);
    const QString confirmation = session->waitForWindow(confirmationTitle);
    ASSERT_FALSE(confirmation.isEmpty()) << log().toStdString();
    session->pressKeys(confirmation, {"shift+Tab", "space"});
    EXPECT_TRUE(session->waitUntilNoWindow(confirmationTitle));
    session->screenshot(u"card-cancelled"_s);
    EXPECT_TRUE(session->windows(progressTitle).isEmpty());
    EXPECT_EQ(picturesIn(destination()), 0);
    EXPECT_EQ(picturesIn(first), 3);
    // The card is taken out; the next one is imported without asking.
    ASSERT_TRUE(QDir().rename(first, home.filePath(u"CARD_A"_s)));

    ASSERT_TRUE(UserSettings::update([](SettingsDictionary& values) {
        values.setValue(SettingKeys::confirmBeforeSending, qint64(1002));
    }));
    insertCard(u"CARD_B"_s, 2);
    EXPECT_FALSE(session->waitForWindow(resultTitle, u"card-without-confirmation"_s).isEmpty())
        << log().toStdString();
    EXPECT_TRUE(session->windows(confirmationTitle).isEmpty());
    EXPECT_EQ(picturesIn(destination()), 2);
}

TEST_F(AppEndToEndTest, AReadOnlyDestinationShowsTheAlertAndLosesNothingFromTheCard)
{
    const QString readOnly = home.filePath(u"readonly-destination"_s);
    QDir().mkpath(readOnly);
    prepareSettings([&](SettingsDictionary& values) {
        values.setValue(SettingKeys::destinationFolderPath, readOnly);
        values.setValue(SettingKeys::confirmBeforeSending, qint64(1002));
    });
    // Root writes through permissions: a read-only mount stands in for them.
    if (geteuid() == 0) {
        if (!runCommand(u"mount"_s, {"--bind", readOnly, readOnly}))
            GTEST_SKIP() << "root without the right to mount: no read-only folder";
        mounted << readOnly;
        ASSERT_TRUE(runCommand(u"mount"_s, {"-o", "remount,bind,ro", readOnly}));
    } else {
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    }
    startApp();
    waitForCardWatch();
    const QString card = insertCard(u"CARD"_s, 3);
    const QString alert = session->waitForWindow(noticeTitle, u"read-only-destination-alert"_s);
    ASSERT_FALSE(alert.isEmpty()) << log().toStdString();
    EXPECT_TRUE(log().contains(u"Import of the camera card failed: "_s)) << log().toStdString();
    EXPECT_EQ(picturesIn(card), 3);
    EXPECT_FALSE(QFileInfo::exists(TransferringMarker::path()));
    EXPECT_TRUE(session->windows(resultTitle).isEmpty());
    session->pressKeys(alert, {"Return"});
    EXPECT_TRUE(session->waitUntilNoWindow(noticeTitle));
}

TEST_F(AppEndToEndTest,
       TheTrayMenuOpensTheSettingsTheChosenWatchFolderIsPolledAndRecentImportsListIt)
{
    startApp();
    const QString watched = home.filePath(u"scanner"_s);
    QDir().mkpath(watched);
    session->chooseTrayMenuItem(1, u"tray-menu"_s);
    const QString window = session->waitForWindow(settingsTitle);
    ASSERT_FALSE(window.isEmpty());
    // Tab from "start at login" past the card options to "watch this folder", tick it,
    // then the folder field.
    session->pressKeys(window, QStringList(4, u"Tab"_s) << "space"
                                                        << "Tab"
                                                        << "ctrl+a");
    session->typeText(window, watched);
    session->screenshot(u"settings-watch-folder"_s);
    session->pressKeys(window, {"Return"});
    EXPECT_TRUE(session->waitUntilNoWindow(settingsTitle));
    EXPECT_TRUE(settings().boolValue(SettingKeys::watchFolder));
    EXPECT_EQ(settings().stringValue(SettingKeys::watchFolderPath), watched);

    writePictures(watched, 1);
    EXPECT_TRUE(waitFor([&] { return picturesIn(destination()) == 1; })) << log().toStdString();
    EXPECT_EQ(picturesIn(watched), 1) << "copied, not moved";

    // The item after the settings lists what was filed.
    session->chooseTrayMenuItem(2);
    EXPECT_FALSE(session->waitForWindow(u"Recent Imports"_s, u"recent-imports"_s).isEmpty());
}

TEST_F(AppEndToEndTest, EscapeOnTheTakeOverQuestionKeepsTheSettingsAndAsksAgain)
{
    prepareSettings([](SettingsDictionary& values) {
        values.setValue(SettingKeys::lastBuildNumber, u"11"_s);
        values.setValue(SettingKeys::watchFolderPath, u"/srv/practice/scans"_s);
    });
    for (int start = 0; start < 2; ++start) {
        launch();
        const QString question = session->waitForWindow(takeOverTitle, u"take-over-question"_s);
        ASSERT_FALSE(question.isEmpty()) << "start " << start;
        session->pressKeys(question, {"Escape"});
        EXPECT_TRUE(session->waitUntilNoWindow(takeOverTitle));
        ASSERT_TRUE(waitFor([this] { return session->trayIcon().has_value(); }));
        EXPECT_EQ(settings().stringValue(SettingKeys::lastBuildNumber), u"11"_s);
        EXPECT_EQ(settings().stringValue(SettingKeys::watchFolderPath), u"/srv/practice/scans"_s);
        app.reset();
    }
    EXPECT_EQ(QDir(dataFolder).entryList({u"Talvoren-setting.plist.*"_s}), QStringList())
        << "no reset copy";
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

const UnusableSettings unusableSettings[] = {
    {"corrupt",
     [] {
         QDir().mkpath(TalvorenCommon::getApplicationDataDirectory());
         CameraPictureBuilder::writeFile(UserSettings::path(), "<plist><dict><key>x");
     },
     u"is corrupt (XML error"_s,
     {}},
    {"destinationNotAText",
     [] {
         UserSettings::copyDefaultPlist();
         UserSettings::update([](SettingsDictionary& values) {
             values.setValue(SettingKeys::destinationFolderPath, qint64(5));
         });
     },
     u"\"destination folder path\" must be a text"_s, u"Importフォルダ監視タイマーは継続"_s}};

class UnusableSettingsTest : public AppEndToEndTest,
                             public testing::WithParamInterface<UnusableSettings>
{
};

TEST_P(UnusableSettingsTest, OneAlertTheTrayAndNothingFiled)
{
    const UnusableSettings& settingsCase = GetParam();
    settingsCase.write();
    const QByteArray before = fileSha1(UserSettings::path());
    ASSERT_FALSE(before.isEmpty());
    writePictures(dataFolder + u"/Import"_s, 1);
    const QString picture = dataFolder + u"/Import/IMG_0000.JPG"_s;

    startApp();
    // Without usable settings the log stays on standard error.
    const auto logged = [this] { return log() + app->output(); };
    const QString shot = u"unusable-settings-"_s + QLatin1String(settingsCase.name);
    ASSERT_FALSE(session->waitForWindow(noticeTitle, shot).isEmpty()) << logged().toStdString();
    // Longer than two polls of the Import folder, or two polls seen refusing.
    if (settingsCase.refusedPoll.isEmpty())
        EXPECT_FALSE(waitFor([&] { return !QFileInfo::exists(picture); }, 25000));
    else
        EXPECT_TRUE(waitFor([&] { return logged().count(settingsCase.refusedPoll) > 1; }))
            << logged().toStdString();

    EXPECT_TRUE(QFileInfo::exists(picture));
    EXPECT_EQ(session->windows(noticeTitle).size(), 1);
    EXPECT_EQ(logged().count(u"Alert window: "_s), 1) << logged().toStdString();
    EXPECT_TRUE(logged().contains(settingsCase.alertText)) << logged().toStdString();
    EXPECT_TRUE(session->trayIcon().has_value());
    EXPECT_FALSE(QFileInfo::exists(workingFolder + u"/5"_s));
    if (settingsCase.refusedPoll.isEmpty()) {
        EXPECT_EQ(fileSha1(UserSettings::path()), before);
    }
}

INSTANTIATE_TEST_SUITE_P(AtStart, UnusableSettingsTest, testing::ValuesIn(unusableSettings),
                         [](const testing::TestParamInfo<UnusableSettings>& info) {
                             return info.param.name;
                         });

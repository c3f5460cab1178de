#include "settings/settingsmigration.h"

#include "common/talvorencommon.h"
#include "settings/settingdefaults.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "settingstestfiles.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace SettingsTestFiles;
namespace K = SettingKeys;

namespace {
const QDateTime fixedNow(QDate(2024, 1, 5), QTime(9, 30, 0));

SettingsDictionary settingsOfBuild(const SettingValue& build, Entries more = {})
{
    more += Entries{{K::lastBuildNumber, build}, {K::watchFolderPath, "/srv/camera"}};
    return dictionaryOf(more);
}

QString dataFolder(const char* name)
{
    return TalvorenCommon::getApplicationDataDirectory() + u'/' + QLatin1String(name);
}

QString versionUp(const QString& what)
{
    return QStringLiteral("[info]: ### version up ### ") + what;
}

QString added(const char* key)
{
    return versionUp(QStringLiteral("Add '%1' setting.").arg(QLatin1String(key)));
}

// One step of the upgrade: the keys it adds when missing, and its info lines.
struct Step
{
    Entries keys;
    QStringList lines;
};

QList<Step> upgradeSteps()
{
    const QString addSettings = versionUp("Add settings to Talvoren-setting.plit file.");
    return {
        {{{K::manualVersionCheckSite, QString(SettingDefaults::productPage)}}, {}},
        {{{K::exportXml, false},
          {K::zeroPadding, true},
          {K::zeroPaddingLength, 6},
          {K::zeroPaddingLengthString, 10},
          {K::chopCameraSerialNumber, false},
          {K::chopCount, false},
          {K::dontAddPatientName, false},
          {K::dontSendMif, false},
          {K::informationCheckSite, QString(SettingDefaults::informationCheckSite)},
          {K::checkedInformationId, 0}},
         {}},
        {{{K::informationCheckSiteEnglish, QString(SettingDefaults::informationCheckSiteEnglish)}},
         {}},
        {{{K::activateAvoidMultipleImportCheck, 1},
          {K::deleteImportedFileRecordIntervalTime, 31536000},
          {K::lastDeleteImportedFileRecordDatetime, "19700101090000"}},
         {}},
        {{{K::ejectRemovableDevice, 0}, {K::waitSecondsForCheckingDesignatedFolder, 30}}, {}},
        {{{K::dontSendMif, false},
          {K::destinationFolderPathMov, TalvorenCommon::getMoviesDirectory() + "/TalvorenMovie"}},
         {addSettings, added("dont send mif"), added("destination folder path mov"),
          added("destination folder mov")}},
        {{{K::deleteExifPersonalInfo, false}, {K::notSendingImage, false}},
         {addSettings, added("delete exif personal info"), added("not sending image")}},
        {{{K::fileDetectionWaitTime, 15000.0},
          {K::logFileKeepDays, 30},
          {K::moveToTrash, true},
          {K::isOutputLog, true}},
         {addSettings, added("file detection wait time"), added("log file keep days"),
          added("move to trash"), added("is output log"),
          versionUp("Delete 'id number zero padding' setting.")}},
    };
}
} // namespace

class SettingsUpgrade : public testing::Test
{
protected:
    SettingsUpgrade()
    {
        migration.setClock([] { return fixedNow; });
        migration.setLogOpener([this](const QString& path) { openedLogs << path; });
    }

    // Writes the dictionary as the settings file and returns it as read back.
    SettingsDictionary install(const SettingsDictionary& dictionary)
    {
        EXPECT_TRUE(UserSettings::write(dictionary));
        return *UserSettings::getUserSettingDictionary();
    }

    SettingsDictionary current() const { return *UserSettings::getUserSettingDictionary(); }

    // A settings file at the place builds before 6 kept it.
    void writeOldLocationFile() const
    {
        ASSERT_TRUE(QDir().mkpath(TalvorenCommon::getApplicationWorkDirectory()));
        ASSERT_TRUE(dictionaryOf({{QStringLiteral("only in the old file"), true}})
                        .write(TalvorenCommon::getOldUserSettingPlistFilePath()));
    }

    TempHome home;
    SettingsMigration migration{12};
    QStringList openedLogs;
};

TEST_F(SettingsUpgrade, FirstStartTakeOverAndRaisingAreDecidedByTheLastBuildNumber)
{
    struct Case
    {
        SettingValue build;
        bool firstStart;
        bool takeOver;
    };
    const Case cases[] = {{"0", true, false},    {"abc", true, false},   {"-3", true, false},
                          {"", true, false},     {0, true, false},       {"9", false, true},
                          {" 11 ", false, true}, {1, false, true},       {"12", false, false},
                          {"13", false, false},  {"12abc", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.build.stringValue().toStdString());
        EXPECT_EQ(SettingsMigration::checkFirstTimeStart(settingsOfBuild(c.build)), c.firstStart);
        EXPECT_EQ(migration.needsTakeOverQuestion(settingsOfBuild(c.build)), c.takeOver);
        // Only an older build number is raised; a newer build's file stays as it is.
        install(settingsOfBuild(c.build));
        const bool older = c.firstStart || c.takeOver;
        EXPECT_EQ(migration.raiseLastBuildNumber(), older);
        EXPECT_EQ(current(), settingsOfBuild(older ? "12" : c.build));
    }
    EXPECT_TRUE(SettingsMigration::checkFirstTimeStart(SettingsDictionary()));
}

TEST_F(SettingsUpgrade, TheDefaultFileHoldsWhatTheStepsAddAndItsFirstStartFillsTheFolders)
{
    SettingsDictionary defaults = *SettingsDictionary::read(UserSettings::defaultPlistPath());
    EXPECT_TRUE(SettingsMigration::checkFirstTimeStart(defaults));
    // A fresh install is never upgraded, so the file carries what the steps would add
    // (but the movie folder, which the first start fills).
    for (const Step& step : upgradeSteps()) {
        for (const auto& [key, value] : step.keys) {
            if (key != K::destinationFolderPathMov) {
                EXPECT_EQ(defaults.stringValue(key), value.stringValue()) << key.toStdString();
            }
        }
    }
    for (const QLatin1String key :
         {K::lastBuildNumber, K::idNumberZeroPadding, K::ejectRemovavleDevice})
        EXPECT_FALSE(defaults.contains(key)) << key.data();

    defaults.setValue(K::defImp, QString()); // empty counts as missing
    defaults.setValue(K::defTmp, home.filePath(QStringLiteral("own/temp")));
    install(defaults);

    const auto completed = migration.completeFirstStart();
    ASSERT_TRUE(completed);
    SettingsDictionary expected = defaults;
    for (const auto& [key, value] : Entries{
             {K::lastBuildNumber, "12"},
             {K::destinationFolderPath, TalvorenCommon::getPicturesDirectory() + "/Talvoren"},
             {K::destinationFolderPathMov, TalvorenCommon::getMoviesDirectory() + "/TalvorenMovie"},
             {K::defSetting, dataFolder("")},
             {K::defImp, dataFolder("Import")},
             {K::defLog, dataFolder("log")}})
        expected.setValue(key, value);
    EXPECT_EQ(*completed, expected);
    EXPECT_EQ(current(), expected);
    for (const QString& folder :
         {dataFolder("Import"), dataFolder("log"), expected.stringValue(K::defTmp)})
        EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
    // The destinations are only named here; the start-up creates them.
    EXPECT_FALSE(QFileInfo::exists(expected.stringValue(K::destinationFolderPath)));

    // A file that cannot be read is left as it is.
    const QByteArray damaged = appleStyleSettings().left(300);
    ASSERT_TRUE(writeBytes(UserSettings::path(), damaged));
    EXPECT_FALSE(migration.completeFirstStart());
    EXPECT_EQ(readBytes(UserSettings::path()), damaged);
}

TEST_F(SettingsUpgrade, EachOlderBuildGetsWhatTheStepsItMissedAddAndKeepsWhatItHas)
{
    struct Case
    {
        const char* name;
        SettingsDictionary old;
        int firstStep; // the steps from this one (counted from 1) to the last run
        Entries handedOn;
    };
    // Keys of old builds that the last step removes.
    const Entries legacy = {{K::idNumberZeroPadding, true}, {K::ejectRemovavleDevice, "YES"}};
    const Case cases[] = {
        {"build 1 runs every step", settingsOfBuild("1"), 1, {}},
        // Present keys keep their values, even empty ones. The integer 0 of the fifth
        // step comes before the last step meets the misspelled key, and stays.
        {"build 2",
         settingsOfBuild("2", legacy + Entries{{K::informationCheckSite, ""},
                                               {K::zeroPadding, false},
                                               {K::fileDetectionWaitTime, "5000"}}),
         2,
         {}},
        {"build 5", settingsOfBuild("5"), 4, {}},
        // Build 8 hands the misspelled value on unless the right spelling is there.
        {"build 8", settingsOfBuild("8", legacy), 6, {{K::ejectRemovableDevice, true}}},
        {"build 8, both",
         settingsOfBuild("8", legacy + Entries{{K::ejectRemovableDevice, false}}),
         6,
         {}},
        {"build 10", settingsOfBuild(10), 8, {}},
        {"build 11", settingsOfBuild("11"), 9, {}},
    };
    const QList<Step> steps = upgradeSteps();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeOldLocationFile();
        SettingsMigration upgrade(12);
        StderrCapture log;
        upgrade.updateConfig(install(c.old));

        SettingsDictionary expected = c.old;
        QStringList lines;
        for (qsizetype step = c.firstStep; step <= steps.size(); ++step) {
            for (const auto& [key, value] : steps[step - 1].keys)
                expected.setValueIfMissing(key, value);
            lines += steps[step - 1].lines;
        }
        const bool stepsRan = c.firstStep <= steps.size();
        for (const auto& [key, value] : stepsRan ? legacy : Entries())
            expected.remove(key);
        for (const auto& [key, value] : c.handedOn)
            expected.setValue(key, value);
        EXPECT_EQ(current(), expected);
        EXPECT_EQ(log.lines(), lines);
        EXPECT_EQ(upgrade.needsDefaultFolders(), stepsRan);
        // Before build 6 the settings in memory replace the old location's file.
        EXPECT_EQ(QFile::exists(TalvorenCommon::getOldUserSettingPlistFilePath()), c.firstStep > 4);
    }
}

TEST_F(SettingsUpgrade, AFailedWriteDuringTheUpgradeLosesNoFile)
{
    writeOldLocationFile();
    const QByteArray oldLocationBytes = readBytes(TalvorenCommon::getOldUserSettingPlistFilePath());
    const SettingsDictionary old = install(settingsOfBuild("5"));
    const QByteArray settingsBytes = readBytes(UserSettings::path());
    {
        const FileSizeLimit diskFull(64);
        migration.updateConfig(old);
    }
    EXPECT_EQ(readBytes(UserSettings::path()), settingsBytes);
    EXPECT_EQ(readBytes(TalvorenCommon::getOldUserSettingPlistFilePath()), oldLocationBytes);
}

TEST_F(SettingsUpgrade, TakingOverMigratesSettingsThenTableThenFolders)
{
    const QString logs = home.filePath(QStringLiteral("logs"));
    install(settingsOfBuild("9", {{K::defLog, logs}}));
    int asked = 0;
    int tableMigrations = 0;
    migration.showUpdateDialog(
        [&](const SettingsDictionary& shown) {
            ++asked;
            EXPECT_EQ(shown, current());
            return int(SettingsMigration::TakeOver);
        },
        [&](const SettingsDictionary& given) {
            ++tableMigrations;
            EXPECT_EQ(given.value(K::lastBuildNumber), SettingValue("9"));
            EXPECT_TRUE(current().contains(K::moveToTrash)); // settings migrated first
            EXPECT_FALSE(current().contains(K::defImp));     // folders come after
        });

    EXPECT_EQ(std::pair(asked, tableMigrations), std::pair(1, 1));
    EXPECT_EQ(current().stringValue(K::defImp), dataFolder("Import"));
    EXPECT_EQ(current().stringValue(K::defLog), logs);
    EXPECT_TRUE(QFileInfo(logs).isDir());
    EXPECT_EQ(openedLogs, QStringList{logs + QStringLiteral("/20240105.log")});
}

TEST_F(SettingsUpgrade, DecliningSetsTheOldFileAsideBesideFreshDefaultsOtherAnswersChangeNothing)
{
    // Without a settings file there is nothing to ask.
    migration.showUpdateDialog([](const SettingsDictionary&) { return 1; },
                               [](const SettingsDictionary&) { FAIL(); });
    EXPECT_FALSE(QFile::exists(UserSettings::path()));
    EXPECT_FALSE(migration.needsDefaultFolders());

    const SettingsDictionary old = install(settingsOfBuild("9"));
    const QByteArray oldBytes = readBytes(UserSettings::path());
    migration.answerTakeOverQuestion(2, old, [](const SettingsDictionary&) { FAIL(); });
    EXPECT_EQ(readBytes(UserSettings::path()), oldBytes);
    int tableMigrations = 0;
    migration.answerTakeOverQuestion(SettingsMigration::DoNotTakeOver, old,
                                     [&](const SettingsDictionary& given) {
                                         ++tableMigrations;
                                         EXPECT_EQ(given, old);
                                     });

    const QString setAside = UserSettings::path() + QStringLiteral(".9_20240105093000");
    EXPECT_EQ(migration.resetFilePath(old), setAside);
    EXPECT_EQ(readBytes(setAside), oldBytes);
    EXPECT_EQ(tableMigrations, 1);
    EXPECT_TRUE(migration.needsDefaultFolders());
    const SettingsDictionary fresh = current();
    EXPECT_FALSE(fresh.contains(K::lastBuildNumber));
    EXPECT_EQ(fresh.stringValue(K::watchFolderPath), QString());
    EXPECT_EQ(fresh.stringValue(K::defTmp), dataFolder("temp"));
    EXPECT_TRUE(QFileInfo(dataFolder("temp")).isDir());
    EXPECT_EQ(openedLogs.size(), 1);
}

TEST_F(SettingsUpgrade, DefaultFolderStepRunsOnlyWhenAskedFor)
{
    const SettingsDictionary settings = install(settingsOfBuild("10", {{K::isOutputLog, false}}));
    const QByteArray before = readBytes(UserSettings::path());
    StderrCapture quiet;
    migration.set30DefaultFolder(settings);
    EXPECT_TRUE(quiet.lines().isEmpty());
    EXPECT_EQ(readBytes(UserSettings::path()), before);

    // Asked for by the upgrade from build 10; without the "is output log" key no log opens.
    migration.updateConfig(settings);
    ASSERT_TRUE(migration.needsDefaultFolders());
    SettingsDictionary withoutLogKey = current();
    withoutLogKey.remove(K::isOutputLog);
    StderrCapture log;
    migration.set30DefaultFolder(withoutLogKey);
    EXPECT_EQ(log.lines(), (QStringList{added("def setting"), added("def imp"), added("def log"),
                                        added("def tmp")}));
    EXPECT_TRUE(openedLogs.isEmpty());
    EXPECT_EQ(current().stringValue(K::defLog), dataFolder("log"));

    // The key's presence opens the log, whatever its value.
    migration.set30DefaultFolder(settings);
    EXPECT_EQ(openedLogs.size(), 1);
}

#include "settings/settingsmigration.h"

#include "common/logfile.h"
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

namespace {
const QString addSettingsLine =
    QStringLiteral("### version up ### Add settings to Talvoren-setting.plit file.");
const QDateTime fixedNow(QDate(2024, 1, 5), QTime(9, 30, 0));

SettingsDictionary settingsOfBuild(const SettingValue& build)
{
    SettingsDictionary dictionary;
    dictionary.setValue(SettingKeys::lastBuildNumber, build);
    dictionary.setValue(SettingKeys::watchFolderPath, QStringLiteral("/srv/camera"));
    return dictionary;
}

QString dataFolder(const QString& name)
{
    return QStringLiteral("%1/%2").arg(TalvorenCommon::getApplicationDataDirectory(), name);
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

    TempHome home;
    SettingsMigration migration{12};
    QStringList openedLogs;
};

TEST_F(SettingsUpgrade, FirstStartAndTakeOverAreDecidedByTheLastBuildNumber)
{
    for (const SettingValue& build : {SettingValue("0"), SettingValue("abc"), SettingValue("-3"),
                                      SettingValue(""), SettingValue(0)}) {
        EXPECT_TRUE(SettingsMigration::checkFirstTimeStart(settingsOfBuild(build)))
            << build.stringValue().toStdString();
        EXPECT_FALSE(migration.needsTakeOverQuestion(settingsOfBuild(build)));
    }
    SettingsDictionary withoutBuild = settingsOfBuild(1);
    withoutBuild.remove(SettingKeys::lastBuildNumber);
    EXPECT_TRUE(SettingsMigration::checkFirstTimeStart(withoutBuild));

    EXPECT_TRUE(migration.needsTakeOverQuestion(settingsOfBuild("9")));
    EXPECT_TRUE(migration.needsTakeOverQuestion(settingsOfBuild(" 11 ")));
    EXPECT_TRUE(migration.needsTakeOverQuestion(settingsOfBuild(1)));
    EXPECT_FALSE(migration.needsTakeOverQuestion(settingsOfBuild("12")));
    EXPECT_FALSE(migration.needsTakeOverQuestion(settingsOfBuild("13")));
    EXPECT_FALSE(SettingsMigration::checkFirstTimeStart(settingsOfBuild("12abc")));
}

TEST_F(SettingsUpgrade, FirstStartStampsTheBuildAndFillsTheFolders)
{
    SettingsDictionary defaults = *SettingsDictionary::read(UserSettings::defaultPlistPath());
    defaults.setValue(SettingKeys::defImp, QString()); // empty counts as missing
    defaults.setValue(SettingKeys::defTmp, home.filePath(QStringLiteral("own/temp")));
    install(defaults);

    const auto completed = migration.completeFirstStart();
    ASSERT_TRUE(completed);
    EXPECT_EQ(*completed, current());
    EXPECT_EQ(completed->value(SettingKeys::lastBuildNumber), SettingValue("12"));
    EXPECT_EQ(completed->stringValue(SettingKeys::destinationFolderPath),
              QDir(TalvorenCommon::getPicturesDirectory()).filePath(QStringLiteral("Talvoren")));
    EXPECT_EQ(completed->stringValue(SettingKeys::destinationFolderPathMov),
              QDir(TalvorenCommon::getMoviesDirectory()).filePath(QStringLiteral("TalvorenMovie")));
    EXPECT_EQ(completed->stringValue(SettingKeys::defSetting), dataFolder(QString()));
    EXPECT_EQ(completed->stringValue(SettingKeys::defImp), dataFolder(QStringLiteral("Import")));
    EXPECT_EQ(completed->stringValue(SettingKeys::defLog), dataFolder(QStringLiteral("log")));
    EXPECT_EQ(completed->stringValue(SettingKeys::defTmp),
              home.filePath(QStringLiteral("own/temp")));
    EXPECT_TRUE(QFileInfo(dataFolder(QStringLiteral("Import"))).isDir());
    EXPECT_TRUE(QFileInfo(dataFolder(QStringLiteral("log"))).isDir());
    EXPECT_TRUE(QFileInfo(home.filePath(QStringLiteral("own/temp"))).isDir());
    // The destinations are only named here; the start-up creates them.
    EXPECT_FALSE(QFileInfo::exists(completed->stringValue(SettingKeys::destinationFolderPath)));
    EXPECT_FALSE(migration.needsTakeOverQuestion(*completed));
}

TEST_F(SettingsUpgrade, FirstStartLeavesAnUnreadableFileAlone)
{
    const QByteArray damaged = appleStyleSettings().left(300);
    ASSERT_TRUE(writeBytes(UserSettings::path(), damaged));
    EXPECT_FALSE(migration.completeFirstStart());
    EXPECT_EQ(readBytes(UserSettings::path()), damaged);
}

TEST_F(SettingsUpgrade, FromBuild5RunsStepsFourToEightInOrder)
{
    const SettingsDictionary old = install(settingsOfBuild("5"));
    const LogCapture log;
    migration.updateConfig(old);

    const SettingsDictionary migrated = current();
    EXPECT_EQ(migrated.value(SettingKeys::lastBuildNumber), SettingValue("5"));
    for (const QString& key :
         {QString(SettingKeys::manualVersionCheckSite), QString(SettingKeys::exportXml),
          QString(SettingKeys::informationCheckSite),
          QString(SettingKeys::informationCheckSiteEnglish)})
        EXPECT_FALSE(migrated.contains(key)) << key.toStdString();
    EXPECT_EQ(migrated.value(SettingKeys::activateAvoidMultipleImportCheck), SettingValue(1));
    EXPECT_EQ(migrated.value(SettingKeys::deleteImportedFileRecordIntervalTime),
              SettingValue(31536000));
    EXPECT_EQ(migrated.value(SettingKeys::lastDeleteImportedFileRecordDatetime),
              SettingValue("19700101090000"));
    EXPECT_EQ(migrated.value(SettingKeys::ejectRemovableDevice), SettingValue(0));
    EXPECT_EQ(migrated.value(SettingKeys::waitSecondsForCheckingDesignatedFolder),
              SettingValue(30));
    EXPECT_EQ(migrated.value(SettingKeys::dontSendMif), SettingValue(false));
    EXPECT_EQ(migrated.stringValue(SettingKeys::destinationFolderPathMov),
              TalvorenCommon::getMoviesDirectory() + QStringLiteral("/TalvorenMovie"));
    EXPECT_FALSE(migrated.contains(SettingKeys::destinationFolderMov));
    EXPECT_EQ(migrated.value(SettingKeys::deleteExifPersonalInfo), SettingValue(false));
    EXPECT_EQ(migrated.value(SettingKeys::notSendingImage), SettingValue(false));
    EXPECT_EQ(migrated.value(SettingKeys::fileDetectionWaitTime), SettingValue(15000.0));
    EXPECT_EQ(migrated.value(SettingKeys::logFileKeepDays), SettingValue(30));
    EXPECT_EQ(migrated.value(SettingKeys::moveToTrash), SettingValue(true));
    EXPECT_EQ(migrated.value(SettingKeys::isOutputLog), SettingValue(true));
    EXPECT_EQ(migrated.stringValue(SettingKeys::watchFolderPath), QStringLiteral("/srv/camera"));
    EXPECT_TRUE(migration.needsDefaultFolders());

    const QStringList expectedLines = {
        addSettingsLine,
        QStringLiteral("### version up ### Add 'dont send mif' setting."),
        QStringLiteral("### version up ### Add 'destination folder path mov' setting."),
        QStringLiteral("### version up ### Add 'destination folder mov' setting."),
        addSettingsLine,
        QStringLiteral("### version up ### Add 'delete exif personal info' setting."),
        QStringLiteral("### version up ### Add 'not sending image' setting."),
        addSettingsLine,
        QStringLiteral("### version up ### Add 'file detection wait time' setting."),
        QStringLiteral("### version up ### Add 'log file keep days' setting."),
        QStringLiteral("### version up ### Add 'move to trash' setting."),
        QStringLiteral("### version up ### Add 'is output log' setting."),
        QStringLiteral("### version up ### Delete 'id number zero padding' setting."),
    };
    EXPECT_EQ(log.infoMessages(), expectedLines);
}

TEST_F(SettingsUpgrade, FromBuild1AndBuild2TheEarlyStepsRun)
{
    migration.updateConfig(install(settingsOfBuild("1")));
    SettingsDictionary migrated = current();
    EXPECT_EQ(migrated.stringValue(SettingKeys::manualVersionCheckSite),
              QString(SettingDefaults::productPage));
    EXPECT_EQ(migrated.value(SettingKeys::zeroPaddingLength), SettingValue(6));
    EXPECT_EQ(migrated.value(SettingKeys::zeroPaddingLengthString), SettingValue(10));
    EXPECT_EQ(migrated.value(SettingKeys::checkedInformationId), SettingValue(0));
    EXPECT_TRUE(migrated.stringValue(SettingKeys::informationCheckSite)
                    .endsWith(QLatin1String("lumora/Minformation.lst")));
    EXPECT_TRUE(migrated.stringValue(SettingKeys::informationCheckSiteEnglish)
                    .endsWith(QLatin1String("lumora/MEinformation.lst")));
    EXPECT_TRUE(migrated.contains(SettingKeys::isOutputLog));

    migration.updateConfig(install(settingsOfBuild("2")));
    migrated = current();
    EXPECT_FALSE(migrated.contains(SettingKeys::manualVersionCheckSite));
    EXPECT_EQ(migrated.value(SettingKeys::zeroPadding), SettingValue(true));
    EXPECT_TRUE(migrated.contains(SettingKeys::informationCheckSiteEnglish));
    EXPECT_TRUE(migrated.contains(SettingKeys::moveToTrash));
}

TEST_F(SettingsUpgrade, PresentKeysKeepTheirValuesAndLegacyKeysAreReplaced)
{
    SettingsDictionary old = settingsOfBuild("2");
    old.setValue(SettingKeys::informationCheckSite, QString());
    old.setValue(SettingKeys::zeroPadding, false);
    old.setValue(SettingKeys::fileDetectionWaitTime, QStringLiteral("5000"));
    old.setValue(SettingKeys::idNumberZeroPadding, true);
    old.setValue(SettingKeys::ejectRemovavleDevice, QStringLiteral("YES"));
    migration.updateConfig(install(old));

    SettingsDictionary migrated = current();
    EXPECT_EQ(migrated.value(SettingKeys::informationCheckSite), SettingValue(""));
    EXPECT_EQ(migrated.value(SettingKeys::zeroPadding), SettingValue(false));
    EXPECT_EQ(migrated.value(SettingKeys::fileDetectionWaitTime), SettingValue("5000"));
    EXPECT_FALSE(migrated.contains(SettingKeys::idNumberZeroPadding));
    EXPECT_FALSE(migrated.contains(SettingKeys::ejectRemovavleDevice));
    // Step 5 added the integer 0 before step 8 met the misspelled key: it stays.
    EXPECT_EQ(migrated.value(SettingKeys::ejectRemovableDevice), SettingValue(0));

    // From build 7 on, step 5 does not run and the misspelled value is handed on.
    old = settingsOfBuild("8");
    old.setValue(SettingKeys::ejectRemovavleDevice, QStringLiteral("YES"));
    migration.updateConfig(install(old));
    migrated = current();
    EXPECT_EQ(migrated.value(SettingKeys::ejectRemovableDevice), SettingValue(true));
    EXPECT_FALSE(migrated.contains(SettingKeys::ejectRemovavleDevice));

    old.setValue(SettingKeys::ejectRemovableDevice, false);
    migration.updateConfig(install(old));
    EXPECT_EQ(current().value(SettingKeys::ejectRemovableDevice), SettingValue(false));
    EXPECT_FALSE(current().contains(SettingKeys::ejectRemovavleDevice));
}

TEST_F(SettingsUpgrade, Build5SettingsReplaceTheOldLocationFile)
{
    SettingsDictionary oldLocation;
    oldLocation.setValue(QStringLiteral("only in the old file"), true);
    ASSERT_TRUE(QDir().mkpath(TalvorenCommon::getApplicationWorkDirectory()));
    ASSERT_TRUE(oldLocation.write(TalvorenCommon::getOldUserSettingPlistFilePath()));

    migration.updateConfig(install(settingsOfBuild("5")));
    const SettingsDictionary migrated = current();
    EXPECT_FALSE(migrated.contains(QStringLiteral("only in the old file")));
    EXPECT_EQ(migrated.stringValue(SettingKeys::watchFolderPath), QStringLiteral("/srv/camera"));
    EXPECT_TRUE(migrated.contains(SettingKeys::activateAvoidMultipleImportCheck));
    EXPECT_FALSE(QFile::exists(TalvorenCommon::getOldUserSettingPlistFilePath()));
}

TEST_F(SettingsUpgrade, AFailedWriteDuringTheUpgradeLosesNoFile)
{
    SettingsDictionary oldLocation;
    oldLocation.setValue(QStringLiteral("only in the old file"), true);
    ASSERT_TRUE(QDir().mkpath(TalvorenCommon::getApplicationWorkDirectory()));
    ASSERT_TRUE(oldLocation.write(TalvorenCommon::getOldUserSettingPlistFilePath()));
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

TEST_F(SettingsUpgrade, ANewerBuildsFileIsLeftUntouched)
{
    install(settingsOfBuild("13"));
    const QByteArray before = readBytes(UserSettings::path());
    EXPECT_FALSE(migration.needsTakeOverQuestion(current()));
    EXPECT_FALSE(migration.raiseLastBuildNumber());
    EXPECT_EQ(readBytes(UserSettings::path()), before);

    install(settingsOfBuild("11"));
    EXPECT_TRUE(migration.raiseLastBuildNumber());
    EXPECT_EQ(current().value(SettingKeys::lastBuildNumber), SettingValue("12"));
}

TEST_F(SettingsUpgrade, TakingOverMigratesSettingsThenTableThenFolders)
{
    SettingsDictionary old = settingsOfBuild("9");
    old.setValue(SettingKeys::defLog, home.filePath(QStringLiteral("logs")));
    install(old);
    QStringList order;
    const auto migrateTable = [&](const SettingsDictionary& given) {
        order << QStringLiteral("table");
        EXPECT_EQ(given.value(SettingKeys::lastBuildNumber), SettingValue("9"));
        EXPECT_TRUE(current().contains(SettingKeys::moveToTrash)); // settings migrated first
        EXPECT_FALSE(current().contains(SettingKeys::defImp));     // folders come after
    };
    int asked = 0;
    migration.showUpdateDialog(
        [&](const SettingsDictionary& shown) {
            ++asked;
            EXPECT_EQ(shown, current());
            return int(SettingsMigration::TakeOver);
        },
        migrateTable);

    EXPECT_EQ(asked, 1);
    EXPECT_EQ(order, QStringList{QStringLiteral("table")});
    const SettingsDictionary migrated = current();
    EXPECT_EQ(migrated.stringValue(SettingKeys::defImp), dataFolder(QStringLiteral("Import")));
    EXPECT_EQ(migrated.stringValue(SettingKeys::defLog), home.filePath(QStringLiteral("logs")));
    EXPECT_TRUE(QFileInfo(home.filePath(QStringLiteral("logs"))).isDir());
    EXPECT_EQ(openedLogs,
              QStringList{LogFile::pathFor(home.filePath(QStringLiteral("logs")), fixedNow)});
    EXPECT_TRUE(openedLogs.first().endsWith(QLatin1String("/20240105.log")));
}

TEST_F(SettingsUpgrade, DecliningSetsTheOldFileAsideBesideFreshDefaults)
{
    const SettingsDictionary old = install(settingsOfBuild("9"));
    const QByteArray oldBytes = readBytes(UserSettings::path());
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
    EXPECT_FALSE(fresh.contains(SettingKeys::lastBuildNumber));
    EXPECT_EQ(fresh.stringValue(SettingKeys::watchFolderPath), QString());
    EXPECT_EQ(fresh.stringValue(SettingKeys::defTmp), dataFolder(QStringLiteral("temp")));
    EXPECT_TRUE(QFileInfo(dataFolder(QStringLiteral("temp"))).isDir());
    EXPECT_EQ(openedLogs.size(), 1);
}

TEST_F(SettingsUpgrade, DefaultFolderStepRunsOnlyWhenAskedFor)
{
    SettingsDictionary settings = settingsOfBuild("12");
    install(settings);
    const QByteArray before = readBytes(UserSettings::path());
    {
        const LogCapture log;
        migration.set30DefaultFolder(settings);
        EXPECT_TRUE(log.infoMessages().isEmpty());
    }
    EXPECT_EQ(readBytes(UserSettings::path()), before);

    // Asked for by an upgrade from build 10; no "is output log" key: no log file.
    settings = install(settingsOfBuild("10"));
    settings.setValue(SettingKeys::isOutputLog, false);
    install(settings);
    SettingsMigration upgrade(12);
    upgrade.setLogOpener([this](const QString& path) { openedLogs << path; });
    upgrade.updateConfig(settings);
    ASSERT_TRUE(upgrade.needsDefaultFolders());
    SettingsDictionary withoutLogKey = current();
    withoutLogKey.remove(SettingKeys::isOutputLog);
    {
        const LogCapture log;
        upgrade.set30DefaultFolder(withoutLogKey);
        EXPECT_EQ(log.infoMessages(),
                  (QStringList{QStringLiteral("### version up ### Add 'def setting' setting."),
                               QStringLiteral("### version up ### Add 'def imp' setting."),
                               QStringLiteral("### version up ### Add 'def log' setting."),
                               QStringLiteral("### version up ### Add 'def tmp' setting.")}));
    }
    EXPECT_TRUE(openedLogs.isEmpty());
    EXPECT_EQ(current().stringValue(SettingKeys::defLog), dataFolder(QStringLiteral("log")));

    // The key's presence opens the log, whatever its value.
    upgrade.set30DefaultFolder(settings);
    EXPECT_EQ(openedLogs.size(), 1);
}

TEST_F(SettingsUpgrade, OtherAnswersAndMissingSettingsChangeNothing)
{
    const SettingsDictionary old = install(settingsOfBuild("9"));
    const QByteArray before = readBytes(UserSettings::path());
    migration.answerTakeOverQuestion(2, old, [](const SettingsDictionary&) { FAIL(); });
    EXPECT_EQ(readBytes(UserSettings::path()), before);

    QFile::remove(UserSettings::path());
    migration.showUpdateDialog([](const SettingsDictionary&) { return 1; },
                               [](const SettingsDictionary&) { FAIL(); });
    EXPECT_FALSE(QFile::exists(UserSettings::path()));
    EXPECT_FALSE(migration.needsDefaultFolders());
}

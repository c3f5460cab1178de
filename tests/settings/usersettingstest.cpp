#include "settings/usersettings.h"

#include "common/talvorencommon.h"
#include "settings/settingdefaults.h"
#include "settings/settingkeys.h"
#include "settings/settingsmigration.h"
#include "settingstestfiles.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace SettingsTestFiles;

class UserSettingsFile : public testing::Test
{
protected:
    TempHome home;
};

TEST_F(UserSettingsFile, LivesInTheApplicationDataFolderAndIsReadAfreshEachTime)
{
    EXPECT_EQ(UserSettings::path(),
              home.filePath(QStringLiteral(".local/share/Talvoren/Talvoren-setting.plist")));
    EXPECT_FALSE(UserSettings::getUserSettingDictionary());

    ASSERT_TRUE(writeBytes(UserSettings::path(), appleStyleSettings()));
    EXPECT_TRUE(UserSettings::getUserSettingDictionary()->boolValue(SettingKeys::autoStartUp));
    // Another program changes the file: the next read sees it.
    SettingsDictionary changed = *SettingsDictionary::read(UserSettings::path());
    changed.setValue(SettingKeys::autoStartUp, false);
    ASSERT_TRUE(changed.write(UserSettings::path()));
    EXPECT_FALSE(UserSettings::getUserSettingDictionary()->boolValue(SettingKeys::autoStartUp));
}

TEST_F(UserSettingsFile, UpdateChangesOnlyTheGivenKeys)
{
    ASSERT_TRUE(writeBytes(UserSettings::path(), appleStyleSettings()));
    const SettingsDictionary before = *UserSettings::getUserSettingDictionary();
    ASSERT_TRUE(UserSettings::update([](SettingsDictionary& d) {
        d.setValue(SettingKeys::watchFolder, true);
        d.remove(SettingKeys::chopCount);
    }));
    SettingsDictionary expected = before;
    expected.setValue(SettingKeys::watchFolder, true);
    expected.remove(SettingKeys::chopCount);
    EXPECT_EQ(*UserSettings::getUserSettingDictionary(), expected);
}

TEST_F(UserSettingsFile, UpdateNeverReplacesAFileItCouldNotRead)
{
    const auto setWatchFolder = [](SettingsDictionary& d) {
        d.setValue(SettingKeys::watchFolder, true);
    };
    // Missing: nothing is created.
    EXPECT_FALSE(UserSettings::update(setWatchFolder));
    EXPECT_FALSE(QFile::exists(UserSettings::path()));

    // Truncated or garbage: the bytes stay for someone to rescue.
    for (const QByteArray& damaged :
         {appleStyleSettings().left(200), QByteArray("\x89PNG\r\n\x1a\n\x00\x00", 10)}) {
        ASSERT_TRUE(writeBytes(UserSettings::path(), damaged));
        EXPECT_FALSE(UserSettings::update(setWatchFolder));
        EXPECT_EQ(readBytes(UserSettings::path()), damaged);
    }

    // A folder in its place stays a folder.
    QFile::remove(UserSettings::path());
    ASSERT_TRUE(QDir().mkpath(UserSettings::path() + QStringLiteral("/kept")));
    EXPECT_FALSE(UserSettings::update(setWatchFolder));
    EXPECT_TRUE(QFileInfo(UserSettings::path() + QStringLiteral("/kept")).isDir());
}

TEST_F(UserSettingsFile, DefaultFileIsCopiedOnlyWhenNoneExists)
{
    ASSERT_FALSE(UserSettings::defaultPlistPath().isEmpty());
    QDir(TalvorenCommon::getApplicationDataDirectory()).removeRecursively();
    ASSERT_TRUE(UserSettings::copyDefaultPlist());
    EXPECT_EQ(readBytes(UserSettings::path()), readBytes(UserSettings::defaultPlistPath()));
    EXPECT_TRUE(QFileInfo(UserSettings::path()).isWritable());

    ASSERT_TRUE(writeBytes(UserSettings::path(), appleStyleSettings()));
    EXPECT_FALSE(UserSettings::copyDefaultPlist());
    EXPECT_EQ(readBytes(UserSettings::path()), appleStyleSettings());
}

TEST(DefaultSettingsResource, IsAFirstStartWithSensibleDefaults)
{
    const auto defaults = SettingsDictionary::read(UserSettings::defaultPlistPath());
    ASSERT_TRUE(defaults);
    EXPECT_FALSE(defaults->contains(SettingKeys::lastBuildNumber));
    EXPECT_TRUE(SettingsMigration::checkFirstTimeStart(*defaults));

    EXPECT_EQ(defaults->value(SettingKeys::watchRemovableDiskDrive), SettingValue(true));
    EXPECT_EQ(defaults->value(SettingKeys::confirmBeforeSending), SettingValue(1001));
    EXPECT_EQ(defaults->value(SettingKeys::deleteOriginalImage), SettingValue(false));
    EXPECT_EQ(defaults->value(SettingKeys::dateFormatString), SettingValue("yyyy-MM-dd"));
    EXPECT_EQ(defaults->value(SettingKeys::dateFormat), SettingValue(0));
    EXPECT_EQ(defaults->stringValue(SettingKeys::versionCheckSite),
              QString(SettingDefaults::versionCheckSite));
    EXPECT_EQ(defaults->stringValue(SettingKeys::informationCheckSite),
              QString(SettingDefaults::informationCheckSite));
    EXPECT_EQ(defaults->stringValue(SettingKeys::informationCheckSiteEnglish),
              QString(SettingDefaults::informationCheckSiteEnglish));

    // A fresh install is never migrated, so the file carries what the upgrade
    // would have added: these keys must not read as false or 0.
    EXPECT_TRUE(defaults->boolValue(SettingKeys::activateAvoidMultipleImportCheck));
    EXPECT_TRUE(defaults->boolValue(SettingKeys::moveToTrash));
    EXPECT_TRUE(defaults->boolValue(SettingKeys::zeroPadding));
    EXPECT_EQ(defaults->integerValue(SettingKeys::zeroPaddingLengthString), 10);
    EXPECT_EQ(defaults->integerValue(SettingKeys::deleteImportedFileRecordIntervalTime), 31536000);
    EXPECT_EQ(defaults->stringValue(SettingKeys::lastDeleteImportedFileRecordDatetime),
              QStringLiteral("19700101090000"));
    EXPECT_DOUBLE_EQ(defaults->doubleValue(SettingKeys::fileDetectionWaitTime), 15000.0);
    EXPECT_EQ(defaults->integerValue(SettingKeys::waitSecondsForCheckingDesignatedFolder), 30);
    EXPECT_EQ(defaults->integerValue(SettingKeys::logFileKeepDays), 30);
    EXPECT_FALSE(defaults->contains(SettingKeys::idNumberZeroPadding));
    EXPECT_FALSE(defaults->contains(SettingKeys::ejectRemovavleDevice));
}

#include "settings/usersettings.h"

#include "common/talvorencommon.h"
#include "settings/settingkeys.h"
#include "settingstestfiles.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace SettingsTestFiles;

TEST(UserSettingsFile,
     StartsFromTheDefaultFileIsReadAfreshAndUpdateChangesOnlyTheGivenKeysOfAReadableFile)
{
    const TempHome home;
    EXPECT_EQ(UserSettings::path(),
              home.filePath(QStringLiteral(".local/share/Talvoren/Talvoren-setting.plist")));
    EXPECT_FALSE(UserSettings::getUserSettingDictionary());
    // The default file is copied only when there is none.
    ASSERT_FALSE(UserSettings::defaultPlistPath().isEmpty());
    QDir(TalvorenCommon::getApplicationDataDirectory()).removeRecursively();
    ASSERT_TRUE(UserSettings::copyDefaultPlist());
    EXPECT_EQ(readBytes(UserSettings::path()), readBytes(UserSettings::defaultPlistPath()));
    EXPECT_TRUE(QFileInfo(UserSettings::path()).isWritable());
    ASSERT_TRUE(writeBytes(UserSettings::path(), appleStyleSettings()));
    EXPECT_FALSE(UserSettings::copyDefaultPlist());
    EXPECT_EQ(readBytes(UserSettings::path()), appleStyleSettings());

    EXPECT_TRUE(UserSettings::getUserSettingDictionary()->boolValue(SettingKeys::autoStartUp));
    // Another program changes the file: the next read sees it.
    SettingsDictionary changed = *SettingsDictionary::read(UserSettings::path());
    changed.setValue(SettingKeys::autoStartUp, false);
    ASSERT_TRUE(changed.write(UserSettings::path()));
    EXPECT_FALSE(UserSettings::getUserSettingDictionary()->boolValue(SettingKeys::autoStartUp));

    const auto change = [](SettingsDictionary& d) {
        d.setValue(SettingKeys::watchFolder, true);
        d.remove(SettingKeys::chopCount);
    };
    change(changed);
    ASSERT_TRUE(UserSettings::update(change));
    EXPECT_EQ(UserSettings::getUserSettingDictionary(), changed);

    // An update never replaces a file it could not read. Missing: nothing is created.
    QFile::remove(UserSettings::path());
    EXPECT_FALSE(UserSettings::update(change));
    EXPECT_FALSE(QFile::exists(UserSettings::path()));

    // Truncated or garbage: the bytes stay for someone to rescue.
    for (const QByteArray& damaged :
         {appleStyleSettings().left(200), QByteArray("\x89PNG\r\n\x1a\n\x00\x00", 10)}) {
        ASSERT_TRUE(writeBytes(UserSettings::path(), damaged));
        EXPECT_FALSE(UserSettings::update(change));
        EXPECT_EQ(readBytes(UserSettings::path()), damaged);
    }
}

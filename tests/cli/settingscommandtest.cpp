#include "clirun.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QDir>
#include <QFile>

using SettingsCommand = CliTest;

// path names the file; list prints every key with its type; get prints a value as
// stored or as the readers see it (a missing key is then false, 0 or empty); set
// keeps a key's type, refuses values that do not fit it or that would let a run
// file outside its folders, and changes nothing else.
TEST_F(SettingsCommand, ListsGetsAndSetsKeysAsTheApplicationReadsThem)
{
    const QString path = UserSettings::path();
    ASSERT_TRUE(UserSettings::copyDefaultPlist());
    SettingsDictionary expected = *SettingsDictionary::read(path);
    const struct
    {
        QString arguments; // split at "|"
        int exitCode;
        QString output; // all of standard output, or a part of standard error if it failed
    } cases[] = {
        {"path", 0, path + '\n'},
        {"get|display desktop notice", 0, "1\n"},
        {"get|display desktop notice|--as|bool", 0, "true\n"},
        {"get|move to trash|--as=int", 0, "1\n"},
        {"get|no such key|--as|real", 0, "0\n"},
        {"get|no such key", 1, "no key \"no such key\""},
        {"set|watch folder|yes", 0, "watch folder\tboolean\ttrue\n"},
        {"set|watch folder path|/srv/歯科 & 写真", 0,
         "watch folder path\tstring\t/srv/歯科 & 写真\n"},
        {"set|checked information id|--type|int|--|-5", 0, "checked information id\tinteger\t-5\n"},
        {"set|last build number|12", 0, "last build number\tstring\t12\n"},
        {"set|date format string|yyyy.MM.dd", 0, "date format string\tstring\tyyyy.MM.dd\n"},
        {"get|watch folder path", 0, "/srv/歯科 & 写真\n"},
        {"set|watch folder|maybe", 1, "is not a valid"},
        {"set|confirm before sending|1001x", 1, "is not a valid"},
        {"set|confirm before sending|99999999999999999999", 1, "is not a valid"},
        {"set|file detection wait time|nan", 1, "is not a valid"},
        {"set|new key|1,5|--type|real", 1, "is not a valid"},
        {"set|date format string|yyyy/../../../../EVIL", 1,
         "refused: The setting \"date format string\""},
        {"set|destination folder path|Pictures", 1,
         "refused: The setting \"destination folder path\""},
        {"set|def tmp|--type|int|5", 1, "refused: The setting \"def tmp\""},
    };
    for (const auto& [arguments, exitCode, output] : cases) {
        const bool failed = exitCode != 0;
        const CliRun result = expectCli(QStringList{"settings"} + arguments.split(u'|'), exitCode,
                                        failed ? output : QString());
        EXPECT_EQ(failed ? output : result.out, output) << arguments.toStdString();
    }
    expected.setValue(SettingKeys::watchFolder, true);
    expected.setValue(SettingKeys::watchFolderPath, "/srv/歯科 & 写真");
    expected.setValue(SettingKeys::checkedInformationId, -5);
    expected.setValue(SettingKeys::lastBuildNumber, "12");
    expected.setValue(SettingKeys::dateFormatString, "yyyy.MM.dd");
    EXPECT_EQ(*SettingsDictionary::read(path), expected);
    const QStringList listed = runCli({"settings", "list"}).out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(listed.size(), expected.size());
    for (const char* line :
         {"confirm before sending\tinteger\t1001", "watch removable disk drive\tboolean\ttrue",
          "file detection wait time\treal\t15000", "date format string\tstring\tyyyy.MM.dd"})
        EXPECT_TRUE(listed.contains(QString::fromUtf8(line))) << line;
}

TEST_F(SettingsCommand, MissingOrDamagedFilesAreReportedAndNeverReplaced)
{
    const QString path = UserSettings::path();
    expectCli({"settings", "set", "watch folder", "true"}, 1, "no settings file at " + path);
    EXPECT_FALSE(QFile::exists(path));

    const QByteArray damaged("<?xml version=\"1.0\"?><plist><dict><key>watch folder</key>");
    CameraPictureBuilder::writeFile(path, damaged);
    for (const QStringList& arguments :
         QList<QStringList>{{"list"}, {"get", "watch folder"}, {"set", "watch folder", "true"}})
        expectCli(QStringList{"settings"} + arguments, 1, " is corrupt: XML error at line 1");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == damaged);

    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path));
    expectCli({"settings", "list"}, 1);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

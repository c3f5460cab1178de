#include "clirun.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

CliRun runSettings(const QStringList& arguments)
{
    return runCli(QStringList{"settings"} + arguments);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class SettingsCommand : public CliTest
{
protected:
    void installDefaults() { ASSERT_TRUE(QFile::copy(UserSettings::defaultPlistPath(), path)); }

    const QString path = UserSettings::path();
};

TEST_F(SettingsCommand, PrintsThePathAndListsEveryKeyWithItsType)
{
    CliRun result = runSettings({"path"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, path + u'\n');

    installDefaults();
    result = runSettings({"list"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), SettingsDictionary::read(path)->size());
    for (const char* line :
         {"confirm before sending\tinteger\t1001", "watch removable disk drive\tboolean\ttrue",
          "file detection wait time\treal\t15000", "date format string\tstring\tyyyy-MM-dd"})
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line;
}

// get prints a value as stored or as the readers see it (a missing key is then false,
// 0 or empty); set keeps a key's type, refuses values that do not fit it or that
// would let a run file outside its folders, and changes nothing else.
TEST_F(SettingsCommand, GetsAndSetsOneKeyAsTheApplicationReadsIt)
{
    installDefaults();
    SettingsDictionary expected = *SettingsDictionary::read(path);
    const struct
    {
        QStringList arguments;
        int exitCode;
        QString output; // all of standard output, or a part of standard error if it failed
    } cases[] = {
        {{"get", "display desktop notice"}, 0, "1\n"},
        {{"get", "display desktop notice", "--as", "bool"}, 0, "true\n"},
        {{"get", "move to trash", "--as=int"}, 0, "1\n"},
        {{"get", "no such key", "--as", "real"}, 0, "0\n"},
        {{"get", "no such key"}, 1, "no key \"no such key\""},
        {{"set", "watch folder", "yes"}, 0, "watch folder\tboolean\ttrue\n"},
        {{"set", "watch folder path", "/srv/歯科 & 写真"},
         0,
         "watch folder path\tstring\t/srv/歯科 & 写真\n"},
        {{"set", "checked information id", "--type", "int", "--", "-5"},
         0,
         "checked information id\tinteger\t-5\n"},
        {{"set", "last build number", "12"}, 0, "last build number\tstring\t12\n"},
        {{"set", "date format string", "yyyy.MM.dd"},
         0,
         "date format string\tstring\tyyyy.MM.dd\n"},
        {{"get", "watch folder path"}, 0, "/srv/歯科 & 写真\n"},
        {{"set", "watch folder", "maybe"}, 1, "is not a valid"},
        {{"set", "confirm before sending", "1001x"}, 1, "is not a valid"},
        {{"set", "confirm before sending", "99999999999999999999"}, 1, "is not a valid"},
        {{"set", "file detection wait time", "nan"}, 1, "is not a valid"},
        {{"set", "new key", "1,5", "--type", "real"}, 1, "is not a valid"},
        {{"set", "date format string", "yyyy/../../../../EVIL"},
         1,
         "refused: The setting \"date format string\""},
        {{"set", "destination folder path", "Pictures"},
         1,
         "refused: The setting \"destination folder path\""},
        {{"set", "def tmp", "--type", "int", "5"}, 1, "refused: The setting \"def tmp\""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.arguments.join(u' ').toStdString());
        const CliRun result = runSettings(row.arguments);
        EXPECT_EQ(result.exitCode, row.exitCode) << result.err.toStdString();
        if (row.exitCode == 0) {
            EXPECT_EQ(result.out, row.output);
        } else {
            EXPECT_TRUE(result.err.contains(row.output)) << result.err.toStdString();
        }
    }
    expected.setValue(SettingKeys::watchFolder, true);
    expected.setValue(SettingKeys::watchFolderPath, "/srv/歯科 & 写真");
    expected.setValue(SettingKeys::checkedInformationId, -5);
    expected.setValue(SettingKeys::lastBuildNumber, "12");
    expected.setValue(SettingKeys::dateFormatString, "yyyy.MM.dd");
    EXPECT_EQ(*SettingsDictionary::read(path), expected);
}

TEST_F(SettingsCommand, MissingOrDamagedFilesAreReportedAndNeverReplaced)
{
    CliRun result = runSettings({"set", "watch folder", "true"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QLatin1String("no settings file at ") + path));
    EXPECT_FALSE(QFile::exists(path));

    const QByteArray damaged("<?xml version=\"1.0\"?><plist><dict><key>watch folder</key>");
    CameraPictureBuilder::writeFile(path, damaged);
    const QList<QStringList> commands = {
        {"list"}, {"get", "watch folder"}, {"set", "watch folder", "true"}};
    for (const QStringList& arguments : commands) {
        result = runSettings(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.contains(QLatin1String(" is corrupt: XML error at line 1")))
            << result.err.toStdString();
    }
    EXPECT_EQ(fileBytes(path), damaged);

    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_EQ(runSettings({"list"}).exitCode, 1);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

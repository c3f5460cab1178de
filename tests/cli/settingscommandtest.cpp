#include "clirun.h"
#include "settings/settingkeys.h"
#include "settings/settingsdictionary.h"
#include "settings/usersettings.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

CliRun runSettings(const QStringList& arguments)
{
    return runCli(QStringList{QStringLiteral("settings")} + arguments);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class SettingsCommand : public testing::Test
{
protected:
    void installDefaults() { ASSERT_TRUE(QFile::copy(UserSettings::defaultPlistPath(), path)); }

    TempHome home;
    const QString path = UserSettings::path();
};

TEST_F(SettingsCommand, PrintsThePathAndListsEveryKeyWithItsType)
{
    CliRun result = runSettings({QStringLiteral("path")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, path + u'\n');

    installDefaults();
    result = runSettings({QStringLiteral("list")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), SettingsDictionary::read(path)->size());
    EXPECT_TRUE(lines.contains(QStringLiteral("confirm before sending\tinteger\t1001")));
    EXPECT_TRUE(lines.contains(QStringLiteral("watch removable disk drive\tboolean\ttrue")));
    EXPECT_TRUE(lines.contains(QStringLiteral("file detection wait time\treal\t15000")));
    EXPECT_TRUE(lines.contains(QStringLiteral("date format string\tstring\tyyyy-MM-dd")));
}

TEST_F(SettingsCommand, GetsStoredAndCoercedValues)
{
    installDefaults();
    EXPECT_EQ(runSettings({QStringLiteral("get"), QStringLiteral("display desktop notice")}).out,
              QStringLiteral("1\n"));
    EXPECT_EQ(runSettings({QStringLiteral("get"), QStringLiteral("display desktop notice"),
                           QStringLiteral("--as"), QStringLiteral("bool")})
                  .out,
              QStringLiteral("true\n"));
    EXPECT_EQ(runSettings({QStringLiteral("get"), QStringLiteral("move to trash"),
                           QStringLiteral("--as=int")})
                  .out,
              QStringLiteral("1\n"));
    // As the readers see it, a missing key is false, 0 or empty; asked for as
    // stored, it is an error.
    EXPECT_EQ(runSettings({QStringLiteral("get"), QStringLiteral("no such key"),
                           QStringLiteral("--as"), QStringLiteral("real")})
                  .out,
              QStringLiteral("0\n"));
    const CliRun missing = runSettings({QStringLiteral("get"), QStringLiteral("no such key")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QLatin1String("no key \"no such key\"")));
}

TEST_F(SettingsCommand, SetWritesOneKeyKeepingItsTypeAndEveryOtherKey)
{
    installDefaults();
    const SettingsDictionary before = *SettingsDictionary::read(path);

    EXPECT_EQ(
        runSettings({QStringLiteral("set"), QStringLiteral("watch folder"), QStringLiteral("yes")})
            .exitCode,
        0);
    EXPECT_EQ(runSettings({QStringLiteral("set"), QStringLiteral("watch folder path"),
                           QStringLiteral("/srv/歯科 & 写真")})
                  .exitCode,
              0);
    EXPECT_EQ(runSettings({QStringLiteral("set"), QStringLiteral("checked information id"),
                           QStringLiteral("--type"), QStringLiteral("int"), QStringLiteral("--"),
                           QStringLiteral("-5")})
                  .exitCode,
              0);
    EXPECT_EQ(runSettings({QStringLiteral("set"), QStringLiteral("last build number"),
                           QStringLiteral("12")})
                  .exitCode,
              0);

    SettingsDictionary expected = before;
    expected.setValue(SettingKeys::watchFolder, true);
    expected.setValue(SettingKeys::watchFolderPath, QStringLiteral("/srv/歯科 & 写真"));
    expected.setValue(SettingKeys::checkedInformationId, -5);
    expected.setValue(SettingKeys::lastBuildNumber, QStringLiteral("12"));
    EXPECT_EQ(*SettingsDictionary::read(path), expected);
    EXPECT_EQ(runSettings({QStringLiteral("get"), QStringLiteral("watch folder path")}).out,
              QStringLiteral("/srv/歯科 & 写真\n"));
}

TEST_F(SettingsCommand, RefusesValuesThatDoNotFitAndLeavesTheFile)
{
    installDefaults();
    const QByteArray before = fileBytes(path);
    const QList<QStringList> refused = {
        {QStringLiteral("watch folder"), QStringLiteral("maybe")},
        {QStringLiteral("confirm before sending"), QStringLiteral("1001x")},
        {QStringLiteral("confirm before sending"), QStringLiteral("99999999999999999999")},
        {QStringLiteral("file detection wait time"), QStringLiteral("nan")},
        {QStringLiteral("new key"), QStringLiteral("1,5"), QStringLiteral("--type"),
         QStringLiteral("real")},
    };
    for (const QStringList& arguments : refused) {
        const CliRun result = runSettings(QStringList{QStringLiteral("set")} + arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(QLatin1String("is not a valid")));
    }
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(SettingsCommand, RefusesValuesThatWouldFileOutsideTheFoldersAndNamesTheKey)
{
    installDefaults();
    const QByteArray before = fileBytes(path);
    const QList<QStringList> refused = {
        {QStringLiteral("date format string"), QStringLiteral("yyyy/../../../../EVIL")},
        {QStringLiteral("destination folder path"), QStringLiteral("Pictures")},
        {QStringLiteral("def tmp"), QStringLiteral("--type"), QStringLiteral("int"),
         QStringLiteral("5")},
    };
    for (const QStringList& arguments : refused) {
        const CliRun result = runSettings(QStringList{QStringLiteral("set")} + arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(QLatin1String("refused: The setting \"") +
                                        arguments.first() + u'"'))
            << result.err.toStdString();
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(runSettings({QStringLiteral("set"), QStringLiteral("date format string"),
                           QStringLiteral("yyyy.MM.dd")})
                  .exitCode,
              0);
}

TEST_F(SettingsCommand, MissingOrDamagedFilesAreReportedAndNeverReplaced)
{
    CliRun result = runSettings(
        {QStringLiteral("set"), QStringLiteral("watch folder"), QStringLiteral("true")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QLatin1String("no settings file at ") + path));
    EXPECT_FALSE(QFile::exists(path));

    const QByteArray damaged("<?xml version=\"1.0\"?><plist><dict><key>watch folder</key>");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("list")},
          QStringList{QStringLiteral("get"), QStringLiteral("watch folder")},
          QStringList{QStringLiteral("set"), QStringLiteral("watch folder"),
                      QStringLiteral("true")}}) {
        result = runSettings(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.contains(QLatin1String(" is corrupt: XML error at line 1")))
            << result.err.toStdString();
    }
    EXPECT_EQ(fileBytes(path), damaged);

    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path));
    result = runSettings({QStringLiteral("list")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(SettingsCommand, WrongUsageExitsWithTwo)
{
    installDefaults();
    for (const QStringList& arguments :
         {QStringList{}, QStringList{QStringLiteral("frobnicate")},
          QStringList{QStringLiteral("get")},
          QStringList{QStringLiteral("set"), QStringLiteral("only key")},
          QStringList{QStringLiteral("get"), QStringLiteral("k"), QStringLiteral("--as"),
                      QStringLiteral("date")},
          QStringList{QStringLiteral("list"), QStringLiteral("--type"), QStringLiteral("int")},
          QStringList{QStringLiteral("list"), QStringLiteral("--verbose")}}) {
        const CliRun result = runSettings(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty());
    }
}

#include "clirun.h"
#include "localhttpserver.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QFile>

class NetworkCheckCommand : public CliTest
{
protected:
    LocalHttpServer server;

    CliRun run(const QString& command, const QString& language = "en_US.UTF-8")
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LANG", language);
        environment.insert("LANGUAGE", QString());
        environment.remove("LC_ALL");
        environment.remove("LC_MESSAGES");
        return runExecutable(cliPath, {command}, environment);
    }

    void SetUp() override
    {
        changeSettings(
            {{SettingKeys::versionCheckSite, server.url("/version.txt")},
             {SettingKeys::informationCheckSite, server.url("/Minformation.lst")},
             {SettingKeys::informationCheckSiteEnglish, server.url("/MEinformation.lst")}});
    }
};

TEST_F(NetworkCheckCommand, CheckUpdatePrintsTheRecordOfTheHighestNewerVersion)
{
    server.serve("/version.txt", "99,5,Talvoren 99.5,2030/01/01,https://x.invalid/995\r\n"
                                 "99,7,Talvoren 99.7,2030/02/01,https://x.invalid/997\r\n"
                                 "99,6,Talvoren 99.6,2030/03/01,https://x.invalid/996\r\n");
    const CliRun newer = run("check-update");
    EXPECT_EQ(newer.exitCode, 0) << newer.err.toStdString();
    const QJsonDocument newerRecord = parsedJson(R"json({"failed": false, "newer": true,
        "name": "Talvoren 99.7", "date": "(2030/02/01)", "version": "99.70", "address":
        "https://x.invalid/997"})json");
    EXPECT_EQ(parsedJson(newer.out), newerRecord);
    EXPECT_TRUE(newer.err.contains(server.url("/version.txt")));

    server.serve("/version.txt", "<html><body>Not Found</body></html>", 404);
    const CliRun failed = run("check-update");
    EXPECT_EQ(failed.exitCode, 0);
    EXPECT_EQ(parsedJson(failed.out)[u"failed"], true);
    EXPECT_EQ(parsedJson(failed.out)[u"newer"], false);

    // Without a settings file the defaults are used, and no file is written.
    QFile::remove(UserSettings::path());
    const CliRun defaults = run("check-update");
    EXPECT_EQ(defaults.exitCode, 0);
    EXPECT_TRUE(defaults.err.contains("default settings"));
    EXPECT_FALSE(QFile::exists(UserSettings::path()));
    EXPECT_TRUE(parsedJson(defaults.out).object().contains("failed"));
}

TEST_F(NetworkCheckCommand, CheckInformationAsksTheListOfTheUsersLanguage)
{
    server.serve(
        "/Minformation.lst",
        "3,お知らせ,本文<br>続き,https://x.invalid/ja,Notice,Text,https://x.invalid/en,\n");
    server.serve("/MEinformation.lst", "8,J,j,jl,English only,Text,https://x.invalid/8,\n");

    const CliRun japanese = run("check-information", "ja_JP.UTF-8");
    EXPECT_EQ(japanese.exitCode, 0) << japanese.err.toStdString();
    const QJsonDocument japaneseRecord = parsedJson(R"json({"available": true, "failed": false,
        "id": 3, "japaneseTitle": "お知らせ", "japaneseText": "本文<br>続き", "japaneseLink":
        "https://x.invalid/ja", "englishTitle": "Notice", "englishText": "Text", "englishLink":
        "https://x.invalid/en", "reserved": ""})json");
    EXPECT_EQ(parsedJson(japanese.out), japaneseRecord);

    const QJsonDocument english = parsedJson(run("check-information", "de_DE.UTF-8").out);
    EXPECT_EQ(english[u"id"], 8);
    EXPECT_EQ(english[u"englishTitle"], "English only");
}

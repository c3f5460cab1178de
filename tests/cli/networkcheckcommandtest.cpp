#include "localhttpserver.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "temphome.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {
struct CheckOutput
{
    int exitCode = -1;
    QJsonObject record;
    QString err;
};
} // namespace

class NetworkCheckCommand : public testing::Test
{
protected:
    TempHome home;
    LocalHttpServer server;

    // Runs the command while this process's event loop keeps the server answering.
    CheckOutput run(const QString& command, const QString& language = QStringLiteral("en_US.UTF-8"))
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LANG"), language);
        environment.insert(QStringLiteral("LANGUAGE"), QString());
        environment.remove(QStringLiteral("LC_ALL"));
        environment.remove(QStringLiteral("LC_MESSAGES"));
        process.setProcessEnvironment(environment);
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        process.start(QStringLiteral(TALVOREN_BINARY_DIR "/bin/talvoren-cli"), {command});
        if (process.waitForStarted() && process.state() != QProcess::NotRunning)
            loop.exec();
        CheckOutput output;
        output.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        output.record = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        output.err = QString::fromUtf8(process.readAllStandardError());
        return output;
    }

    void writeSettings()
    {
        SettingsDictionary settings;
        settings.setValue(SettingKeys::versionCheckSite,
                          server.url(QStringLiteral("/version.txt")));
        settings.setValue(SettingKeys::informationCheckSite,
                          server.url(QStringLiteral("/Minformation.lst")));
        settings.setValue(SettingKeys::informationCheckSiteEnglish,
                          server.url(QStringLiteral("/MEinformation.lst")));
        ASSERT_TRUE(UserSettings::write(settings));
    }
};

TEST_F(NetworkCheckCommand, CheckUpdatePrintsTheRecordOfTheHighestNewerVersion)
{
    writeSettings();
    server.serve(QStringLiteral("/version.txt"),
                 "99,5,Talvoren 99.5,2030/01/01,https://x.invalid/995\r\n"
                 "99,7,Talvoren 99.7,2030/02/01,https://x.invalid/997\r\n"
                 "99,6,Talvoren 99.6,2030/03/01,https://x.invalid/996\r\n");
    const CheckOutput output = run(QStringLiteral("check-update"));
    EXPECT_EQ(output.exitCode, 0) << output.err.toStdString();
    EXPECT_EQ(output.record, (QJsonObject{{"failed", false},
                                          {"newer", true},
                                          {"name", "Talvoren 99.7"},
                                          {"date", "(2030/02/01)"},
                                          {"version", "99.70"},
                                          {"address", "https://x.invalid/997"}}));
    EXPECT_TRUE(output.err.contains(server.url(QStringLiteral("/version.txt"))));

    server.serve(QStringLiteral("/version.txt"), "<html><body>Not Found</body></html>", 404);
    const CheckOutput failed = run(QStringLiteral("check-update"));
    EXPECT_EQ(failed.exitCode, 0);
    EXPECT_EQ(failed.record.value("failed"), true);
    EXPECT_EQ(failed.record.value("newer"), false);
}

TEST_F(NetworkCheckCommand, CheckInformationAsksTheListOfTheUsersLanguage)
{
    writeSettings();
    server.serve(QStringLiteral("/Minformation.lst"),
                 QStringLiteral("3,お知らせ,本文<br>続き,https://x.invalid/ja,Notice,Text,"
                                "https://x.invalid/en,\n")
                     .toUtf8());
    server.serve(QStringLiteral("/MEinformation.lst"),
                 "8,J,j,jl,English only,Text,https://x.invalid/8,\n");

    const CheckOutput japanese =
        run(QStringLiteral("check-information"), QStringLiteral("ja_JP.UTF-8"));
    EXPECT_EQ(japanese.exitCode, 0) << japanese.err.toStdString();
    EXPECT_EQ(japanese.record, (QJsonObject{{"available", true},
                                            {"failed", false},
                                            {"id", 3},
                                            {"japaneseTitle", QStringLiteral("お知らせ")},
                                            {"japaneseText", QStringLiteral("本文<br>続き")},
                                            {"japaneseLink", "https://x.invalid/ja"},
                                            {"englishTitle", "Notice"},
                                            {"englishText", "Text"},
                                            {"englishLink", "https://x.invalid/en"},
                                            {"reserved", ""}}));

    const CheckOutput english =
        run(QStringLiteral("check-information"), QStringLiteral("de_DE.UTF-8"));
    EXPECT_EQ(english.record.value("id"), 8);
    EXPECT_EQ(english.record.value("englishTitle"), "English only");
}

TEST_F(NetworkCheckCommand, WithoutASettingsFileTheDefaultsAreUsedAndNothingIsWritten)
{
    const CheckOutput output = run(QStringLiteral("check-update"));
    EXPECT_EQ(output.exitCode, 0);
    EXPECT_TRUE(output.err.contains(QStringLiteral("default settings")));
    EXPECT_FALSE(QFile::exists(UserSettings::path()));
    EXPECT_TRUE(output.record.contains("failed"));

    QProcess extra;
    extra.start(QStringLiteral(TALVOREN_BINARY_DIR "/bin/talvoren-cli"),
                {QStringLiteral("check-information"), QStringLiteral("now")});
    extra.waitForFinished(-1);
    EXPECT_EQ(extra.exitCode(), 2);
}

#include "network/updatechecker.h"

#include "localhttpserver.h"
#include "settings/settingkeys.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

class UpdateCheckerTest : public testing::Test
{
protected:
    LocalHttpServer server;

    UpdateCheckResult check(const QByteArray& list, const QString& running = u"1.2"_s)
    {
        server.serve(u"/version.txt"_s, list);
        SettingsDictionary settings;
        settings.setValue(SettingKeys::versionCheckSite, server.url(u"/version.txt"_s));
        return UpdateChecker(settings).setRunningVersion(running).checkUpdate();
    }
};

TEST_F(UpdateCheckerTest, TheHighestNewerVersionIsReportedAndMinorsCompareAsFractions)
{
    const QByteArray a = "1,3,A,2024/01/10,http://example.invalid/a\r\n",
                     b = "1,5,B,2024/02/01,https://example.invalid/b\r\n";
    const UpdateCheckResult expected{false,          true,   "B",
                                     "(2024/02/01)", "1.50", "https://example.invalid/b"};
    EXPECT_EQ(check(a + b), expected);
    EXPECT_EQ(check(b + a), expected);

    const UpdateCheckResult tie = check("1,4,First,d1,u1\n1,40,Second,d2,u2\n");
    EXPECT_EQ(std::tie(tie.name, tie.version), std::make_tuple("First", "1.40"));

    EXPECT_FALSE(check("1,10,Old,d,u\n", u"1.1"_s).newer);
    const UpdateCheckResult higher = check("1,2,New,d,u\n", u"1.10"_s);
    EXPECT_TRUE(higher.newer && higher.version == u"1.20"_s);
    // The application's own "1.0.0" reads as 1.0.
    EXPECT_TRUE(check("1,01,New,d,u\n", u"1.0.0"_s).newer);
    EXPECT_FALSE(check("0,9,Old,d,u\n", u"1.0.0"_s).newer);
}

TEST_F(UpdateCheckerTest,
       OnlyLinesOfExactlyFiveFieldsCountAndErrorPagesEmptyBodiesAndSilentServersFail)
{
    EXPECT_EQ(check("# version list\n2,0,Big,2024/03/01,http://example.invalid/,extra\n"
                    "2,0,Short,2024/03/01\n"),
              (UpdateCheckResult{true, false, {}, {}, {}, {}}));
    EXPECT_EQ(check("2,0,Big,2024/03/01,http://example.invalid/,extra\n"
                    "1,2,Same,2024/01/01,http://example.invalid/same\n"),
              UpdateCheckResult{});

    EXPECT_EQ(check("1,2,Same,2024/01/01,http://x/\n"), UpdateCheckResult{});

    const UpdateCheckResult failed{true, false, {}, {}, {}, {}};
    for (const QByteArray& body :
         {QByteArray(), QByteArray("\r\n\r\n"), QByteArray("1,3,\xff,d,u\n"),
          QByteArray("<!DOCTYPE html>\r\n<html><body><h1>503 Service Unavailable</h1>\r\n"
                     "<p>Try again, later.</p></body></html>")})
        EXPECT_EQ(check(body), failed) << body.toStdString();

    server.serve(u"/silent"_s, LocalHttpServer::Behaviour::NeverAnswer);
    SettingsDictionary silent;
    silent.setValue(SettingKeys::versionCheckSite, server.url(u"/silent"_s));
    EXPECT_EQ(UpdateChecker(silent).setTimeout(300ms).checkUpdate(), failed);
    EXPECT_EQ(UpdateChecker(SettingsDictionary()).setTimeout(300ms).checkUpdate(), failed);
}

TEST(UpdateCheckerList, TruncatedOversizedAndHostileListsAreReadSafely)
{
    // A list cut in the middle of its last line: the complete lines still count.
    EXPECT_EQ(UpdateChecker::evaluateVersionList(QByteArray("1,3,A,d,u\n1,9,B,2024/0"), "1.2").name,
              "A");

    QByteArray many;
    for (int minor = 0; minor < 50000; ++minor)
        many += "1," + QByteArray::number(minor % 97) + ",N" + QByteArray::number(minor) + ",d,u\n";
    const UpdateCheckResult oversized = UpdateChecker::evaluateVersionList(many, "1.2");
    EXPECT_EQ(std::tie(oversized.version, oversized.name), std::make_tuple("1.96", "N96"));

    const UpdateCheckResult hostile = UpdateChecker::evaluateVersionList(
        QByteArray("999999999999999999999999999999999999999999,0,Huge,d,u\n"
                   "-5,0,Negative,d,u\n"
                   ",,,,\n"
                   "1,3,<script>alert(1)</script>,%@%n,javascript:alert(1)\n"),
        "1.2");
    EXPECT_EQ(std::tie(hostile.failed, hostile.name, hostile.date, hostile.version),
              std::make_tuple(false, "<script>alert(1)</script>", "(%@%n)", "1.30"));

    EXPECT_TRUE(UpdateChecker::evaluateVersionList(std::nullopt, "1.2").failed);
}

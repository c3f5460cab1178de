#include "network/informationchecker.h"

#include "localhttpserver.h"
#include "settings/settingkeys.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {
const QByteArray japaneseList =
    "2,古いお知らせ,本文<br>二行目,http://example.invalid/ja/2,Old,Text,"
    "http://example.invalid/en/2,\r\n"
    "5,新しいお知らせ,一行目<br>二行目<BR>三行目<Br>,https://example.invalid/ja/5,"
    "New notice,First<br>second<BR>third<Br>,https://example.invalid/en/5,x\r\n"
    "4,中間,本文,http://example.invalid/ja/4,Middle,Text,http://example.invalid/en/4,\r\n";
const QByteArray englishList = "7,JA,ja,ja-link,English seven,Text,http://example.invalid/7,\n";
} // namespace

class InformationCheckerTest : public testing::Test
{
protected:
    LocalHttpServer server;
    SettingsDictionary listSettings;

    void SetUp() override
    {
        server.serve(u"/lumora/Minformation.lst"_s, japaneseList);
        server.serve(u"/lumora/MEinformation.lst"_s, englishList);
        listSettings.setValue(SettingKeys::informationCheckSite,
                              server.url(u"/lumora/Minformation.lst"_s));
        listSettings.setValue(SettingKeys::informationCheckSiteEnglish,
                              server.url(u"/lumora/MEinformation.lst"_s));
        listSettings.setValue(SettingKeys::checkedInformationId, 3);
    }

    InformationCheckResult check(const QString& language)
    {
        return InformationChecker(listSettings)
            .setFirstPreferredLanguage(language)
            .checkInformation();
    }

    InformationCheckResult checkList(const QByteArray& list, bool silent = false)
    {
        server.serve(u"/list"_s, list);
        if (silent)
            server.serve(u"/list"_s, LocalHttpServer::Behaviour::NeverAnswer);
        SettingsDictionary settings;
        settings.setValue(SettingKeys::informationCheckSiteEnglish, server.url(u"/list"_s));
        return InformationChecker(settings)
            .setFirstPreferredLanguage(u"en"_s)
            .setTimeout(silent ? 300ms : 30s)
            .checkInformation();
    }
};

TEST_F(InformationCheckerTest,
       TheFirstLanguageChoosesTheListWhoseHighestNoticeStaysUnreadUntilStored)
{
    const InformationCheckResult result = check(u"ja-JP"_s);
    EXPECT_EQ(result, (InformationCheckResult{
                          true, false, 5, "新しいお知らせ", "一行目<br>二行目<BR>三行目<Br>",
                          "https://example.invalid/ja/5", "New notice",
                          "First<br>second<BR>third<Br>", "https://example.invalid/en/5", "x"}));
    EXPECT_EQ(server.requestCount(u"/lumora/MEinformation.lst"_s), 0);

    EXPECT_EQ(std::tuple(result.isUnread(3), result.isUnread(4), result.isUnread(5)),
              std::tuple(true, true, false));

    EXPECT_EQ(std::tuple(result.title("ja"), result.text("ja-JP"), result.link("ja")),
              std::tuple("新しいお知らせ", "一行目 \r二行目\r三行目<Br>",
                         "https://example.invalid/ja/5"));
    EXPECT_EQ(std::tuple(result.title("de"), result.text("de"), result.link("en-US")),
              std::tuple("New notice", "First\rsecond\rthird<Br>", "https://example.invalid/en/5"));

    for (const auto& [language, id] :
         {std::pair{"de-DE", 7}, {"en", 7}, {"", 7}, {"ja", 5}, {"jap", 5}})
        EXPECT_EQ(check(QString::fromLatin1(language)).id, id) << language;
    EXPECT_EQ(server.requestCount(u"/lumora/MEinformation.lst"_s), 3);
    EXPECT_EQ(server.requestCount(u"/lumora/Minformation.lst"_s), 3);
}

TEST_F(InformationCheckerTest,
       OnlyEightFieldLinesCountAndErrorPagesEmptyBodiesAndSilentServersGiveNone)
{
    const InformationCheckResult equal = checkList("3,a,b,c,First,e,f,g\n"
                                                   "3,a,b,c,Second,e,f,g\n"
                                                   "9,a,b,c,Nine fields, one comma,e,f,g\n"
                                                   "8,a,b,c,Seven,e,f\n");
    EXPECT_EQ(std::tie(equal.id, equal.englishTitle), std::make_tuple(3, "First"));

    EXPECT_EQ(checkList("-1,a,b,c,d,e,f,g\n"), InformationCheckResult{});

    // An id without digits reads as 0, which is a notice.
    const InformationCheckResult zero = checkList("id,a,b,c,Header,e,f,g\r\n");
    EXPECT_TRUE(zero.available && zero.id == 0 && !zero.isUnread(0));

    const InformationCheckResult nothing{false, true, -1, {}, {}, {}, {}, {}, {}, {}};
    for (const QByteArray& body :
         {QByteArray(), QByteArray("<html>\r\n<body>Not here</body>\r\n</html>\r\n"),
          QByteArray("1,\xff,b,c,d,e,f,g\n")})
        EXPECT_EQ(checkList(body), nothing) << body.toStdString();
    EXPECT_EQ(checkList(QByteArray(), true), nothing);
}

TEST(InformationCheckerList, TruncatedOversizedAndHostileListsAreReadSafely)
{
    EXPECT_EQ(InformationChecker::evaluateNoticeList(QByteArray("4,a,b,c,d,e,f,g\n6,a,b,c,d,e")).id,
              4);

    QByteArray many;
    int highest = -1;
    for (int line = 0; line < 100000; ++line) {
        const int id = (line * 7919) % 100003;
        highest = std::max(highest, id);
        many += QByteArray::number(id) + ",t,x,l,T,X,L,\n";
    }
    EXPECT_EQ(InformationChecker::evaluateNoticeList(many).id, highest);

    const InformationCheckResult hostile = InformationChecker::evaluateNoticeList(
        QByteArray("99999999999999999999,<b>,%@,javascript:x,<i>,\x01,file:///etc/passwd,\n"));
    EXPECT_EQ(std::tie(hostile.id, hostile.englishText, hostile.englishLink),
              std::make_tuple(2147483647, "\x01", "file:///etc/passwd"));
}

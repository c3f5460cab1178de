#include "network/informationchecker.h"

#include "localhttpserver.h"
#include "settings/settingkeys.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
const QByteArray japaneseList =
    QStringLiteral(
        "2,古いお知らせ,本文<br>二行目,http://example.invalid/ja/2,Old,Text,"
        "http://example.invalid/en/2,\r\n"
        "5,新しいお知らせ,一行目<br>二行目<BR>三行目<Br>,https://example.invalid/ja/5,"
        "New notice,First<br>second<BR>third<Br>,https://example.invalid/en/5,x\r\n"
        "4,中間,本文,http://example.invalid/ja/4,Middle,Text,http://example.invalid/en/4,\r\n")
        .toUtf8();
const QByteArray englishList = "7,JA,ja,ja-link,English seven,Text,http://example.invalid/7,\n";
} // namespace

class InformationCheckerTest : public testing::Test
{
protected:
    LocalHttpServer server;
    SettingsDictionary listSettings;

    void SetUp() override
    {
        server.serve(QStringLiteral("/lumora/Minformation.lst"), japaneseList);
        server.serve(QStringLiteral("/lumora/MEinformation.lst"), englishList);
        listSettings.setValue(SettingKeys::informationCheckSite,
                              server.url(QStringLiteral("/lumora/Minformation.lst")));
        listSettings.setValue(SettingKeys::informationCheckSiteEnglish,
                              server.url(QStringLiteral("/lumora/MEinformation.lst")));
        listSettings.setValue(SettingKeys::checkedInformationId, 3);
    }

    InformationCheckResult check(const QString& language)
    {
        return InformationChecker(listSettings)
            .setFirstPreferredLanguage(language)
            .checkInformation();
    }

    // Serves the English list (or keeps silent) and checks it.
    InformationCheckResult checkList(const QByteArray& list, bool silent = false)
    {
        if (silent)
            server.serve(QStringLiteral("/list"), LocalHttpServer::Behaviour::NeverAnswer);
        else
            server.serve(QStringLiteral("/list"), list);
        SettingsDictionary settings;
        settings.setValue(SettingKeys::informationCheckSiteEnglish,
                          server.url(QStringLiteral("/list")));
        return InformationChecker(settings)
            .setFirstPreferredLanguage(QStringLiteral("en"))
            .setTimeout(silent ? 300ms : 30s)
            .checkInformation();
    }
};

TEST_F(InformationCheckerTest,
       TheFirstLanguageChoosesTheListWhoseHighestNoticeStaysUnreadUntilStored)
{
    const InformationCheckResult result = check(QStringLiteral("ja-JP"));
    EXPECT_EQ(result, (InformationCheckResult{
                          true, false, 5, "新しいお知らせ", "一行目<br>二行目<BR>三行目<Br>",
                          "https://example.invalid/ja/5", "New notice",
                          "First<br>second<BR>third<Br>", "https://example.invalid/en/5", "x"}));
    EXPECT_EQ(server.requestCount(QStringLiteral("/lumora/MEinformation.lst")), 0);

    EXPECT_EQ(std::tuple(result.isUnread(3), result.isUnread(4), result.isUnread(5)),
              std::tuple(true, true, false));

    // What the window shows in each language.
    EXPECT_EQ(std::tuple(result.title("ja"), result.text("ja-JP"), result.link("ja")),
              std::tuple("新しいお知らせ", "一行目 \r二行目\r三行目<Br>",
                         "https://example.invalid/ja/5"));
    EXPECT_EQ(std::tuple(result.title("de"), result.text("de"), result.link("en-US")),
              std::tuple("New notice", "First\rsecond\rthird<Br>", "https://example.invalid/en/5"));

    for (const auto& [language, id] :
         {std::pair{"de-DE", 7}, {"en", 7}, {"", 7}, {"ja", 5}, {"jap", 5}})
        EXPECT_EQ(check(QString::fromLatin1(language)).id, id) << language;
    EXPECT_EQ(server.requestCount(QStringLiteral("/lumora/MEinformation.lst")), 3);
    EXPECT_EQ(server.requestCount(QStringLiteral("/lumora/Minformation.lst")), 3);
}

TEST_F(InformationCheckerTest, OnlyEightFieldLinesCountAndTheFirstOfEqualIdsWins)
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
}

TEST_F(InformationCheckerTest, ErrorPagesEmptyBodiesAndSilentServersGiveNoNotice)
{
    const InformationCheckResult nothing{false, true, -1, {}, {}, {}, {}, {}, {}, {}};
    EXPECT_EQ(checkList(QByteArray()), nothing);
    EXPECT_EQ(checkList("<html>\r\n<body>Not here</body>\r\n</html>\r\n"), nothing);
    EXPECT_EQ(checkList("1,\xff,b,c,d,e,f,g\n"), nothing);

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

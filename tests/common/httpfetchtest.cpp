#include "common/talvorencommon.h"
#include "localhttpserver.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace std::chrono_literals;

class HttpFetchTest : public testing::Test
{
protected:
    LocalHttpServer server;

    std::optional<QByteArray> fetch(const char* path,
                                    std::chrono::milliseconds timeout = TalvorenCommon::httpTimeout)
    {
        return TalvorenCommon::getNetworkFileByHttp(server.url(QString::fromLatin1(path)), timeout);
    }
};

TEST_F(HttpFetchTest, BodiesComeBackWhateverTheStatusAndAreNeverCached)
{
    const QByteArray list("1,3,A,2024/01/01,http://example.invalid/\r\n");
    const QByteArray errorPage("<html><body>Internal error</body></html>");
    server.serve(u"/version.txt"_s, list);
    server.serve(u"/broken"_s, errorPage, 500);
    server.serve(u"/empty"_s, QByteArray());

    EXPECT_EQ(fetch("/version.txt"), list);
    // Asked again, the server answers again: nothing is taken from a cache.
    server.serve(u"/version.txt"_s, "changed");
    EXPECT_EQ(fetch("/version.txt"), QByteArray("changed"));
    EXPECT_EQ(server.requestCount(u"/version.txt"_s), 2);

    EXPECT_EQ(fetch("/broken"), errorPage);
    EXPECT_TRUE(fetch("/nope").value_or("").contains("404"));
    EXPECT_EQ(fetch("/empty"), QByteArray());
}

TEST_F(HttpFetchTest, NoAnswerOrNoAnswerInTimeGivesNone)
{
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(LocalHttpServer::refusingUrl()));
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(u"not an address"_s));
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(QString()));

    server.serve(u"/closes"_s, LocalHttpServer::Behaviour::CloseSilently);
    EXPECT_FALSE(fetch("/closes"));

    server.serve(u"/silent"_s, LocalHttpServer::Behaviour::NeverAnswer);
    EXPECT_FALSE(fetch("/silent", 300ms));
    EXPECT_EQ(server.requestCount(u"/silent"_s), 1);

    // The abandoned request leaves nothing behind that spoils the next fetch.
    server.serve(u"/after"_s, "fine");
    EXPECT_EQ(fetch("/after", 300ms), QByteArray("fine"));
}

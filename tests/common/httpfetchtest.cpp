#include "common/talvorencommon.h"
#include "localhttpserver.h"

#include <gtest/gtest.h>

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
    server.serve(QStringLiteral("/version.txt"), list);
    server.serve(QStringLiteral("/broken"), errorPage, 500);
    server.serve(QStringLiteral("/empty"), QByteArray());

    EXPECT_EQ(fetch("/version.txt"), list);
    // Asked again, the server answers again: nothing is taken from a cache.
    server.serve(QStringLiteral("/version.txt"), "changed");
    EXPECT_EQ(fetch("/version.txt"), QByteArray("changed"));
    EXPECT_EQ(server.requestCount(QStringLiteral("/version.txt")), 2);

    EXPECT_EQ(fetch("/broken"), errorPage);
    EXPECT_TRUE(fetch("/nope").value_or("").contains("404"));
    EXPECT_EQ(fetch("/empty"), QByteArray());
}

TEST_F(HttpFetchTest, NoAnswerOrNoAnswerInTimeGivesNone)
{
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(LocalHttpServer::refusingUrl()));
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(QStringLiteral("not an address")));
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(QString()));

    server.serve(QStringLiteral("/closes"), LocalHttpServer::Behaviour::CloseSilently);
    EXPECT_FALSE(fetch("/closes"));

    // A server that never answers gives none once the limit passes.
    server.serve(QStringLiteral("/silent"), LocalHttpServer::Behaviour::NeverAnswer);
    EXPECT_FALSE(fetch("/silent", 300ms));
    EXPECT_EQ(server.requestCount(QStringLiteral("/silent")), 1);

    // The abandoned request leaves nothing behind that spoils the next fetch.
    server.serve(QStringLiteral("/after"), "fine");
    EXPECT_EQ(fetch("/after", 300ms), QByteArray("fine"));
}

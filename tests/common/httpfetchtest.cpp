#include "common/talvorencommon.h"
#include "localhttpserver.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

class HttpFetchTest : public testing::Test
{
protected:
    LocalHttpServer server;
};

TEST_F(HttpFetchTest, BodiesComeBackWhateverTheStatusAndAreNeverCached)
{
    const QByteArray list("1,3,A,2024/01/01,http://example.invalid/\r\n");
    server.serve(QStringLiteral("/version.txt"), list);
    server.serve(QStringLiteral("/broken"), "<html><body>Internal error</body></html>", 500);

    EXPECT_EQ(TalvorenCommon::getNetworkFileByHttp(server.url(QStringLiteral("/version.txt"))),
              list);
    // Asked again, the server answers again: nothing is taken from a cache.
    server.serve(QStringLiteral("/version.txt"), "changed");
    EXPECT_EQ(TalvorenCommon::getNetworkFileByHttp(server.url(QStringLiteral("/version.txt"))),
              QByteArray("changed"));
    EXPECT_EQ(server.requestCount(QStringLiteral("/version.txt")), 2);

    EXPECT_EQ(TalvorenCommon::getNetworkFileByHttp(server.url(QStringLiteral("/broken"))),
              QByteArray("<html><body>Internal error</body></html>"));
    const auto missing = TalvorenCommon::getNetworkFileByHttp(server.url(QStringLiteral("/nope")));
    ASSERT_TRUE(missing.has_value());
    EXPECT_TRUE(missing->contains("404"));

    server.serve(QStringLiteral("/empty"), QByteArray());
    EXPECT_EQ(TalvorenCommon::getNetworkFileByHttp(server.url(QStringLiteral("/empty"))),
              QByteArray());
}

TEST_F(HttpFetchTest, NoAnswerOrNoAnswerInTimeGivesNone)
{
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(LocalHttpServer::refusingUrl()));
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(QStringLiteral("not an address")));
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(QString()));

    server.serve(QStringLiteral("/closes"), LocalHttpServer::Behaviour::CloseSilently);
    EXPECT_FALSE(TalvorenCommon::getNetworkFileByHttp(server.url(QStringLiteral("/closes"))));

    // A server that never answers gives none once the limit passes.
    server.serve(QStringLiteral("/silent"), LocalHttpServer::Behaviour::NeverAnswer);
    EXPECT_FALSE(
        TalvorenCommon::getNetworkFileByHttp(server.url(QStringLiteral("/silent")), 300ms));
    EXPECT_EQ(server.requestCount(QStringLiteral("/silent")), 1);

    // The abandoned request leaves nothing behind that spoils the next fetch.
    server.serve(QStringLiteral("/after"), "fine");
    EXPECT_EQ(TalvorenCommon::getNetworkFileByHttp(server.url(QStringLiteral("/after")), 300ms),
              QByteArray("fine"));
}

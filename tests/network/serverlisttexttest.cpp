#include "network/serverlisttext.h"

#include <gtest/gtest.h>

TEST(ServerListText, EveryNewlineBreaksALineAndUndecodableBodiesHaveNone)
{
    EXPECT_EQ(ServerListText::lines(QByteArray("a\r\nb\rc\nd")),
              (QStringList{"a", "", "b", "c", "d"}));
    EXPECT_EQ(ServerListText::lines(QString::fromUtf16(u"a\u2028b\u2029c\u0085d\ve\ff").toUtf8()),
              (QStringList{"a", "b", "c", "d", "e", "f"}));
    EXPECT_EQ(ServerListText::lines(QByteArray("last line without newline")),
              QStringList{"last line without newline"});
    EXPECT_EQ(ServerListText::lines(QByteArray::fromHex("efbbbf") + "1,2"), QStringList{"1,2"});

    EXPECT_TRUE(ServerListText::lines(std::nullopt).isEmpty());
    EXPECT_TRUE(ServerListText::lines(QByteArray("1,2,\xff\xfe,4,5\n1,3,a,b,c")).isEmpty());
    // A body cut inside a multi-byte character is not UTF-8 either.
    EXPECT_TRUE(ServerListText::lines(QByteArray("1,\xe3\x81")).isEmpty());
    EXPECT_EQ(ServerListText::lines(QByteArray()), QStringList{QString()});
}

TEST(ServerListText, NumbersAreReadByTheirLeadingNumericPart)
{
    const std::pair<const char*, float> floats[] = {
        {"1.2", 1.2f}, {"1.10", 1.1f}, {"1.0.0", 1.0f}, {"  -2.5beta", -2.5f},
        {"3.", 3.0f},  {".5", 0.5f},   {"v1.2", 0.0f},  {".", 0.0f},
        {"", 0.0f},    {"1e5", 1.0f}};
    for (const auto& [text, value] : floats)
        EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QString::fromLatin1(text)), value) << text;
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QString(60, QLatin1Char('9'))), 0.0f);
    const std::pair<const char*, qint32> integers[] = {
        {"12abc", 12}, {" +7", 7}, {"-1", -1}, {"x5", 0}, {"99999999999999999999", 2147483647}};
    EXPECT_EQ(ServerListText::leadingInteger(QStringLiteral("-99999999999999999999")),
              -2147483647 - 1);
    for (const auto& [text, value] : integers)
        EXPECT_EQ(ServerListText::leadingInteger(QString::fromLatin1(text)), value) << text;
}

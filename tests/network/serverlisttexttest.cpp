#include "network/serverlisttext.h"

#include <gtest/gtest.h>

TEST(ServerListText, EveryNewlineCharacterBreaksALineOnItsOwn)
{
    EXPECT_EQ(ServerListText::lines(QByteArray("a\r\nb\rc\nd")),
              (QStringList{"a", "", "b", "c", "d"}));
    EXPECT_EQ(ServerListText::lines(QString::fromUtf16(u"a\u2028b\u2029c\u0085d\ve\ff").toUtf8()),
              (QStringList{"a", "b", "c", "d", "e", "f"}));
    EXPECT_EQ(ServerListText::lines(QByteArray("last line without newline")),
              QStringList{"last line without newline"});
    EXPECT_EQ(ServerListText::lines(QByteArray("\xef\xbb\xbf"
                                               "1,2")),
              QStringList{"1,2"});
}

TEST(ServerListText, AbsentOrUndecodableBodiesHaveNoLines)
{
    EXPECT_TRUE(ServerListText::lines(std::nullopt).isEmpty());
    EXPECT_TRUE(ServerListText::lines(QByteArray("1,2,\xff\xfe,4,5\n1,3,a,b,c")).isEmpty());
    // A body cut inside a multi-byte character is not UTF-8 either.
    EXPECT_TRUE(ServerListText::lines(QByteArray("1,\xe3\x81")).isEmpty());
    EXPECT_EQ(ServerListText::lines(QByteArray()), QStringList{QString()});
}

TEST(ServerListText, NumbersAreReadByTheirLeadingNumericPart)
{
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QStringLiteral("1.2")), 1.2f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QStringLiteral("1.10")), 1.1f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QStringLiteral("1.0.0")), 1.0f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QStringLiteral("  -2.5beta")), -2.5f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QStringLiteral("3.")), 3.0f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QStringLiteral(".5")), 0.5f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QStringLiteral("v1.2")), 0.0f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QStringLiteral(".")), 0.0f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QString()), 0.0f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QStringLiteral("1e5")), 1.0f);
    EXPECT_FLOAT_EQ(ServerListText::leadingFloat(QString(60, QLatin1Char('9'))), 0.0f);

    EXPECT_EQ(ServerListText::leadingInteger(QStringLiteral("12abc")), 12);
    EXPECT_EQ(ServerListText::leadingInteger(QStringLiteral(" +7")), 7);
    EXPECT_EQ(ServerListText::leadingInteger(QStringLiteral("-1")), -1);
    EXPECT_EQ(ServerListText::leadingInteger(QStringLiteral("x5")), 0);
    EXPECT_EQ(ServerListText::leadingInteger(QStringLiteral("99999999999999999999")), 2147483647);
    EXPECT_EQ(ServerListText::leadingInteger(QStringLiteral("-99999999999999999999")),
              -2147483647 - 1);
}

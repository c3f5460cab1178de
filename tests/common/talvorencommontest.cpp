#include "common/talvorencommon.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(TalvorenCommon, DigitTestAcceptsOnlyAsciiDigits)
{
    EXPECT_TRUE(TalvorenCommon::isDigit(QStringLiteral("0123")));
    EXPECT_FALSE(TalvorenCommon::isDigit(QStringLiteral("12a")));
    EXPECT_FALSE(TalvorenCommon::isDigit(QStringLiteral(" 12")));
    EXPECT_FALSE(TalvorenCommon::isDigit(QStringLiteral("-1")));
    EXPECT_FALSE(TalvorenCommon::isDigit(QString()));
    EXPECT_FALSE(TalvorenCommon::isDigit(QStringLiteral("１２")));
}

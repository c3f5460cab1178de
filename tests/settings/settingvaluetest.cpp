#include "settings/settingvalue.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {
constexpr qint64 int64Max = std::numeric_limits<qint64>::max();
constexpr qint64 int64Min = std::numeric_limits<qint64>::min();
} // namespace

TEST(SettingValueText, ReadsAsBooleanByItsFirstSignificantCharacter)
{
    for (const char* text :
         {"yes", "Y", "T", "true", "t", "1", " +0012", "-1", "\t9", "0007", "+y", "\u3000true"})
        EXPECT_TRUE(SettingValue::boolFromString(QString::fromUtf8(text))) << text;
    for (const char* text :
         {"", " ", "0", "-0", "000", "no", "false", "N", "0x1", "+", "a1", " \n1", "１"})
        EXPECT_FALSE(SettingValue::boolFromString(QString::fromUtf8(text))) << text;
}

TEST(SettingValueText, ReadsAsIntegerByItsLeadingDecimalNumber)
{
    EXPECT_EQ(SettingValue::integerFromString(u" +0012"), 12);
    EXPECT_EQ(SettingValue::integerFromString(u"-7 days"), -7);
    EXPECT_EQ(SettingValue::integerFromString(u"12.9"), 12);
    EXPECT_EQ(SettingValue::integerFromString(u"\t42abc"), 42);
    EXPECT_EQ(SettingValue::integerFromString(u"abc"), 0);
    EXPECT_EQ(SettingValue::integerFromString(u""), 0);
    EXPECT_EQ(SettingValue::integerFromString(u"+"), 0);
    EXPECT_EQ(SettingValue::integerFromString(u"- 5"), 0);
    EXPECT_EQ(SettingValue::integerFromString(u"9223372036854775807"), int64Max);
    EXPECT_EQ(SettingValue::integerFromString(u"-9223372036854775808"), int64Min);
    // Too many digits saturate instead of wrapping.
    EXPECT_EQ(SettingValue::integerFromString(u"9223372036854775808"), int64Max);
    EXPECT_EQ(SettingValue::integerFromString(u"-99999999999999999999999"), int64Min);
}

TEST(SettingValueText, ReadsAsRealByItsLeadingDecimalNumber)
{
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u" 15000.0ms"), 15000.0);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"1.5e3"), 1500.0);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"5."), 5.0);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"-.25e-1"), -0.025);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"2e"), 2.0);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"1,5"), 1.0);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"e5"), 0.0);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"."), 0.0);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"nan"), 0.0);
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"1e-999"), 0.0);
    EXPECT_TRUE(std::isinf(SettingValue::realFromString(u"1e999")));
}

TEST(SettingValueText, NumberReadingIgnoresTheUserLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"2.5"), 2.5);
    EXPECT_EQ(SettingValue(2.5).stringValue(), QStringLiteral("2.5"));
    QLocale::setDefault(previous);
}

TEST(SettingValueCoercion, NumbersAndBooleansReadAsEveryType)
{
    const SettingValue yes(true);
    EXPECT_EQ(yes.integerValue(), 1);
    EXPECT_DOUBLE_EQ(yes.doubleValue(), 1.0);
    EXPECT_EQ(yes.stringValue(), QStringLiteral("1"));
    EXPECT_EQ(SettingValue(false).stringValue(), QStringLiteral("0"));

    EXPECT_TRUE(SettingValue(-3).boolValue());
    EXPECT_FALSE(SettingValue(0).boolValue());
    EXPECT_EQ(SettingValue(-3).stringValue(), QStringLiteral("-3"));
    EXPECT_TRUE(SettingValue(0.25).boolValue());
    EXPECT_FALSE(SettingValue(0.0).boolValue());
    EXPECT_EQ(SettingValue(15000.0).stringValue(), QStringLiteral("15000"));
    EXPECT_EQ(SettingValue(-2.9).integerValue(), -2);
}

TEST(SettingValueCoercion, RealsOutsideTheIntegerRangeSaturate)
{
    EXPECT_EQ(SettingValue(1e300).integerValue(), int64Max);
    EXPECT_EQ(SettingValue(-1e300).integerValue(), int64Min);
    EXPECT_EQ(SettingValue(std::numeric_limits<double>::infinity()).integerValue(), int64Max);
    EXPECT_EQ(SettingValue(std::nan("")).integerValue(), 0);
    EXPECT_EQ(SettingValue(9223372036854775808.0).integerValue(), int64Max);
}

TEST(SettingValueCoercion, EqualityFollowsTheStoredType)
{
    EXPECT_EQ(SettingValue(1), SettingValue(qint64{1}));
    EXPECT_FALSE(SettingValue(1) == SettingValue(true));
    EXPECT_FALSE(SettingValue(1) == SettingValue("1"));
    EXPECT_FALSE(SettingValue(1) == SettingValue(1.0));
}

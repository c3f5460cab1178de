#include "settings/settingvalue.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

constexpr qint64 int64Max = std::numeric_limits<qint64>::max();
constexpr qint64 int64Min = std::numeric_limits<qint64>::min();
constexpr double infinity = std::numeric_limits<double>::infinity();

TEST(SettingValueText, ReadsAsBooleanByItsFirstSignificantCharacter)
{
    for (const char* text :
         {"yes", "Y", "T", "true", "t", "1", " +0012", "-1", "\t9", "0007", "+y", "\u3000true"})
        EXPECT_TRUE(SettingValue::boolFromString(QString::fromUtf8(text))) << text;
    for (const char* text :
         {"", " ", "0", "-0", "000", "no", "false", "N", "0x1", "+", "a1", " \n1", "１"})
        EXPECT_FALSE(SettingValue::boolFromString(QString::fromUtf8(text))) << text;
}

TEST(SettingValueText, ReadsAsNumberByItsLeadingDecimalNumberWhateverTheLocale)
{
    const std::pair<QStringView, qint64> integers[] = {
        {u" +0012", 12}, {u"-7 days", -7}, {u"12.9", 12}, {u"\t42abc", 42},
        {u"abc", 0},     {u"", 0},         {u"+", 0},     {u"- 5", 0}};
    for (const auto& [text, integer] : integers)
        EXPECT_EQ(SettingValue::integerFromString(text), integer) << text.toString().toStdString();
    const std::pair<QStringView, double> reals[] = {
        {u".5", 0.5}, {u"5.", 5.0},  {u"2e", 2.0},     {u"e5", 0.0},       {u"1,5", 1.0},
        {u".", 0.0},  {u"nan", 0.0}, {u"1e-999", 0.0}, {u"1.5e3", 1500.0}, {u"-.25e-1", -0.025}};
    for (const auto& [text, real] : reals)
        EXPECT_DOUBLE_EQ(SettingValue::realFromString(text), real) << text.toString().toStdString();
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u" 15000.0ms"), 15000.0);
    // Too many digits saturate instead of wrapping.
    for (const char16_t* text : {u"9223372036854775807", u"9223372036854775808"})
        EXPECT_EQ(SettingValue::integerFromString(text), int64Max);
    for (const char16_t* text : {u"-9223372036854775808", u"-99999999999999999999999"})
        EXPECT_EQ(SettingValue::integerFromString(text), int64Min);
    EXPECT_TRUE(std::isinf(SettingValue::realFromString(u"1e999")));

    // The user's locale plays no part.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(SettingValue::realFromString(u"2.5"), 2.5);
    EXPECT_EQ(SettingValue(2.5).stringValue(), QStringLiteral("2.5"));
    QLocale::setDefault(previous);
}

TEST(SettingValueCoercion, NumbersAndBooleansReadAsEveryTypeAndRealsSaturateAsIntegers)
{
    struct Case
    {
        SettingValue value;
        bool flag;
        QString text;
    };
    const Case texts[] = {{true, true, "1"},       {false, false, "0"},  {-3, true, "-3"},
                          {0, false, "0"},         {0.25, true, "0.25"}, {0.0, false, "0"},
                          {15000.0, true, "15000"}};
    for (const Case& c : texts)
        EXPECT_EQ(std::pair(c.value.boolValue(), c.value.stringValue()), std::pair(c.flag, c.text));
    const std::pair<SettingValue, qint64> integers[] = {
        {true, 1},           {-2.9, -2},        {1e300, int64Max},
        {-1e300, int64Min},  {std::nan(""), 0}, {9223372036854775808.0, int64Max},
        {infinity, int64Max}};
    for (const auto& [value, integer] : integers)
        EXPECT_EQ(value.integerValue(), integer) << value.stringValue().toStdString();
    EXPECT_DOUBLE_EQ(SettingValue(true).doubleValue(), 1.0);

    // Equality follows the stored type.
    EXPECT_EQ(SettingValue(1), SettingValue(qint64{1}));
    for (const SettingValue& other : {SettingValue(true), SettingValue("1"), SettingValue(1.0)})
        EXPECT_FALSE(SettingValue(1) == other) << other.stringValue().toStdString();
}

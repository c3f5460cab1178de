#include "settings/settingvalue.h"

#include "settings/plistnode.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {
// Blanks as the readers skip them: tab and the Unicode space separators (the
// ideographic space of Japanese input included), not line breaks.
bool isBlank(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype skipBlanks(QStringView text, qsizetype i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

qsizetype skipDigits(QStringView text, qsizetype i)
{
    while (i < text.size() && isAsciiDigit(text[i]))
        ++i;
    return i;
}

qint64 clampToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 is exact as a double; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<qint64>::max();
    if (value <= -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(value);
}

// A number from a stored value: a boolean counts as 0 or 1, an integer as is, a
// real and a text through the given readers; other property-list types as 0.
template <typename Number, typename Data>
Number numberOf(const Data& data, Number (*fromReal)(double), Number (*fromText)(QStringView))
{
    if (const bool* flag = std::get_if<bool>(&data))
        return *flag ? 1 : 0;
    if (const qint64* integer = std::get_if<qint64>(&data))
        return static_cast<Number>(*integer);
    if (const double* real = std::get_if<double>(&data))
        return fromReal(*real);
    if (const QString* text = std::get_if<QString>(&data))
        return fromText(*text);
    return 0;
}
} // namespace

QString SettingValue::typeName() const
{
    // Named after the property-list node the value is written as.
    const PlistNode node(PlistNode::fromSettingValue(*this));
    return PlistNode::typeName(node.get());
}

bool SettingValue::boolValue() const
{
    switch (type()) {
    case Type::Boolean:
        return std::get<bool>(data);
    case Type::Integer:
        return std::get<qint64>(data) != 0;
    case Type::Real:
        return std::get<double>(data) != 0.0;
    case Type::String:
        return boolFromString(std::get<QString>(data));
    case Type::Other:
        break;
    }
    return false;
}

qint64 SettingValue::integerValue() const
{
    return numberOf<qint64>(data, clampToInteger, integerFromString);
}

double SettingValue::doubleValue() const
{
    return numberOf<double>(
        data, [](double real) { return real; }, realFromString);
}

QString SettingValue::stringValue() const
{
    switch (type()) {
    case Type::Boolean:
        return std::get<bool>(data) ? QStringLiteral("1") : QStringLiteral("0");
    case Type::Integer:
        return QString::number(std::get<qint64>(data));
    case Type::Real:
        return QString::number(std::get<double>(data), 'g', QLocale::FloatingPointShortest);
    case Type::String:
        return std::get<QString>(data);
    case Type::Other:
        break;
    }
    return {};
}

const PlistNode* SettingValue::otherNode() const
{
    const auto* node = std::get_if<std::shared_ptr<const PlistNode>>(&data);
    return node ? node->get() : nullptr;
}

bool SettingValue::operator==(const SettingValue& other) const
{
    if (type() != other.type())
        return false;
    if (type() != Type::Other)
        return data == other.data;
    return PlistNode::toXml(otherNode()->get()) == PlistNode::toXml(other.otherNode()->get());
}

bool SettingValue::boolFromString(QStringView text)
{
    qsizetype i = skipBlanks(text, 0);
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    while (i < text.size() && text[i] == u'0')
        ++i;
    if (i >= text.size())
        return false;
    const QChar c = text[i];
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

qint64 SettingValue::integerFromString(QStringView text)
{
    qsizetype i = skipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate towards the sign's side so that the most negative value fits, and
    // saturate instead of overflowing.
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        const int digit = text[i].unicode() - u'0';
        if (negative) {
            if (value < (min + digit) / 10)
                return min;
            value = value * 10 - digit;
        } else {
            if (value > (max - digit) / 10)
                return max;
            value = value * 10 + digit;
        }
    }
    return value;
}

double SettingValue::realFromString(QStringView text)
{
    const qsizetype start = skipBlanks(text, 0);
    qsizetype i = start;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype integerEnd = skipDigits(text, i);
    qsizetype end = integerEnd;
    bool hasDigits = integerEnd > i;
    if (end < text.size() && text[end] == u'.') {
        const qsizetype fractionEnd = skipDigits(text, end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!hasDigits)
        return 0.0;
    if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
        qsizetype exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == u'+' || text[exponent] == u'-'))
            ++exponent;
        const qsizetype exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }
    // The C locale's parser: the number text is plain ASCII whatever the user's locale.
    QByteArray number = text.sliced(start, end - start).toLatin1();
    if (number.endsWith('.'))
        number.append('0');
    bool ok = false;
    const double value = QLocale::c().toDouble(QString::fromLatin1(number), &ok);
    if (ok)
        return value;
    // Out of range: QLocale reports infinity for overflow and zero for underflow.
    return std::isinf(value) ? value : 0.0;
}

#include "network/serverlisttext.h"

#include <QStringDecoder>
#include <cmath>
#include <limits>

namespace {
bool isNewline(QChar c)
{
    switch (c.unicode()) {
    case 0x000A: // line feed
    case 0x000B: // line tabulation
    case 0x000C: // form feed
    case 0x000D: // carriage return
    case 0x0085: // next line
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
        return true;
    default:
        return false;
    }
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || isNewline(c);
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Index of the first character after optional blanks and one sign.
qsizetype skipBlanksAndSign(const QString& text, bool* negative)
{
    qsizetype index = 0;
    while (index < text.size() && isBlank(text[index]))
        ++index;
    *negative = false;
    if (index < text.size() && (text[index] == QLatin1Char('-') || text[index] == QLatin1Char('+')))
        *negative = text[index++] == QLatin1Char('-');
    return index;
}
} // namespace

QStringList ServerListText::lines(const std::optional<QByteArray>& body)
{
    if (!body)
        return {};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(*body);
    if (decoder.hasError())
        return {};
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype index = 0; index < text.size(); ++index) {
        if (isNewline(text[index])) {
            lines.append(text.mid(start, index - start));
            start = index + 1;
        }
    }
    lines.append(text.mid(start));
    return lines;
}

QList<QStringList> ServerListText::records(const std::optional<QByteArray>& body,
                                           qsizetype fieldCount)
{
    QList<QStringList> records;
    for (const QString& line : lines(body)) {
        QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() == fieldCount)
            records.append(std::move(fields));
    }
    return records;
}

float ServerListText::leadingFloat(const QString& text)
{
    bool negative = false;
    const qsizetype start = skipBlanksAndSign(text, &negative);
    qsizetype index = start;
    while (index < text.size() && isAsciiDigit(text[index]))
        ++index;
    if (index < text.size() && text[index] == QLatin1Char('.')) {
        ++index;
        while (index < text.size() && isAsciiDigit(text[index]))
            ++index;
    }
    bool converted = false;
    const float magnitude = text.mid(start, index - start).toFloat(&converted);
    if (!converted || !std::isfinite(magnitude))
        return 0.0f;
    return negative ? -magnitude : magnitude;
}

qint32 ServerListText::leadingInteger(const QString& text)
{
    bool negative = false;
    qsizetype index = skipBlanksAndSign(text, &negative);
    const qint64 limit = negative ? qint64(std::numeric_limits<qint32>::max()) + 1
                                  : std::numeric_limits<qint32>::max();
    qint64 magnitude = 0;
    for (; index < text.size() && isAsciiDigit(text[index]); ++index)
        magnitude = std::min(limit, magnitude * 10 + (text[index].unicode() - '0'));
    return static_cast<qint32>(negative ? -magnitude : magnitude);
}

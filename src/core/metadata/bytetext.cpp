#include "metadata/bytetext.h"

#include <QStringDecoder>

std::optional<QString> ByteText::utf8(QByteArrayView bytes)
{
    if (!isValidUtf8(bytes))
        return std::nullopt;
    // A leading byte-order mark is kept as a character: every byte counts.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    return QString(decoder.decode(bytes));
}

std::optional<QString> ByteText::utf8CutAtNul(QByteArrayView bytes)
{
    std::optional<QString> text = utf8(bytes);
    if (text) {
        const qsizetype nul = text->indexOf(QChar(0));
        if (nul >= 0)
            text->truncate(nul);
    }
    return text;
}

std::optional<QString> ByteText::utf8WithoutNul(QByteArrayView bytes)
{
    std::optional<QString> text = utf8(bytes);
    if (text)
        text->remove(QChar(0));
    return text;
}

QString ByteText::hexByte(quint8 byte)
{
    static constexpr char digits[] = "0123456789abcdef";
    const QChar pair[2] = {QLatin1Char(digits[byte >> 4]), QLatin1Char(digits[byte & 0x0f])};
    return QString(pair, 2);
}

QString ByteText::hex(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex());
}

QString ByteText::characters(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        if (byte != '\0')
            text.append(QChar(static_cast<uchar>(byte)));
    }
    return text;
}

// RFC 3629: no overlong forms, no surrogates, nothing above U+10FFFF.
bool ByteText::isValidUtf8(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const uchar lead = static_cast<uchar>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        qsizetype length = 0;
        uchar low = 0x80;
        uchar high = 0xbf;
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            if (lead == 0xe0)
                low = 0xa0;
            else if (lead == 0xed)
                high = 0x9f;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            if (lead == 0xf0)
                low = 0x90;
            else if (lead == 0xf4)
                high = 0x8f;
        } else {
            return false;
        }
        if (length > size - i)
            return false;
        for (qsizetype k = 1; k < length; ++k) {
            const uchar next = static_cast<uchar>(bytes[i + k]);
            const uchar min = k == 1 ? low : 0x80;
            const uchar max = k == 1 ? high : 0xbf;
            if (next < min || next > max)
                return false;
        }
        i += length;
    }
    return true;
}

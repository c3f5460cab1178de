#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// The text forms in which the maker-note and Exif bytes are carried.
class ByteText
{
public:
    // Every byte decoded as UTF-8 (NULs become characters, nothing is trimmed);
    // none when the bytes are not valid UTF-8.
    static std::optional<QString> utf8(QByteArrayView bytes);
    // Decoded whole, then cut before the first NUL character.
    static std::optional<QString> utf8CutAtNul(QByteArrayView bytes);
    // Decoded whole, then every NUL character removed.
    static std::optional<QString> utf8WithoutNul(QByteArrayView bytes);

    // Two lowercase hex digits, leading zero kept ("0a", "ff").
    static QString hexByte(quint8 byte);
    // Two lowercase hex digits per byte, no separators.
    static QString hex(QByteArrayView bytes);
    // One character per byte: byte b becomes the character U+00b (ASCII as
    // itself, bytes above 0x7F as their Latin-1 characters); NUL bytes are
    // dropped so that no text carries a NUL into a folder name or an XML file.
    static QString characters(QByteArrayView bytes);

    static bool isValidUtf8(QByteArrayView bytes);
};

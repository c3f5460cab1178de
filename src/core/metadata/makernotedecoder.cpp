#include "metadata/makernotedecoder.h"

#include "metadata/bytetext.h"
#include "metadata/fbencryptoraes.h"

#include <QtEndian>
#include <algorithm>

MakerNoteDecoder::MakerNoteDecoder(QByteArray makerNote, QByteArrayView key)
    : note(std::move(makerNote)), plain(FBEncryptorAES::decryptData(note, key))
{
}

std::optional<QByteArrayView> MakerNoteDecoder::range(const std::optional<QByteArray>& bytes,
                                                      qsizetype offset, qsizetype length) const
{
    if (!bytes || offset < 0 || length < 0 || offset > bytes->size() ||
        length > bytes->size() - offset)
        return std::nullopt;
    return QByteArrayView(*bytes).sliced(offset, length);
}

std::optional<quint8> MakerNoteDecoder::plainByte(qsizetype offset) const
{
    const auto bytes = range(note, offset, 1);
    if (!bytes)
        return std::nullopt;
    return static_cast<quint8>(bytes->at(0));
}

std::optional<QString> MakerNoteDecoder::plainHex(qsizetype offset) const
{
    const auto byte = plainByte(offset);
    if (!byte)
        return std::nullopt;
    return ByteText::hexByte(*byte);
}

std::optional<QString> MakerNoteDecoder::plainDecimal(qsizetype offset) const
{
    const auto byte = plainByte(offset);
    if (!byte)
        return std::nullopt;
    return QString::number(*byte);
}

std::optional<QString> MakerNoteDecoder::plainCharacters(qsizetype offset, qsizetype length) const
{
    const auto bytes = range(note, offset, length);
    if (!bytes)
        return std::nullopt;
    return ByteText::characters(*bytes);
}

std::optional<QString> MakerNoteDecoder::hex(qsizetype offset) const
{
    const auto bytes = range(plain, offset, 1);
    if (!bytes)
        return std::nullopt;
    return ByteText::hexByte(static_cast<quint8>(bytes->at(0)));
}

std::optional<QString> MakerNoteDecoder::decimal(qsizetype offset) const
{
    const auto bytes = range(plain, offset, 1);
    if (!bytes)
        return std::nullopt;
    return QString::number(static_cast<quint8>(bytes->at(0)));
}

std::optional<QString> MakerNoteDecoder::character(qsizetype offset) const
{
    const auto bytes = range(plain, offset, 1);
    if (!bytes)
        return std::nullopt;
    return ByteText::characters(*bytes);
}

std::optional<QString> MakerNoteDecoder::text(qsizetype offset, qsizetype length) const
{
    const auto bytes = range(plain, offset, length);
    if (!bytes)
        return std::nullopt;
    return ByteText::utf8CutAtNul(*bytes);
}

std::optional<QString> MakerNoteDecoder::unsigned32Decimal(qsizetype offset) const
{
    const auto bytes = range(plain, offset, 4);
    if (!bytes)
        return std::nullopt;
    return QString::number(qFromLittleEndian<quint32>(bytes->data()));
}

std::optional<QString> MakerNoteDecoder::unsigned16Decimal(qsizetype offset) const
{
    const auto bytes = range(plain, offset, 2);
    if (!bytes)
        return std::nullopt;
    return QString::number(qFromLittleEndian<quint16>(bytes->data()));
}

std::optional<QString> MakerNoteDecoder::extraInformation(qsizetype offset, qsizetype length) const
{
    const auto bytes = range(plain, offset, length);
    if (!bytes)
        return std::nullopt;
    if (std::all_of(bytes->begin(), bytes->end(), [](char byte) { return byte == '\0'; }))
        return QString();
    QByteArray terminated = bytes->toByteArray();
    terminated.append(2, '\0');
    return QString::fromLatin1(terminated.toBase64());
}

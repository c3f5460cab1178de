#include "metadata/makernotedecoder.h"

#include "metadata/bytetext.h"
#include "metadata/fbencryptoraes.h"

#include <QtEndian>
#include <algorithm>

namespace {
QString decimal(QByteArrayView bytes)
{
    switch (bytes.size()) {
    case 1:
        return QString::number(static_cast<quint8>(bytes.at(0)));
    case 2:
        return QString::number(qFromLittleEndian<quint16>(bytes.data()));
    default:
        return QString::number(qFromLittleEndian<quint32>(bytes.data()));
    }
}

QString extraInformation(QByteArrayView bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return byte == '\0'; }))
        return QString();
    QByteArray terminated = bytes.toByteArray();
    terminated.append(2, '\0');
    return QString::fromLatin1(terminated.toBase64());
}

bool isPlain(MakerNoteForm form)
{
    return form == MakerNoteForm::PlainDecimal || form == MakerNoteForm::PlainHex ||
           form == MakerNoteForm::PlainCharacters;
}
} // namespace

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

std::optional<QString> MakerNoteDecoder::read(const MakerNoteField& field) const
{
    if (field.form == MakerNoteForm::Derived)
        return std::nullopt;
    const auto bytes =
        range(isPlain(field.form) ? std::optional(note) : plain, field.offset, field.length);
    if (!bytes)
        return std::nullopt;
    switch (field.form) {
    case MakerNoteForm::PlainHex:
    case MakerNoteForm::Hex:
        return ByteText::hexByte(static_cast<quint8>(bytes->at(0)));
    case MakerNoteForm::PlainDecimal:
    case MakerNoteForm::Decimal:
        return decimal(*bytes);
    case MakerNoteForm::PlainCharacters:
    case MakerNoteForm::Character:
        return ByteText::characters(*bytes);
    case MakerNoteForm::Text:
        return ByteText::utf8CutAtNul(*bytes);
    case MakerNoteForm::ExtraInformation:
        return extraInformation(*bytes);
    case MakerNoteForm::Derived:
        break;
    }
    return std::nullopt;
}

std::optional<QString> MakerNoteDecoder::text(qsizetype offset, qsizetype length) const
{
    const auto bytes = range(plain, offset, length);
    if (!bytes)
        return std::nullopt;
    return ByteText::utf8CutAtNul(*bytes);
}

ExtendedMakerNoteEntity MakerNoteDecoder::record(MakerNoteGeneration generation) const
{
    ExtendedMakerNoteEntity record;
    for (const MakerNoteField& field : MakerNoteFields::table) {
        if (field.isIn(generation))
            record.*field.member = read(field);
    }
    return record;
}

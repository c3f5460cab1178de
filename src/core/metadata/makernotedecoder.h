#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The maker-note bytes of one image together with their decryption under the
// image's key. The copy is deciphered in one cipher call: ECB deciphers every
// 16-byte block by itself and every encrypted range starts on a block boundary,
// so each field reads exactly what a decryption of its own range would give.
// Offsets are maker-note offsets; fields outside the copy are absent.
class MakerNoteDecoder
{
public:
    MakerNoteDecoder(QByteArray makerNote, QByteArrayView key);

    const QByteArray& makerNote() const { return note; }

    // Plain bytes.
    std::optional<quint8> plainByte(qsizetype offset) const;
    std::optional<QString> plainHex(qsizetype offset) const;
    std::optional<QString> plainDecimal(qsizetype offset) const;
    std::optional<QString> plainCharacters(qsizetype offset, qsizetype length) const;

    // Decrypted bytes.
    std::optional<QString> hex(qsizetype offset) const;
    std::optional<QString> decimal(qsizetype offset) const;
    std::optional<QString> character(qsizetype offset) const;
    // UTF-8 decoded whole, cut at the first NUL; absent when not valid UTF-8.
    std::optional<QString> text(qsizetype offset, qsizetype length) const;
    std::optional<QString> unsigned32Decimal(qsizetype offset) const;
    std::optional<QString> unsigned16Decimal(qsizetype offset) const;
    // The 256-byte extra-information area: empty when it deciphers to zeros,
    // otherwise the Base64 text of its bytes followed by two zero bytes.
    std::optional<QString> extraInformation(qsizetype offset, qsizetype length) const;

private:
    std::optional<QByteArrayView> range(const std::optional<QByteArray>& bytes, qsizetype offset,
                                        qsizetype length) const;

    QByteArray note;
    std::optional<QByteArray> plain;
};

#pragma once

#include "metadata/makernotefields.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The maker-note bytes of one image together with their decryption under the
// image's key. The copy is deciphered in one cipher call: ECB deciphers every
// 16-byte block by itself and every encrypted range starts on a block boundary,
// so each field reads exactly what a decryption of its own range would give.
// Fields outside the copy are absent.
class MakerNoteDecoder
{
public:
    MakerNoteDecoder(QByteArray makerNote, QByteArrayView key);

    const QByteArray& makerNote() const { return note; }

    // One field in its form; absent when it lies outside the copy, when it is
    // derived rather than read, or when its text is not valid UTF-8.
    std::optional<QString> read(const MakerNoteField& field) const;
    // length decrypted bytes from offset as UTF-8, cut at the first NUL.
    std::optional<QString> text(qsizetype offset, qsizetype length) const;

    // The detailed record of a generation: every row of the table that the
    // generation carries.
    ExtendedMakerNoteEntity record(MakerNoteGeneration generation) const;

private:
    std::optional<QByteArrayView> range(const std::optional<QByteArray>& bytes, qsizetype offset,
                                        qsizetype length) const;

    QByteArray note;
    std::optional<QByteArray> plain;
};

#pragma once

#include <QtGlobal>

// The parts of the maker note (the data of tag 0x927C) that are not fields of
// the detailed record: the lengths the readers copy, the encryption type, the
// base readers' patient blocks and the blocks a copy without personal data
// overwrites. Offsets count from the maker note's first byte; the detailed
// record's fields are in MakerNoteFields.
namespace MakerNoteLayout {
// Bytes copied from the maker note by the base readers.
constexpr qsizetype versionProbeLength = 1024;
constexpr qsizetype firstVariantLength = 2048;
constexpr qsizetype secondVariantLength = 3072;

// Plain byte: 0x00 for an encrypted note, 0xFF for a copy without personal data.
constexpr qsizetype encryptionType = 10;

// The block copied over the personal areas of a first-variant copy.
constexpr qsizetype neutralBlock = 272;
constexpr qsizetype blockLength = 16;

// Where the base readers find the patient: a block holding the ID (20 bytes)
// and the name (120 bytes).
struct PatientBlock
{
    qsizetype start;
    qsizetype length;
    qsizetype id;
    qsizetype name;
};
constexpr PatientBlock firstPatientBlock{288, 160, 300, 320};
constexpr PatientBlock secondPatientBlock{2576, 140, 2576, 2596};
constexpr qsizetype patientIDLength = 20;
constexpr qsizetype patientNameLength = 120;

// Patient and operator area (both variants), 1,024 bytes.
constexpr qsizetype personalArea = 1024;
constexpr qsizetype personalAreaLength = 1024;
} // namespace MakerNoteLayout

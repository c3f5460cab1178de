#pragma once

#include "metadata/extendedmakernoteentity.h"
#include "metadata/makernotelayout.h"

#include <QtGlobal>
#include <array>

// The two maker-note generations: versions 2.1 to 3.x (big-endian files, 2,048
// bytes) and versions 4 and later (little-endian files, 3,072 bytes).
enum class MakerNoteGeneration
{
    First,
    Second
};

// How a field's bytes become its text.
enum class MakerNoteForm
{
    PlainDecimal,     // one plain byte as a decimal number
    PlainHex,         // one plain byte as two lowercase hex digits
    PlainCharacters,  // plain bytes, one character each
    Hex,              // one decrypted byte as two lowercase hex digits
    Decimal,          // 1, 2 or 4 decrypted bytes, little-endian, as a decimal number
    Character,        // one decrypted byte as one character
    Text,             // decrypted UTF-8 cut at the first NUL
    ExtraInformation, // decrypted bytes as Base64 (with two zero bytes added), empty when all zero
    Derived,          // not read from the note: the reader fills it in
};

// Which generations carry a field.
enum class MakerNoteGenerations
{
    Both,
    FirstOnly,
    SecondOnly
};

// One field of the detailed maker-note record: where it lies in the maker note
// (offsets from its first byte; encrypted ranges start on 16-byte boundaries)
// and how it is read.
struct MakerNoteField
{
    const char* name;
    ExtendedMakerNoteEntity::Text ExtendedMakerNoteEntity::*member;
    qsizetype offset;
    qsizetype length;
    MakerNoteForm form;
    MakerNoteGenerations generations;

    constexpr bool isIn(MakerNoteGeneration generation) const
    {
        return generations == MakerNoteGenerations::Both ||
               generations == (generation == MakerNoteGeneration::First
                                   ? MakerNoteGenerations::FirstOnly
                                   : MakerNoteGenerations::SecondOnly);
    }
    // Written with "0x" in front in the sidecars.
    constexpr bool isHex() const
    {
        return form == MakerNoteForm::Hex || form == MakerNoteForm::PlainHex;
    }
};

// The detailed record of both generations: every reader and writer walks this
// table. The rows are in the order of the record's declaration, which is also
// the order both sidecar templates take their values in. The patient ID lies in
// a different place in each generation, so it has one row for each.
namespace MakerNoteFields {
using E = ExtendedMakerNoteEntity;
using F = MakerNoteForm;
constexpr auto both = MakerNoteGenerations::Both;
constexpr auto first = MakerNoteGenerations::FirstOnly;
constexpr auto second = MakerNoteGenerations::SecondOnly;

// clang-format off
inline constexpr auto table = std::to_array<MakerNoteField>({
    {"majorVersion",        &E::majorVersion,        0,    1,   F::PlainDecimal,     both},
    {"minorVersion",        &E::minorVersion,        1,    1,   F::PlainDecimal,     both},
    {"serial",              &E::serial,              2,    8,   F::PlainCharacters,  both},
    {"owner",               &E::owner,               11,   20,  F::PlainCharacters,  second},
    {"identifier",          &E::identifier,          31,   1,   F::PlainCharacters,  second},
    {"timeZone",            &E::timeZone,            32,   4,   F::PlainCharacters,  second},
    {"summerTime",          &E::summerTime,          36,   1,   F::PlainHex,         second},
    // Camera settings.
    {"customMode",          &E::customMode,          99,   1,   F::Hex,              second},
    {"selectedMag",         &E::selectedMag,         100,  1,   F::Hex,              both},
    {"shootingMode",        &E::shootingMode,        101,  1,   F::Hex,              both},
    {"flashMode",           &E::flashMode,           102,  1,   F::Hex,              both},
    {"brightness",          &E::brightness,          103,  1,   F::Hex,              both},
    {"led",                 &E::led,                 104,  1,   F::Hex,              both},
    {"ledLighting",         &E::ledLighting,         105,  1,   F::Hex,              both},
    {"focusMode",           &E::focusMode,           106,  1,   F::Hex,              both},
    {"afSpot_X",            &E::afSpot_X,            107,  1,   F::Hex,              both},
    {"afSpot_Y",            &E::afSpot_Y,            108,  1,   F::Hex,              both},
    {"hue_AB",              &E::hue_AB,              109,  1,   F::Hex,              both},
    {"hue_MG",              &E::hue_MG,              110,  1,   F::Hex,              both},
    {"contrast",            &E::contrast,            111,  1,   F::Hex,              both},
    {"sharpness",           &E::sharpness,           112,  1,   F::Hex,              both},
    {"dialFunction",        &E::dialFunction,        113,  1,   F::Hex,              both},
    {"autoCropping",        &E::autoCropping,        114,  1,   F::Hex,              both},
    {"cameraPosition",      &E::cameraPosition,      115,  1,   F::Hex,              both},
    {"flipDirection",       &E::flipDirection,       116,  1,   F::Hex,              both},
    {"drawingFlag",         &E::drawingFlag,         150,  1,   F::Hex,              both},
    {"drawingFlag2",        &E::drawingFlag2,        151,  1,   F::Hex,              second},
    {"magnification_U",     &E::magnification_U,     160,  1,   F::Decimal,          both},
    {"magnification_L",     &E::magnification_L,     161,  1,   F::Decimal,          both},
    {"totalCount",          &E::totalCount,          162,  4,   F::Decimal,          second},
    {"workingDistance",     &E::workingDistance,     166,  2,   F::Decimal,          second},
    // Patient and operator area.
    {"patientNameOrder",    &E::patientNameOrder,    1024, 1,   F::Hex,              both},
    {"patientInfoFlag_0",   &E::patientInfoFlag_0,   1029, 1,   F::Hex,              both},
    {"patientID",           &E::patientID,           1030, 20,  F::Text,             first},
    {"patientID",           &E::patientID,           2576, 20,  F::Text,             second},
    {"patientName",         &E::patientName,         0,    0,   F::Derived,          both},
    {"patientName_A",       &E::patientName_A,       1050, 68,  F::Text,             both},
    {"patientName_I",       &E::patientName_I,       1118, 196, F::Text,             both},
    {"patientName_P",       &E::patientName_P,       1314, 196, F::Text,             both},
    {"patientSex",          &E::patientSex,          1510, 1,   F::Character,        both},
    {"patientBirthDate",    &E::patientBirthDate,    1511, 8,   F::Text,             both},
    {"patientAge_QR",       &E::patientAge_QR,       1519, 4,   F::Text,             both},
    {"date_QR",             &E::date_QR,             1523, 8,   F::Text,             both},
    {"patientInfoFlag_1",   &E::patientInfoFlag_1,   1531, 1,   F::Hex,              both},
    {"patientInfoFlag_2",   &E::patientInfoFlag_2,   1532, 1,   F::Hex,              both},
    {"patientInfoFlag_3",   &E::patientInfoFlag_3,   1533, 1,   F::Hex,              both},
    {"patientInfoFlag_4",   &E::patientInfoFlag_4,   1534, 1,   F::Hex,              both},
    {"patientInfoFlag_5",   &E::patientInfoFlag_5,   1535, 1,   F::Hex,              both},
    {"patientInfoFlag_6",   &E::patientInfoFlag_6,   1536, 1,   F::Hex,              both},
    {"patientInfoFlag_7",   &E::patientInfoFlag_7,   1537, 1,   F::Hex,              both},
    {"patientInfoFlag_8",   &E::patientInfoFlag_8,   1538, 1,   F::Hex,              both},
    {"patientInfoFlag_9",   &E::patientInfoFlag_9,   1539, 1,   F::Hex,              both},
    {"operatorsNameOrder",  &E::operatorsNameOrder,  1540, 1,   F::Hex,              both},
    {"operatorInfoFlag_0",  &E::operatorInfoFlag_0,  1545, 1,   F::Hex,              both},
    {"operatorsID",         &E::operatorsID,         1546, 20,  F::Text,             both},
    {"operatorsName_A",     &E::operatorsName_A,     1566, 68,  F::Text,             both},
    {"operatorsName_I",     &E::operatorsName_I,     1634, 196, F::Text,             both},
    {"operatorsName_P",     &E::operatorsName_P,     1830, 196, F::Text,             both},
    {"operatorsGroup",      &E::operatorsGroup,      2026, 1,   F::Hex,              both},
    {"operatorInfoFlag_1",  &E::operatorInfoFlag_1,  2027, 1,   F::Hex,              both},
    {"operatorInfoFlag_2",  &E::operatorInfoFlag_2,  2028, 1,   F::Hex,              both},
    {"operatorInfoFlag_3",  &E::operatorInfoFlag_3,  2029, 1,   F::Hex,              both},
    {"operatorInfoFlag_4",  &E::operatorInfoFlag_4,  2030, 1,   F::Hex,              both},
    {"operatorInfoFlag_5",  &E::operatorInfoFlag_5,  2031, 1,   F::Hex,              both},
    {"operatorInfoFlag_6",  &E::operatorInfoFlag_6,  2032, 1,   F::Hex,              both},
    {"operatorInfoFlag_7",  &E::operatorInfoFlag_7,  2033, 1,   F::Hex,              both},
    {"operatorInfoFlag_8",  &E::operatorInfoFlag_8,  2034, 1,   F::Hex,              both},
    {"operatorInfoFlag_9",  &E::operatorInfoFlag_9,  2035, 1,   F::Hex,              both},
    {"operatorInfoFlag_10", &E::operatorInfoFlag_10, 2036, 1,   F::Hex,              both},
    {"operatorInfoFlag_11", &E::operatorInfoFlag_11, 2037, 1,   F::Hex,              both},
    {"operatorInfoFlag_12", &E::operatorInfoFlag_12, 2038, 1,   F::Hex,              both},
    {"operatorInfoFlag_13", &E::operatorInfoFlag_13, 2039, 1,   F::Hex,              both},
    {"operatorInfoFlag_14", &E::operatorInfoFlag_14, 2040, 1,   F::Hex,              both},
    {"operatorInfoFlag_15", &E::operatorInfoFlag_15, 2041, 1,   F::Hex,              both},
    {"operatorInfoFlag_16", &E::operatorInfoFlag_16, 2042, 1,   F::Hex,              both},
    {"operatorInfoFlag_17", &E::operatorInfoFlag_17, 2043, 1,   F::Hex,              both},
    {"operatorInfoFlag_18", &E::operatorInfoFlag_18, 2044, 1,   F::Hex,              both},
    {"operatorInfoFlag_19", &E::operatorInfoFlag_19, 2045, 1,   F::Hex,              both},
    {"operatorInfoFlag_20", &E::operatorInfoFlag_20, 2046, 1,   F::Hex,              both},
    {"operatorInfoFlag_21", &E::operatorInfoFlag_21, 2047, 1,   F::Hex,              both},
    // Second generation only: the extra-information areas.
    {"patientExtraInfo",    &E::patientExtraInfo,    2064, 256, F::ExtraInformation, second},
    {"operatorExtraInfo",   &E::operatorExtraInfo,   2320, 256, F::ExtraInformation, second},
});
// clang-format on

// The row of a field in a generation. Only asked for fields the generation
// carries (the first row would stand in for a missing one).
constexpr const MakerNoteField& of(ExtendedMakerNoteEntity::Text ExtendedMakerNoteEntity::*member,
                                   MakerNoteGeneration generation)
{
    for (const MakerNoteField& field : table) {
        if (field.member == member && field.isIn(generation))
            return field;
    }
    return table.front();
}

// Rows of a generation that are read lie inside its maker note, do not overlap,
// and decimals are 1, 2 or 4 bytes: checked when the table is compiled.
constexpr bool rowsFit(MakerNoteGeneration generation, qsizetype noteLength)
{
    const auto isRead = [generation](const MakerNoteField& field) {
        return field.isIn(generation) && field.form != MakerNoteForm::Derived;
    };
    for (const MakerNoteField& field : table) {
        if (!isRead(field))
            continue;
        if (field.offset < 0 || field.length <= 0 || field.length > noteLength - field.offset)
            return false;
        if (field.form == MakerNoteForm::Decimal && field.length != 1 && field.length != 2 &&
            field.length != 4)
            return false;
        for (const MakerNoteField& other : table) {
            if (&other != &field && isRead(other) && field.offset < other.offset + other.length &&
                other.offset < field.offset + field.length)
                return false;
        }
    }
    return true;
}
static_assert(rowsFit(MakerNoteGeneration::First, MakerNoteLayout::firstVariantLength));
static_assert(rowsFit(MakerNoteGeneration::Second, MakerNoteLayout::secondVariantLength));

// Rows in the patient and operator area.
constexpr bool isPersonal(const MakerNoteField& field)
{
    return field.offset >= MakerNoteLayout::personalArea &&
           field.offset < MakerNoteLayout::personalArea + MakerNoteLayout::personalAreaLength;
}
} // namespace MakerNoteFields

#pragma once

#include <QtGlobal>

// Maker-note offsets, relative to the first byte of the maker note (the data of
// tag 0x927C). Encrypted ranges start on 16-byte boundaries.
namespace MakerNoteLayout {
// Bytes copied from the maker note by the base readers.
constexpr qsizetype versionProbeLength = 1024;
constexpr qsizetype firstVariantLength = 2048;
constexpr qsizetype secondVariantLength = 3072;

// Plain bytes.
constexpr qsizetype majorVersion = 0;
constexpr qsizetype minorVersion = 1;
constexpr qsizetype productNumber = 2;
constexpr qsizetype productNumberLength = 8;
constexpr qsizetype encryptionType = 10;
constexpr qsizetype owner = 11;
constexpr qsizetype ownerLength = 20;
constexpr qsizetype identifier = 31;
constexpr qsizetype timeZone = 32;
constexpr qsizetype timeZoneLength = 4;
constexpr qsizetype summerTime = 36;

// Encrypted camera settings.
constexpr qsizetype customMode = 99;
constexpr qsizetype selectedMag = 100;
constexpr qsizetype shootingMode = 101;
constexpr qsizetype sharpness = 112;
constexpr qsizetype flipDirection = 116;
constexpr qsizetype drawingFlag = 150;
constexpr qsizetype drawingFlag2 = 151;
constexpr qsizetype magnificationUpper = 160;
constexpr qsizetype magnificationLower = 161;
constexpr qsizetype totalCount = 162;
constexpr qsizetype workingDistance = 166;

// The block copied over the personal areas of a first-variant copy.
constexpr qsizetype neutralBlock = 272;
constexpr qsizetype blockLength = 16;

// Patient block of the first variant: ID at +12 (20 bytes), name at +32 (120).
constexpr qsizetype firstPatientBlock = 288;
constexpr qsizetype firstPatientBlockLength = 160;
constexpr qsizetype firstPatientID = firstPatientBlock + 12;
constexpr qsizetype firstPatientName = firstPatientBlock + 32;

// Patient and operator area (both variants), 1,024 bytes.
constexpr qsizetype personalArea = 1024;
constexpr qsizetype personalAreaLength = 1024;

// Second variant only.
constexpr qsizetype patientExtraInfo = 2064;
constexpr qsizetype operatorExtraInfo = 2320;
constexpr qsizetype extraInfoLength = 256;
// Patient block of the second variant: ID at +0 (20 bytes), name at +20 (120).
constexpr qsizetype secondPatientBlock = 2576;
constexpr qsizetype secondPatientID = secondPatientBlock;
constexpr qsizetype secondPatientName = secondPatientBlock + 20;

constexpr qsizetype patientIDLength = 20;
constexpr qsizetype patientNameLength = 120;
} // namespace MakerNoteLayout

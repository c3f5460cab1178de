#pragma once

#include "metadata/extendedmakernoteentity.h"
#include "metadata/namedtextfield.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The flat metadata record of one camera picture: a few standard Exif texts and
// the first-level maker-note fields. Every text may be absent (no value), which
// consumers treat like an empty text.
struct ExifEntity
{
    using Text = std::optional<QString>;

    quint64 fileSize = 0;
    Text software;
    Text fileDateTime;
    Text imageDescription;
    Text maker;
    Text model;
    // The copied maker-note bytes as lowercase hex (4,096 or 6,144 digits).
    Text extendedMakerNote;
    // 2,048 (first variant) or 3,072 (second variant) maker-note bytes.
    std::optional<QByteArray> extendedMakerNoteData;
    // Set by the extended readers only (maker-note versions 2.1 and later).
    std::optional<ExtendedMakerNoteEntity> extendedMakerNoteEntity;
    // The per-image AES-128 key: 8 product-number bytes + "yyMMddHH" of the shot.
    std::optional<QByteArray> encryptKey;
    Text majorUserTagVersion;
    Text minorUserTagVersion;
    Text productNumber;
    Text productNumberString;
    Text dateTimeOriginal;
    Text shootingMode;
    Text additionalInformation;
    Text drawFlag;
    Text patientID;
    Text patientName;
    Text encryptionType;
    Text owner;
    Text identifier;
    Text timeZone;
    Text summerTime;

    bool operator==(const ExifEntity&) const = default;

    // The text fields with their names, in declaration order (fileSize,
    // extendedMakerNoteData, extendedMakerNoteEntity and encryptKey are not texts).
    using Field = NamedTextField<ExifEntity>;
    static const std::vector<Field>& textFields();
};

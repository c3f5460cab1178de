#pragma once

#include "metadata/namedtextfield.h"

#include <QString>
#include <optional>
#include <vector>

// The detailed maker-note record of one picture (maker-note versions 2.1 and
// later). Every field is a text that may be absent; consumers treat absent like
// empty. Codes are two lowercase hex digits ("0a"), counts decimal texts, names
// and IDs UTF-8 texts cut at the first NUL.
struct ExtendedMakerNoteEntity
{
    using Text = std::optional<QString>;

    Text majorVersion;
    Text minorVersion;
    Text serial;
    Text owner;
    Text identifier;
    Text timeZone;
    Text summerTime;
    Text customMode;
    Text selectedMag;
    Text shootingMode;
    Text flashMode;
    Text brightness;
    Text led;
    Text ledLighting;
    Text focusMode;
    Text afSpot_X;
    Text afSpot_Y;
    Text hue_AB;
    Text hue_MG;
    Text contrast;
    Text sharpness;
    Text dialFunction;
    Text autoCropping;
    Text cameraPosition;
    Text flipDirection;
    Text drawingFlag;
    Text drawingFlag2;
    Text magnification_U;
    Text magnification_L;
    Text totalCount;
    Text workingDistance;
    Text patientNameOrder;
    Text patientInfoFlag_0;
    Text patientID;
    Text patientName;
    Text patientName_A;
    Text patientName_I;
    Text patientName_P;
    Text patientSex;
    Text patientBirthDate;
    Text patientAge_QR;
    Text date_QR;
    Text patientInfoFlag_1;
    Text patientInfoFlag_2;
    Text patientInfoFlag_3;
    Text patientInfoFlag_4;
    Text patientInfoFlag_5;
    Text patientInfoFlag_6;
    Text patientInfoFlag_7;
    Text patientInfoFlag_8;
    Text patientInfoFlag_9;
    Text operatorsNameOrder;
    Text operatorInfoFlag_0;
    Text operatorsID;
    Text operatorsName_A;
    Text operatorsName_I;
    Text operatorsName_P;
    Text operatorsGroup;
    Text operatorInfoFlag_1;
    Text operatorInfoFlag_2;
    Text operatorInfoFlag_3;
    Text operatorInfoFlag_4;
    Text operatorInfoFlag_5;
    Text operatorInfoFlag_6;
    Text operatorInfoFlag_7;
    Text operatorInfoFlag_8;
    Text operatorInfoFlag_9;
    Text operatorInfoFlag_10;
    Text operatorInfoFlag_11;
    Text operatorInfoFlag_12;
    Text operatorInfoFlag_13;
    Text operatorInfoFlag_14;
    Text operatorInfoFlag_15;
    Text operatorInfoFlag_16;
    Text operatorInfoFlag_17;
    Text operatorInfoFlag_18;
    Text operatorInfoFlag_19;
    Text operatorInfoFlag_20;
    Text operatorInfoFlag_21;
    Text patientExtraInfo;
    Text operatorExtraInfo;

    bool operator==(const ExtendedMakerNoteEntity&) const = default;

    // Every field with its name, in declaration order, taken from the maker-note
    // field table (MakerNoteFields) that the readers and writers walk.
    using Field = NamedTextField<ExtendedMakerNoteEntity>;
    static const std::vector<Field>& fields();
};

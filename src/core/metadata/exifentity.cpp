#include "metadata/exifentity.h"

#define TALVOREN_FIELD(name)                                                                       \
    {                                                                                              \
#name, &ExifEntity::name                                                                   \
    }

const std::vector<ExifEntity::Field>& ExifEntity::textFields()
{
    static const std::vector<Field> list = {
        TALVOREN_FIELD(software),
        TALVOREN_FIELD(fileDateTime),
        TALVOREN_FIELD(imageDescription),
        TALVOREN_FIELD(maker),
        TALVOREN_FIELD(model),
        TALVOREN_FIELD(extendedMakerNote),
        TALVOREN_FIELD(majorUserTagVersion),
        TALVOREN_FIELD(minorUserTagVersion),
        TALVOREN_FIELD(productNumber),
        TALVOREN_FIELD(productNumberString),
        TALVOREN_FIELD(dateTimeOriginal),
        TALVOREN_FIELD(shootingMode),
        TALVOREN_FIELD(additionalInformation),
        TALVOREN_FIELD(drawFlag),
        TALVOREN_FIELD(patientID),
        TALVOREN_FIELD(patientName),
        TALVOREN_FIELD(encryptionType),
        TALVOREN_FIELD(owner),
        TALVOREN_FIELD(identifier),
        TALVOREN_FIELD(timeZone),
        TALVOREN_FIELD(summerTime),
    };
    return list;
}

#undef TALVOREN_FIELD

#pragma once

#include <QString>

class SettingsDictionary;

// What the detail configuration window shows: the naming and import options the
// configuration window stores with its own on OK and Apply.
struct DetailConfigValues
{
    bool exportXml = false;
    bool zeroPadding = false;
    // Index and text of the selected padding width.
    int zeroPaddingLength = -1;
    QString zeroPaddingLengthString;
    bool chopCameraSerialNumber = false;
    bool chopCount = false;
    bool dontAddPatientName = false;
    bool dontSendMif = false;
    bool activateAvoidMultipleImportCheck = false;
    bool deleteExifPersonalInfo = false;
    bool notSendingImage = false;
    bool moveToTrash = false;

    // Writes the options into the settings. The padding width is written only while
    // zero padding is on; otherwise the stored width stays.
    void storeInto(SettingsDictionary& settings) const;
};

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <array>
#include <utility>
#include <vector>

// Writes camera pictures for tests: real, tiny JPEG files (an 8x8 grey image that
// ordinary viewers open) with an Exif block whose TIFF header lies at file offset
// 12, IFD0, the Exif sub-IFD and the camera's maker note of either generation,
// encrypted with the picture's own key. Every value is a plain field that a test
// may change before building. The builder makes sure that no byte pair before a
// tag's directory entry equals that tag's scan bytes, unless the test puts such
// bytes in on purpose (options.bytesBeforeFirstDirectory). It uses no test
// assertions, so benchmarks can use it too.

// The Exif texts, as raw bytes; each is written followed by one NUL.
struct CameraExif
{
    QByteArray imageDescription = "VELKO DENTAL DIGITAL CAMERA";
    QByteArray make = "VELKO INC.";
    // Padded to 19 characters as the camera writes it.
    QByteArray model = "Lumora K-4         ";
    QByteArray software = "Lumora Firmware 1.02";
    QByteArray dateTime = "2024:05:01 10:15:30";
    QByteArray dateTimeOriginal = "2024:05:01 10:15:30";
};

// The maker note before encryption. Texts are raw bytes written into their fixed
// ranges: shorter ones are padded with NULs, longer ones are cut to the range.
struct CameraMakerNote
{
    // The layout follows the major version: below 4 the first generation
    // (2,048 bytes, big-endian file), from 4 the second (3,072, little-endian).
    quint8 majorVersion = 4, minorVersion = 0;
    QByteArray productNumber = "LM4A0001"; // 8 bytes: the serial, half of the key
    quint8 encryptionType = 0x00;
    // Plain fields of the second generation.
    QByteArray owner = "Talvoren Dental Lab", identifier = "A", timeZone = "+900";
    quint8 summerTime = 0x00;
    // Camera settings (encrypted), in maker-note order.
    quint8 customMode = 0x01, selectedMag = 0x03, shootingMode = 0x02, flashMode = 0x01,
           brightness = 0x05, led = 0x01, ledLighting = 0x02, focusMode = 0x00, afSpot_X = 0x10,
           afSpot_Y = 0x20, hue_AB = 0x7f, hue_MG = 0x80, contrast = 0x04, sharpness = 0x06,
           dialFunction = 0x07, autoCropping = 0x00, cameraPosition = 0x01, flipDirection = 0x00;
    quint8 drawingFlag = 0x00, drawingFlag2 = 0x00, magnification_U = 0x0a, magnification_L = 0x01;
    quint32 totalCount = 10000;
    quint16 workingDistance = 300;
    // Patient and operator area (encrypted, both generations).
    quint8 patientNameOrder = 0xff, patientInfoFlag_0 = 0x01;
    QByteArray patientID = "P0001", patientName_A = "Yamada^Taro", patientName_I = "Yamada Taro",
               patientName_P = "Yamada^Taro";
    char patientSex = 'M';
    QByteArray patientBirthDate = "19800102", patientAge_QR = "44", date_QR = "20240501";
    std::array<quint8, 9> patientInfoFlags{};
    quint8 operatorsNameOrder = 0x02, operatorInfoFlag_0 = 0x00;
    QByteArray operatorsID = "OP01", operatorsName_A = "Suzuki^Hanako",
               operatorsName_I = "Suzuki^Hanako", operatorsName_P = "Suzuki^Hanako";
    quint8 operatorsGroup = 0x03;
    std::array<quint8, 21> operatorInfoFlags{};
    // The generation's own patient block: at 288 in the first (ID at +12, name at
    // +32), at 2576 in the second (ID at +0, name at +20).
    QByteArray blockPatientID = "P0001", blockPatientName = "Yamada Taro";
    // Second generation: the two 256-byte extra-information areas.
    QByteArray patientExtraInfo, operatorExtraInfo;
    // Raw plaintext bytes put at maker-note offsets after the fields above, before
    // encryption (for bytes no field covers, such as the block at 272).
    std::vector<std::pair<int, QByteArray>> plainPatches;
};

struct CameraPictureOptions
{
    bool withMakerNote = true;
    // Raw bytes between the TIFF header and IFD0, from file offset 20 (TIFF offset
    // 8): room for decoy entries and stray scan bytes.
    QByteArray bytesBeforeFirstDirectory;
    // Minimum file offsets for the Exif sub-IFD (with its data) and for the
    // maker-note data: 0 keeps them in the Exif segment; larger values place
    // them in a later segment, for example beyond the 1 MB scan window.
    qint64 exifDirectoryAt = 0;
    qint64 makerNoteDataAt = 0;
    // Pads the file with comment segments to exactly this size (0: no padding).
    qint64 fileSize = 0;
};

// Where the parts of a built picture lie (file offsets).
struct CameraPictureLayout
{
    bool bigEndian = true;
    qint64 makerNoteOffset = -1;
    int makerNoteLength = 0;
    QMap<quint16, qint64> entryOffsets; // directory entry of each tag
    QMap<quint16, qint64> dataOffsets;  // data of each tag
};

struct BuiltCameraPicture
{
    QByteArray bytes;
    CameraPictureLayout layout;
};

struct MovieIndexPair
{
    QString picturePath;
    QString moviePath;
};

class CameraPictureBuilder
{
public:
    CameraExif exif;
    CameraMakerNote maker;
    CameraPictureOptions options;

    // Maker-note version; the generation (and byte order) follows the major.
    CameraPictureBuilder& version(int major, int minor);
    // Patient ID and display name in every place the camera stores them, with
    // name order "ff" so that the name is shown as given.
    CameraPictureBuilder& patient(const QString& id, const QString& name);
    CameraPictureBuilder& serial(const QByteArray& productNumber)
    {
        return set(maker.productNumber, productNumber);
    }
    // "yyyy:MM:dd HH:mm:ss"; sets DateTime and DateTimeOriginal.
    CameraPictureBuilder& captureDateTime(const QString& exifDateTime);
    CameraPictureBuilder& captureDateTime(const QDateTime& dateTime);
    CameraPictureBuilder& shootingMode(quint8 mode) { return set(maker.shootingMode, mode); }
    CameraPictureBuilder& encryptionType(quint8 type) { return set(maker.encryptionType, type); }
    // Exif texts of a camera that is not one of the maker's.
    CameraPictureBuilder& otherCamera();
    CameraPictureBuilder& withoutMakerNote() { return set(options.withMakerNote, false); }
    CameraPictureBuilder& fileSize(qint64 bytes) { return set(options.fileSize, bytes); }

    BuiltCameraPicture build() const;
    QByteArray bytes() const { return build().bytes; }
    // Writes the picture as folder/fileName (folders created); returns the path.
    QString write(const QString& folder, const QString& fileName) const;
    // Writes baseName.<pictureExtension> and, unless movieExtension is empty,
    // baseName.<movieExtension> beside it (a small stand-in movie).
    MovieIndexPair writeMovieIndexPair(const QString& folder, const QString& baseName,
                                       const QString& pictureExtension = QStringLiteral("MIF"),
                                       const QString& movieExtension = QStringLiteral("MOV")) const;

    static QByteArray movieBytes();
    static QByteArray encrypt(const QByteArray& plain, const QByteArray& key);
    // A 12-byte TIFF directory entry.
    static QByteArray directoryEntry(quint16 tag, quint16 type, quint32 count, quint32 valueOffset,
                                     bool bigEndian);
    // Writes bytes to path (folders created); false on failure.
    static bool writeFile(const QString& path, const QByteArray& bytes);

private:
    template <typename Field, typename Value> CameraPictureBuilder& set(Field& field, Value value)
    {
        field = value;
        return *this;
    }
};

#include "camerapicturebuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <memory>
#include <openssl/evp.h>

namespace {
constexpr qint64 tiffStart = 12; // SOI (2) + APP1 marker (2) + length (2) + "Exif\0\0" (6)
constexpr int jpegSegmentMaximum = 65535;

// Tags of IFD0, of the Exif sub-IFD, and the value types the entries use.
constexpr quint16 imageDescriptionTag = 0x010e, makeTag = 0x010f, modelTag = 0x0110,
                  xResolutionTag = 0x011a, yResolutionTag = 0x011b, resolutionUnitTag = 0x0128,
                  softwareTag = 0x0131, dateTimeTag = 0x0132, yCbCrPositioningTag = 0x0213,
                  exifPointerTag = 0x8769;
constexpr quint16 exifVersionTag = 0x9000, dateTimeOriginalTag = 0x9003,
                  componentsConfigurationTag = 0x9101, makerNoteTag = 0x927c,
                  flashpixVersionTag = 0xa000, colorSpaceTag = 0xa001, imageWidthTag = 0xa002,
                  imageHeightTag = 0xa003;
constexpr quint16 typeAscii = 2, typeShort = 3, typeLong = 4, typeRational = 5, typeUndefined = 7;

// The tags whose entries the reader finds by scanning, with their scan bytes.
constexpr quint16 scannedTags[] = {imageDescriptionTag, makeTag,     modelTag,
                                   softwareTag,         dateTimeTag, dateTimeOriginalTag,
                                   makerNoteTag};

QByteArray fitted(const QByteArray& text, int length)
{
    QByteArray bytes = text.left(length);
    bytes.append(length - bytes.size(), '\0');
    return bytes;
}

void put(QByteArray& target, qint64 offset, const QByteArray& bytes)
{
    if (offset < 0 || offset >= target.size())
        return;
    const qint64 length = std::min<qint64>(bytes.size(), target.size() - offset);
    std::copy_n(bytes.constData(), length, target.data() + offset);
}

void putByte(QByteArray& target, qint64 offset, quint8 value)
{
    put(target, offset, QByteArray(1, static_cast<char>(value)));
}

template <typename Unsigned> QByteArray encoded(Unsigned value, bool bigEndian)
{
    QByteArray bytes(sizeof(Unsigned), '\0');
    if (bigEndian)
        qToBigEndian(value, bytes.data());
    else
        qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray segment(quint8 marker, const QByteArray& payload)
{
    QByteArray bytes;
    bytes.append(char(0xff)).append(static_cast<char>(marker));
    bytes.append(encoded<quint16>(static_cast<quint16>(payload.size() + 2), true));
    return bytes + payload;
}

// Comment segments filling exactly `length` bytes (never 1 to 3: a segment
// needs 4); what cannot be a segment is returned in `rest`.
QByteArray filler(qint64 length, qint64* rest = nullptr)
{
    QByteArray bytes;
    while (length >= 4) {
        qint64 chunk = std::min<qint64>(length, jpegSegmentMaximum + 2);
        if (length - chunk > 0 && length - chunk < 4)
            chunk -= 4;
        bytes += segment(0xfe, QByteArray(chunk - 4, '\0'));
        length -= chunk;
    }
    if (rest)
        *rest = length;
    return bytes;
}

// The per-image key: product number, then yyMMddHH taken from the capture time.
QByteArray encryptionKey(const QByteArray& productNumber, const QByteArray& dateTimeOriginal)
{
    const QByteArray time = fitted(dateTimeOriginal, 20);
    QByteArray key = fitted(productNumber, 8);
    for (const int position : {2, 3, 5, 6, 8, 9, 11, 12})
        key.append(time[position]);
    return key;
}

// An 8x8 grey baseline image: one block whose DC difference and AC codes are
// both the single one-bit Huffman code.
QByteArray tinyImage()
{
    QByteArray image;
    image += segment(0xdb, QByteArray(1, '\0') + QByteArray(64, '\x01'));
    image += segment(0xc0, QByteArray::fromHex("080008000801011100"));
    const QByteArray oneCode = QByteArray::fromHex("01000000000000000000000000000000") + '\0';
    image += segment(0xc4, QByteArray(1, '\x00') + oneCode);
    image += segment(0xc4, QByteArray(1, '\x10') + oneCode);
    image += segment(0xda, QByteArray::fromHex("010100003f00"));
    image += QByteArray::fromHex("3fffd9");
    return image;
}

qint64 firstPair(const QByteArray& bytes, char first, char second)
{
    for (qint64 p = 19; p + 1 < bytes.size(); ++p) {
        if (bytes[p] == first && bytes[p + 1] == second)
            return p;
    }
    return -1;
}

std::pair<char, char> scanPair(quint16 tag, bool bigEndian)
{
    const char high = static_cast<char>(tag >> 8);
    const char low = static_cast<char>(tag & 0xff);
    return bigEndian ? std::pair{high, low} : std::pair{low, high};
}

struct Entry
{
    quint16 tag;
    quint16 type;
    quint32 count;
    QByteArray inlineValue; // for values of 4 bytes or less
};

QByteArray makerNotePlain(const CameraMakerNote& m)
{
    const bool secondGeneration = m.majorVersion >= 4;
    QByteArray note(secondGeneration ? 3072 : 2048, '\0');
    putByte(note, 0, m.majorVersion);
    putByte(note, 1, m.minorVersion);
    put(note, 2, fitted(m.productNumber, 8));
    putByte(note, 10, m.encryptionType);
    if (secondGeneration) {
        put(note, 11, fitted(m.owner, 20));
        put(note, 31, fitted(m.identifier, 1));
        put(note, 32, fitted(m.timeZone, 4));
        putByte(note, 36, m.summerTime);
    }
    const quint8 settings[] = {m.customMode,     m.selectedMag,  m.shootingMode, m.flashMode,
                               m.brightness,     m.led,          m.ledLighting,  m.focusMode,
                               m.afSpot_X,       m.afSpot_Y,     m.hue_AB,       m.hue_MG,
                               m.contrast,       m.sharpness,    m.dialFunction, m.autoCropping,
                               m.cameraPosition, m.flipDirection};
    for (int i = 0; i < int(std::size(settings)); ++i)
        putByte(note, 99 + i, settings[i]);
    putByte(note, 150, m.drawingFlag);
    putByte(note, 151, m.drawingFlag2);
    putByte(note, 160, m.magnification_U);
    putByte(note, 161, m.magnification_L);
    put(note, 162, encoded<quint32>(m.totalCount, false));
    put(note, 166, encoded<quint16>(m.workingDistance, false));

    if (!secondGeneration) {
        put(note, 288 + 12, fitted(m.blockPatientID, 20));
        put(note, 288 + 32, fitted(m.blockPatientName, 120));
    }
    put(note, 500, QByteArray("management data of the camera"));

    // The patient (at 1024) and the operator (at 1540) start alike: name order,
    // four zero bytes, the first flag, the ID and the name in three forms.
    const auto person = [](quint8 order, quint8 flag, const QByteArray& id, const QByteArray& a,
                           const QByteArray& i, const QByteArray& p) {
        return char(order) + QByteArray(4, '\0') + char(flag) + fitted(id, 20) + fitted(a, 68) +
               fitted(i, 196) + fitted(p, 196);
    };
    const auto flags = [](const auto& values) {
        return QByteArray(reinterpret_cast<const char*>(values.data()), qsizetype(values.size()));
    };
    put(note, 1024,
        person(m.patientNameOrder, m.patientInfoFlag_0, m.patientID, m.patientName_A,
               m.patientName_I, m.patientName_P) +
            m.patientSex + fitted(m.patientBirthDate, 8) + fitted(m.patientAge_QR, 4) +
            fitted(m.date_QR, 8) + flags(m.patientInfoFlags));
    put(note, 1540,
        person(m.operatorsNameOrder, m.operatorInfoFlag_0, m.operatorsID, m.operatorsName_A,
               m.operatorsName_I, m.operatorsName_P) +
            char(m.operatorsGroup) + flags(m.operatorInfoFlags));

    if (secondGeneration) {
        put(note, 2064, fitted(m.patientExtraInfo, 256));
        put(note, 2320, fitted(m.operatorExtraInfo, 256));
        put(note, 2576, fitted(m.blockPatientID, 20));
        put(note, 2576 + 20, fitted(m.blockPatientName, 120));
    }
    for (const auto& [offset, bytes] : m.plainPatches)
        put(note, offset, bytes);
    return note;
}

BuiltCameraPicture assemble(const CameraPictureBuilder& builder, int shift)
{
    const CameraExif& exif = builder.exif;
    const CameraPictureOptions& options = builder.options;
    const bool bigEndian = builder.maker.majorVersion < 4;
    const int noteLength = bigEndian ? 2048 : 3072;
    const auto text = [](const QByteArray& value) { return value + '\0'; };
    // The capture time takes at least 20 bytes: the key is made from them.
    const QByteArray dateTimeOriginal =
        fitted(exif.dateTimeOriginal + '\0', std::max<int>(20, exif.dateTimeOriginal.size() + 1));

    const auto shortValue = [&](quint16 value) {
        return encoded<quint16>(value, bigEndian) + QByteArray(2, '\0');
    };
    const std::vector<Entry> ifd0 = {
        {imageDescriptionTag, typeAscii, quint32(exif.imageDescription.size() + 1), {}},
        {makeTag, typeAscii, quint32(exif.make.size() + 1), {}},
        {modelTag, typeAscii, quint32(exif.model.size() + 1), {}},
        {xResolutionTag, typeRational, 1, {}},
        {yResolutionTag, typeRational, 1, {}},
        {resolutionUnitTag, typeShort, 1, shortValue(2)},
        {softwareTag, typeAscii, quint32(exif.software.size() + 1), {}},
        {dateTimeTag, typeAscii, quint32(exif.dateTime.size() + 1), {}},
        {yCbCrPositioningTag, typeShort, 1, shortValue(1)},
        {exifPointerTag, typeLong, 1, {}},
    };
    std::vector<Entry> exifIfd = {
        {exifVersionTag, typeUndefined, 4, QByteArray("0230")},
        {dateTimeOriginalTag, typeAscii, quint32(exif.dateTimeOriginal.size() + 1), {}},
        {componentsConfigurationTag, typeUndefined, 4, QByteArray::fromHex("01000000")},
    };
    if (options.withMakerNote)
        exifIfd.push_back({makerNoteTag, typeUndefined, quint32(noteLength), {}});
    exifIfd.push_back({flashpixVersionTag, typeUndefined, 4, QByteArray("0100")});
    exifIfd.push_back({colorSpaceTag, typeShort, 1, shortValue(1)});
    exifIfd.push_back({imageWidthTag, typeLong, 1, encoded<quint32>(8, bigEndian)});
    exifIfd.push_back({imageHeightTag, typeLong, 1, encoded<quint32>(8, bigEndian)});
    const auto directorySize = [](const std::vector<Entry>& entries) {
        return qint64(2 + 12 * entries.size() + 4);
    };
    const auto aligned = [](qint64 offset) { return offset + (offset & 1); };

    // Near part: everything inside the Exif segment, offsets relative to the TIFF header.
    QMap<quint16, qint64> offsets; // TIFF offsets of each tag's data (and of the Exif IFD)
    const qint64 ifd0Offset = 8 + options.bytesBeforeFirstDirectory.size();
    qint64 cursor = ifd0Offset + directorySize(ifd0);
    const bool exifFar = options.exifDirectoryAt > 0;
    const bool noteFar = options.makerNoteDataAt > 0 && !exifFar;
    if (!exifFar) {
        offsets[exifPointerTag] = cursor;
        cursor += directorySize(exifIfd);
    }
    cursor += 2 * shift;
    const QByteArray resolution = encoded<quint32>(72, bigEndian) + encoded<quint32>(1, bigEndian);
    std::vector<std::pair<quint16, QByteArray>> nearData = {
        {imageDescriptionTag, text(exif.imageDescription)},
        {makeTag, text(exif.make)},
        {modelTag, text(exif.model)},
        {xResolutionTag, resolution},
        {yResolutionTag, resolution},
        {softwareTag, text(exif.software)},
        {dateTimeTag, text(exif.dateTime)},
    };
    std::vector<std::pair<quint16, QByteArray>> exifData = {
        {dateTimeOriginalTag, dateTimeOriginal}};
    const QByteArray key = encryptionKey(builder.maker.productNumber, dateTimeOriginal);
    QByteArray note = makerNotePlain(builder.maker);
    const int encrypted = (noteLength - 96) / 16 * 16;
    if (encrypted > 0)
        note.replace(96, encrypted, CameraPictureBuilder::encrypt(note.mid(96, encrypted), key));
    if (options.withMakerNote && !noteFar)
        exifData.push_back({makerNoteTag, note});
    if (!exifFar)
        nearData.insert(nearData.end(), exifData.begin(), exifData.end());
    for (const auto& [tag, bytes] : nearData) {
        cursor = aligned(cursor);
        offsets[tag] = cursor;
        cursor += bytes.size();
    }
    const qint64 tiffSize = cursor;
    const qint64 exifSegmentEnd = tiffStart + tiffSize;

    // Far part: one segment per block, at its minimum file offset or later.
    struct FarBlock
    {
        qint64 fileOffset;
        QByteArray payload;
    };
    std::vector<FarBlock> far;
    qint64 fileEnd = exifSegmentEnd;
    const auto placeFar = [&](qint64 wanted, qint64 size) {
        qint64 start = std::max(wanted + 2 * shift, fileEnd + 4);
        if (start - 4 - fileEnd > 0 && start - 4 - fileEnd < 4)
            start += 4;
        far.push_back({start, QByteArray(size, '\0')});
        fileEnd = start + size;
        return start;
    };
    if (exifFar) {
        qint64 size = directorySize(exifIfd);
        for (const auto& [tag, bytes] : exifData) {
            size = aligned(size);
            offsets[tag] = size;
            size += bytes.size();
        }
        const qint64 start = placeFar(options.exifDirectoryAt, size);
        offsets[exifPointerTag] = start - tiffStart;
        for (const auto& [tag, bytes] : exifData)
            offsets[tag] += start - tiffStart;
    } else if (noteFar && options.withMakerNote) {
        offsets[makerNoteTag] = placeFar(options.makerNoteDataAt, note.size()) - tiffStart;
    }

    CameraPictureLayout layout{bigEndian, -1, noteLength, {}, {}};
    const auto directory = [&](const std::vector<Entry>& entries, qint64 tiffOffset) {
        QByteArray bytes = encoded<quint16>(static_cast<quint16>(entries.size()), bigEndian);
        for (const Entry& entry : entries) {
            layout.entryOffsets[entry.tag] = tiffStart + tiffOffset + bytes.size();
            const quint32 value =
                entry.inlineValue.isNull() ? static_cast<quint32>(offsets.value(entry.tag)) : 0;
            QByteArray entryBytes = CameraPictureBuilder::directoryEntry(
                entry.tag, entry.type, entry.count, value, bigEndian);
            if (!entry.inlineValue.isNull())
                entryBytes.replace(8, 4, entry.inlineValue);
            bytes += entryBytes;
        }
        return bytes + encoded<quint32>(0, bigEndian);
    };

    QByteArray tiff(tiffSize, '\0');
    put(tiff, 0, bigEndian ? QByteArray("MM\x00\x2a", 4) : QByteArray("II\x2a\x00", 4));
    put(tiff, 4, encoded<quint32>(quint32(ifd0Offset), bigEndian));
    put(tiff, 8, options.bytesBeforeFirstDirectory);
    put(tiff, ifd0Offset, directory(ifd0, ifd0Offset));
    const QByteArray exifDirectory = directory(exifIfd, offsets[exifPointerTag]);
    for (const auto& [tag, bytes] : nearData)
        put(tiff, offsets[tag], bytes);
    if (!exifFar)
        put(tiff, offsets[exifPointerTag], exifDirectory);

    QByteArray file = QByteArray::fromHex("ffd8");
    file += segment(0xe1, QByteArray("Exif\0\0", 6) + tiff);
    for (FarBlock& block : far) {
        file += filler(block.fileOffset - 4 - file.size());
        if (exifFar) {
            put(block.payload, 0, exifDirectory);
            for (const auto& [tag, bytes] : exifData)
                put(block.payload, offsets[tag] + tiffStart - block.fileOffset, bytes);
        } else {
            put(block.payload, 0, note);
        }
        file += segment(0xe2, block.payload);
    }
    const QByteArray image = tinyImage();
    qint64 rest = 0;
    if (options.fileSize > file.size() + image.size())
        file += filler(options.fileSize - file.size() - image.size(), &rest);
    file += image;
    file.append(rest, '\0');

    for (auto tag = offsets.keyBegin(); tag != offsets.keyEnd(); ++tag) {
        if (*tag != exifPointerTag)
            layout.dataOffsets[*tag] = offsets[*tag] + tiffStart;
    }
    if (options.withMakerNote)
        layout.makerNoteOffset = layout.dataOffsets.value(makerNoteTag, -1);
    return {file, layout};
}

// True when every scanned tag is found at its own entry and an omitted maker
// note is found nowhere.
bool scansCleanly(const BuiltCameraPicture& picture, bool withMakerNote)
{
    const CameraPictureLayout& layout = picture.layout;
    for (const quint16 tag : scannedTags) {
        if (tag == makerNoteTag && !withMakerNote) {
            for (const bool order : {true, false}) {
                const auto [first, second] = scanPair(tag, order);
                if (firstPair(picture.bytes, first, second) >= 0)
                    return false;
            }
            continue;
        }
        const auto [first, second] = scanPair(tag, layout.bigEndian);
        if (firstPair(picture.bytes, first, second) != layout.entryOffsets.value(tag))
            return false;
    }
    return true;
}
} // namespace

CameraPictureBuilder& CameraPictureBuilder::version(int major, int minor)
{
    maker.majorVersion = static_cast<quint8>(major);
    maker.minorVersion = static_cast<quint8>(minor);
    return *this;
}

CameraPictureBuilder& CameraPictureBuilder::patient(const QString& id, const QString& name)
{
    maker.patientID = maker.blockPatientID = id.toUtf8();
    maker.patientName_I = maker.blockPatientName = name.toUtf8();
    maker.patientName_A = maker.patientName_P = QByteArray();
    maker.patientNameOrder = 0xff;
    return *this;
}

CameraPictureBuilder& CameraPictureBuilder::captureDateTime(const QString& exifDateTime)
{
    exif.dateTime = exif.dateTimeOriginal = exifDateTime.toLatin1();
    return *this;
}

CameraPictureBuilder& CameraPictureBuilder::captureDateTime(const QDateTime& dateTime)
{
    return captureDateTime(dateTime.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")));
}

CameraPictureBuilder& CameraPictureBuilder::otherCamera()
{
    exif.imageDescription = "OTHER DIGITAL CAMERA";
    exif.make = "OTHER CORP.";
    exif.model = "Other X-1";
    return *this;
}

BuiltCameraPicture CameraPictureBuilder::build() const
{
    const bool checkScan = options.bytesBeforeFirstDirectory.isEmpty();
    for (int shift = 0; shift < 64; ++shift) {
        BuiltCameraPicture picture = assemble(*this, shift);
        if (!checkScan || scansCleanly(picture, options.withMakerNote))
            return picture;
    }
    qFatal("CameraPictureBuilder: cannot place the directory entries without stray scan bytes");
}

QString CameraPictureBuilder::write(const QString& folder, const QString& fileName) const
{
    const QString path = QDir(folder).filePath(fileName);
    if (!writeFile(path, bytes()))
        qFatal("CameraPictureBuilder: cannot write %s", qPrintable(path));
    return path;
}

MovieIndexPair CameraPictureBuilder::writeMovieIndexPair(const QString& folder,
                                                         const QString& baseName,
                                                         const QString& pictureExtension,
                                                         const QString& movieExtension) const
{
    MovieIndexPair pair;
    pair.picturePath = write(folder, baseName + QLatin1Char('.') + pictureExtension);
    if (!movieExtension.isEmpty()) {
        pair.moviePath = QDir(folder).filePath(baseName + QLatin1Char('.') + movieExtension);
        if (!writeFile(pair.moviePath, movieBytes()))
            qFatal("CameraPictureBuilder: cannot write %s", qPrintable(pair.moviePath));
    }
    return pair;
}

QByteArray CameraPictureBuilder::movieBytes()
{
    // A QuickTime file type box and a small media data box.
    return QByteArray::fromHex("00000014667479707174202000000200717420200000001c6d646174") +
           QByteArray("Lumora movie stand-in data.");
}

QByteArray CameraPictureBuilder::encrypt(const QByteArray& plain, const QByteArray& key)
{
    const QByteArray fullKey = fitted(key, 16);
    std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> context(EVP_CIPHER_CTX_new(),
                                                                       EVP_CIPHER_CTX_free);
    QByteArray cipher(plain.size() + 16, '\0');
    int written = 0;
    int last = 0;
    const auto* in = reinterpret_cast<const unsigned char*>(plain.constData());
    auto* out = reinterpret_cast<unsigned char*>(cipher.data());
    if (!context ||
        EVP_EncryptInit_ex(context.get(), EVP_aes_128_ecb(), nullptr,
                           reinterpret_cast<const unsigned char*>(fullKey.constData()),
                           nullptr) != 1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1 ||
        EVP_EncryptUpdate(context.get(), out, &written, in, int(plain.size())) != 1 ||
        EVP_EncryptFinal_ex(context.get(), out + written, &last) != 1)
        qFatal("CameraPictureBuilder: AES encryption failed");
    cipher.truncate(written + last);
    return cipher;
}

QByteArray CameraPictureBuilder::directoryEntry(quint16 tag, quint16 type, quint32 count,
                                                quint32 valueOffset, bool bigEndian)
{
    return encoded<quint16>(tag, bigEndian) + encoded<quint16>(type, bigEndian) +
           encoded<quint32>(count, bigEndian) + encoded<quint32>(valueOffset, bigEndian);
}

bool CameraPictureBuilder::writeFile(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

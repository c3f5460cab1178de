#include "metadata/exifoperator.h"

#include "metadata/bytetext.h"
#include "metadata/fbencryptoraes.h"
#include "metadata/makernotedecoder.h"
#include "metadata/makernotefields.h"
#include "metadata/makernotelayout.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace ML = MakerNoteLayout;

namespace {
// A tag number as the two bytes the scan looks for, in file order.
struct ScanBytes
{
    int first;
    int second;
};

struct Tag
{
    ScanBytes bigEndian;
    ScanBytes littleEndian;

    ScanBytes scanBytes(bool bigEndianFile) const
    {
        return bigEndianFile ? bigEndian : littleEndian;
    }
};

constexpr Tag dateTimeTag{{1, 50}, {50, 1}};
constexpr Tag softwareTag{{1, 49}, {49, 1}};
constexpr Tag imageDescriptionTag{{1, 14}, {14, 1}};
constexpr Tag makeTag{{1, 15}, {15, 1}};
constexpr Tag modelTag{{1, 16}, {16, 1}};
constexpr Tag dateTimeOriginalTag{{144, 3}, {3, 144}};
constexpr Tag makerNoteTag{{146, 124}, {124, 146}};

constexpr qsizetype directoryEntryLength = 12;
constexpr qsizetype entryCountOffset = 4;
constexpr qsizetype entryValueOffset = 8;

// Fixed reads: bytes read at the data offset; all but the last are decoded.
constexpr qsizetype imageDescriptionReadLength = 28;
constexpr qsizetype makeReadLength = 12;
constexpr qsizetype modelReadLength = 20;
constexpr qsizetype dateTimeOriginalReadLength = 20;

quint32 readUnsigned32(const char* bytes, bool bigEndian)
{
    return bigEndian ? qFromBigEndian<quint32>(bytes) : qFromLittleEndian<quint32>(bytes);
}

std::optional<QByteArrayView> slice(QByteArrayView data, quint64 offset, quint64 length)
{
    const auto size = static_cast<quint64>(data.size());
    if (offset > size || length > size - offset)
        return std::nullopt;
    return data.sliced(static_cast<qsizetype>(offset), static_cast<qsizetype>(length));
}

qint64 scanWindow(QByteArrayView data)
{
    return std::min<qint64>(data.size(), ExifOperator::scanWindowSize);
}

// The 12-byte directory entry at tagIndex; none when it does not lie in data.
std::optional<QByteArrayView> directoryEntry(QByteArrayView data, qint64 tagIndex)
{
    if (tagIndex < 0)
        return std::nullopt;
    return slice(data, static_cast<quint64>(tagIndex), directoryEntryLength);
}

// File offset of an entry's data, in 64 bits: a value offset near 2^32 plus the
// header offset does not wrap around to the start of the file.
quint64 dataOffset(QByteArrayView entry, bool bigEndian)
{
    return quint64{readUnsigned32(entry.data() + entryValueOffset, bigEndian)} +
           ExifOperator::tiffHeaderOffset;
}

// The entry's data as a view into data: `length` bytes, or the entry's count
// when no length is given.
std::optional<QByteArrayView> entryData(QByteArrayView data, qint64 tagIndex,
                                        std::optional<quint64> length, bool bigEndian)
{
    const auto entry = directoryEntry(data, tagIndex);
    if (!entry)
        return std::nullopt;
    return slice(data, dataOffset(*entry, bigEndian),
                 length.value_or(readUnsigned32(entry->data() + entryCountOffset, bigEndian)));
}

int versionNumber(const std::optional<QString>& text)
{
    bool ok = false;
    const int number = text.value_or(QString()).toInt(&ok);
    return ok ? number : 0;
}

bool isEmpty(const std::optional<QString>& text)
{
    return !text || text->isEmpty();
}

// The per-image key: the 8 raw product-number bytes, then the characters of the
// capture time at positions 2-3, 5-6, 8-9 and 11-12 (yyMMddHH).
QByteArray encryptionKey(QByteArrayView productNumber, QByteArrayView dateTimeOriginal)
{
    QByteArray key = productNumber.toByteArray();
    for (const qsizetype position : {2, 3, 5, 6, 8, 9, 11, 12})
        key.append(dateTimeOriginal[position]);
    return key;
}

// Locates tags and the data of their entries in one file of a given byte order.
class EntryReader
{
public:
    EntryReader(const ExifOperator& exifOperator, QByteArrayView data, bool bigEndian)
        : exifOperator(exifOperator), data(data), bigEndian(bigEndian)
    {
    }

    std::optional<qint64> find(const Tag& tag) const
    {
        const ScanBytes bytes = tag.scanBytes(bigEndian);
        const qint64 index = exifOperator.getTagIndex(
            data, scanWindow(data), ExifOperator::tagScanStart, bytes.first, bytes.second);
        if (index < 0)
            return std::nullopt;
        return index;
    }

    std::optional<QByteArrayView> countedData(const Tag& tag) const
    {
        const auto index = find(tag);
        if (!index)
            return std::nullopt;
        return entryData(data, *index, std::nullopt, bigEndian);
    }

    std::optional<QByteArrayView> fixedData(const Tag& tag, quint64 length) const
    {
        const auto index = find(tag);
        if (!index)
            return std::nullopt;
        return entryData(data, *index, length, bigEndian);
    }

private:
    const ExifOperator& exifOperator;
    QByteArrayView data;
    bool bigEndian;
};

// What the base readers produce, with the decoded maker note that the extended
// readers go on from.
struct BaseRead
{
    ExifEntity entity;
    std::optional<MakerNoteDecoder> makerNote;
};

// The maker-note fields of the flat record: the camera settings the file name
// uses, the generation's patient block and, in the second generation, the plain
// camera fields.
void readFlatMakerNoteFields(ExifEntity& entity, const MakerNoteDecoder& note, bool secondVariant)
{
    const MakerNoteGeneration generation =
        secondVariant ? MakerNoteGeneration::Second : MakerNoteGeneration::First;
    const auto read = [&](ExtendedMakerNoteEntity::Text ExtendedMakerNoteEntity::*member) {
        return note.read(MakerNoteFields::of(member, generation));
    };
    using E = ExtendedMakerNoteEntity;
    if (secondVariant) {
        entity.owner = read(&E::owner);
        entity.identifier = read(&E::identifier);
        entity.timeZone = read(&E::timeZone);
        entity.summerTime = read(&E::summerTime);
    }
    entity.shootingMode = read(&E::shootingMode);
    entity.additionalInformation = read(&E::flipDirection);
    entity.drawFlag = read(&E::drawingFlag);
    const ML::PatientBlock& patient =
        secondVariant ? ML::secondPatientBlock : ML::firstPatientBlock;
    entity.patientID = note.text(patient.id, ML::patientIDLength);
    entity.patientName = note.text(patient.name, ML::patientNameLength);
}

// Reads the Exif texts and the maker note of a first-variant (big-endian) or
// second-variant (little-endian) file. Any read past the end gives none.
std::optional<BaseRead> readBase(const ExifOperator& exifOperator, QByteArrayView data,
                                 bool secondVariant)
{
    const bool bigEndian = !secondVariant;
    const EntryReader entries(exifOperator, data, bigEndian);
    BaseRead result;
    ExifEntity& entity = result.entity;

    const auto dateTime = entries.countedData(dateTimeTag);
    const auto software = entries.countedData(softwareTag);
    const auto imageDescription =
        entries.fixedData(imageDescriptionTag, imageDescriptionReadLength);
    const auto make = entries.fixedData(makeTag, makeReadLength);
    const auto model = entries.fixedData(modelTag, modelReadLength);
    const auto dateTimeOriginal =
        entries.fixedData(dateTimeOriginalTag, dateTimeOriginalReadLength);
    const qint64 noteLength = secondVariant ? ML::secondVariantLength : ML::firstVariantLength;
    const auto makerNote = entries.fixedData(makerNoteTag, noteLength);
    if (!dateTime || !software || !imageDescription || !make || !model || !dateTimeOriginal ||
        !makerNote)
        return std::nullopt;

    entity.fileDateTime = ByteText::utf8WithoutNul(*dateTime);
    entity.software = ByteText::utf8WithoutNul(*software);
    entity.imageDescription =
        ByteText::utf8(imageDescription->first(imageDescriptionReadLength - 1));
    entity.maker = ByteText::utf8(make->first(makeReadLength - 1));
    entity.model = ByteText::utf8(model->first(modelReadLength - 1));
    entity.dateTimeOriginal =
        ByteText::utf8(dateTimeOriginal->first(dateTimeOriginalReadLength - 1));

    const MakerNoteField& serial =
        MakerNoteFields::of(&ExtendedMakerNoteEntity::serial, MakerNoteGeneration::First);
    const QByteArrayView productNumber = makerNote->sliced(serial.offset, serial.length);
    entity.productNumber = ByteText::hex(productNumber);
    entity.productNumberString = ByteText::characters(productNumber);
    entity.encryptKey = encryptionKey(productNumber, *dateTimeOriginal);
    entity.extendedMakerNoteData = makerNote->toByteArray();
    entity.extendedMakerNote = ByteText::hex(*makerNote);

    readFlatMakerNoteFields(
        entity, result.makerNote.emplace(*entity.extendedMakerNoteData, *entity.encryptKey),
        secondVariant);
    return result;
}

std::optional<ExifEntity> flatRecord(std::optional<BaseRead> read)
{
    if (!read)
        return std::nullopt;
    return std::move(read->entity);
}

// The first non-empty of the ideographic, phonetic and alphabetic names.
std::optional<QString> firstNonEmptyName(const ExtendedMakerNoteEntity& record)
{
    for (const auto& name : {record.patientName_I, record.patientName_P, record.patientName_A}) {
        if (!isEmpty(name))
            return name;
    }
    return std::nullopt;
}

bool isKeepOrder(const std::optional<QString>& order)
{
    return order == QLatin1String("ff") || order == QLatin1String("FF");
}

// The base reader's record with the detailed record of its generation. The display
// name is the first non-empty form name in the record's order; in the second
// generation order ff shows the ideographic name as it stands and empties it.
std::optional<ExifEntity> withDetailedRecord(const ExifOperator& exifOperator, QByteArrayView data,
                                             MakerNoteGeneration generation)
{
    const bool second = generation == MakerNoteGeneration::Second;
    auto read = readBase(exifOperator, data, second);
    if (!read)
        return std::nullopt;
    ExifEntity& entity = read->entity;
    ExtendedMakerNoteEntity record = read->makerNote->record(generation);
    if (second && isKeepOrder(record.patientNameOrder)) {
        entity.patientName = record.patientName_I;
        record.patientName_I = QString();
    } else if (const auto name = firstNonEmptyName(record)) {
        entity.patientName =
            exifOperator.formattingPatientName(*name, record.patientNameOrder.value_or(QString()));
    }
    entity.extendedMakerNoteEntity = std::move(record);
    return std::move(entity);
}

void fallbackA(ExifEntity& entity)
{
    ExtendedMakerNoteEntity& record = *entity.extendedMakerNoteEntity;
    if (isEmpty(record.patientID)) {
        record.patientID = entity.patientID;
        record.patientName = entity.patientName;
    }
}

void fallbackB(ExifEntity& entity)
{
    ExtendedMakerNoteEntity& record = *entity.extendedMakerNoteEntity;
    if (isEmpty(record.patientID))
        record.patientID = entity.patientID;
    if (isEmpty(record.patientName))
        record.patientName = entity.patientName;
}

// Version 2.1 maker notes carry no usable patient and operator area; the
// patient ID stays, as the base reader's ID stands in for it.
void clearPersonalFields(ExtendedMakerNoteEntity& record)
{
    for (const MakerNoteField& field : MakerNoteFields::table) {
        if (MakerNoteFields::isPersonal(field) &&
            field.member != &ExtendedMakerNoteEntity::patientID)
            record.*field.member = std::nullopt;
    }
}

bool isPicturePath(const QString& path)
{
    static const QRegularExpression picture(
        QStringLiteral(R"(.+\.(JPG$|jpg$|JPEG$|jpeg$|jpe$|jfif$|jfi$|jif$))"));
    return picture.match(path).hasMatch();
}

bool isMovieIndexPath(const QString& path)
{
    static const QRegularExpression movieIndex(QStringLiteral(R"(.+\.(MIF$|mif$))"));
    return movieIndex.match(path).hasMatch();
}

// A movie-index picture counts only with its movie beside it. A replacement
// that changes nothing would name the picture itself, so it is not a find.
bool hasCompanionMovie(const QString& path)
{
    static const std::array<std::pair<QLatin1String, QLatin1String>, 4> replacements = {{
        {QLatin1String(".MIF"), QLatin1String(".MOV")},
        {QLatin1String(".MIF"), QLatin1String(".mov")},
        {QLatin1String(".mif"), QLatin1String(".MOV")},
        {QLatin1String(".mif"), QLatin1String(".mov")},
    }};
    for (const auto& [from, to] : replacements) {
        if (path.contains(from) && QFileInfo::exists(QString(path).replace(from, to)))
            return true;
    }
    return false;
}

std::optional<QByteArray> loadFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    try {
        QByteArray data(file.size(), Qt::Uninitialized);
        const qint64 read = file.read(data.data(), data.size());
        if (read < 0) {
            if (error)
                *error = file.errorString();
            return std::nullopt;
        }
        data.truncate(read);
        return data;
    } catch (const std::bad_alloc&) {
        if (error)
            *error = QStringLiteral("not enough memory to load the file");
        return std::nullopt;
    }
}
} // namespace

std::optional<ExifEntity> ExifOperator::getExifData(const QString& path,
                                                    bool isReflectionEncryptionType) const
{
    const auto data = loadFile(path, nullptr);
    if (!data)
        return std::nullopt;
    return getExifData(*data, path, isReflectionEncryptionType);
}

std::optional<ExifEntity> ExifOperator::getExifData(QByteArrayView data, const QString& path,
                                                    bool isReflectionEncryptionType) const
{
    const ExifEntity version = getUserTagVersion(data);
    if (isReflectionEncryptionType && version.encryptionType != QLatin1String("00"))
        return std::nullopt;
    const int major = versionNumber(version.majorUserTagVersion);
    const int minor = versionNumber(version.minorUserTagVersion);

    std::optional<ExifEntity> entity;
    if (major < 2 || (major == 2 && minor == 0)) {
        entity = readImageFile(data);
    } else if (major == 2 && minor == 1) {
        entity = readImageFileExtended(data);
        if (entity) {
            fallbackA(*entity);
            clearPersonalFields(*entity->extendedMakerNoteEntity);
        }
    } else if (major < 4) {
        entity = readImageFileExtended(data);
        if (entity)
            fallbackB(*entity);
    } else if (isPicturePath(path) || (isMovieIndexPath(path) && hasCompanionMovie(path))) {
        entity = readImageFileExtended2(data);
        if (entity)
            fallbackB(*entity);
    }
    if (entity) {
        // The readers leave the version fields to getUserTagVersion; the record
        // handed out carries them.
        entity->majorUserTagVersion = version.majorUserTagVersion;
        entity->minorUserTagVersion = version.minorUserTagVersion;
        entity->encryptionType = version.encryptionType;
        entity->fileSize = static_cast<quint64>(data.size());
    }
    return entity;
}

ExifEntity ExifOperator::getUserTagVersion(QByteArrayView data) const
{
    ExifEntity entity;
    if (data.size() < tiffHeaderOffset + 2)
        return entity;
    const QByteArrayView byteOrder = data.sliced(tiffHeaderOffset, 2);
    bool bigEndian = false;
    if (byteOrder == "II")
        bigEndian = false;
    else if (byteOrder == "MM")
        bigEndian = true;
    else
        return entity;

    const auto makerNote =
        EntryReader(*this, data, bigEndian).fixedData(makerNoteTag, ML::versionProbeLength);
    if (!makerNote)
        return entity;
    const auto byteAt = [&](qsizetype offset) {
        return static_cast<quint8>(makerNote->at(offset));
    };
    const auto versionByte = [&](ExtendedMakerNoteEntity::Text ExtendedMakerNoteEntity::*member) {
        return QString::number(
            byteAt(MakerNoteFields::of(member, MakerNoteGeneration::First).offset));
    };
    entity.majorUserTagVersion = versionByte(&ExtendedMakerNoteEntity::majorVersion);
    entity.minorUserTagVersion = versionByte(&ExtendedMakerNoteEntity::minorVersion);
    entity.encryptionType =
        QStringLiteral("%1").arg(byteAt(ML::encryptionType), 2, 10, QLatin1Char('0'));
    return entity;
}

void ExifOperator::deleteExifCopyFile(const QString& path, const QString& newFileName,
                                      QString* error) const
{
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
    };
    const QFileInfo source(path);
    if (source.exists() && source.canonicalFilePath() == QFileInfo(newFileName).canonicalFilePath())
        return fail(QStringLiteral("\"%1\": the copy would replace the source").arg(path));
    QString reason;
    auto data = loadFile(path, &reason);
    if (!data)
        return fail(QStringLiteral("cannot read \"%1\": %2").arg(path, reason));
    if (!deletePersonalInformation(*data, &reason))
        return fail(QStringLiteral("\"%1\": %2").arg(path, reason));

    QSaveFile destination(newFileName);
    if (!destination.open(QIODevice::WriteOnly) || destination.write(*data) != data->size() ||
        !destination.commit())
        return fail(
            QStringLiteral("cannot write \"%1\": %2").arg(newFileName, destination.errorString()));
    if (error)
        *error = QString();
}

bool ExifOperator::deletePersonalInformation(QByteArray& data, QString* error) const
{
    const bool secondVariant = versionNumber(getUserTagVersion(data).majorUserTagVersion) >= 4;
    const bool bigEndian = !secondVariant;
    const ScanBytes scan = makerNoteTag.scanBytes(bigEndian);
    // Unlike the readers, this scan covers the whole file.
    const qint64 tagIndex = getTagIndex(data, data.size(), tagScanStart, scan.first, scan.second);
    const auto noteOffset = tagIndex < 0 ? std::nullopt : getDataIndex(data, tagIndex, bigEndian);
    if (!noteOffset) {
        if (error)
            *error = QStringLiteral("the file has no maker note");
        return false;
    }
    const qsizetype noteLength = secondVariant ? ML::secondVariantLength : ML::firstVariantLength;
    const auto note = slice(data, *noteOffset, noteLength);
    if (!note) {
        if (error)
            *error = QStringLiteral("the maker note's personal-information areas lie outside "
                                    "the file");
        return false;
    }

    char* const makerNote = data.data() + *noteOffset;
    if (secondVariant) {
        std::fill_n(makerNote + ML::personalArea, ML::secondVariantLength - ML::personalArea, '\0');
    } else {
        // Every replaced block deciphers to the same 16 bytes as the neutral block.
        const auto copyNeutralBlockOver = [&](qsizetype from, qsizetype to) {
            for (qsizetype block = from; block < to; block += ML::blockLength)
                std::copy_n(makerNote + ML::neutralBlock, ML::blockLength, makerNote + block);
        };
        copyNeutralBlockOver(ML::firstPatientBlock.start,
                             ML::firstPatientBlock.start + ML::firstPatientBlock.length);
        copyNeutralBlockOver(ML::personalArea, ML::personalArea + ML::personalAreaLength);
    }
    makerNote[ML::encryptionType] = static_cast<char>(0xff);
    return true;
}

qint64 ExifOperator::getTagIndex(QByteArrayView bytes, qint64 size, qint64 offset, int highDecimal,
                                 int lowDecimal) const
{
    const qint64 end = std::min<qint64>(size, bytes.size());
    if (offset < 0 || offset >= end)
        return -1;
    const char high = static_cast<char>(highDecimal);
    const char low = static_cast<char>(lowDecimal);
    const char* const begin = bytes.data();
    const char* position = begin + offset;
    const char* const last = begin + end - 1;
    while (position < last) {
        position = static_cast<const char*>(std::memchr(position, high, last - position));
        if (!position)
            return -1;
        if (position[1] == low)
            return position - begin;
        ++position;
    }
    return -1;
}

std::optional<quint64> ExifOperator::getDataIndex(QByteArrayView bytes, qint64 tagIndex,
                                                  bool bigEndianFlag) const
{
    const auto entry = directoryEntry(bytes, tagIndex);
    if (!entry)
        return std::nullopt;
    return dataOffset(*entry, bigEndianFlag);
}

std::optional<QByteArray> ExifOperator::getTagData(QByteArrayView data, qint64 tagIndex,
                                                   bool bigEndianFlag) const
{
    const auto bytes = entryData(data, tagIndex, std::nullopt, bigEndianFlag);
    if (!bytes)
        return std::nullopt;
    return bytes->toByteArray();
}

std::optional<QByteArray> ExifOperator::getTagData(QByteArrayView data, qint64 tagIndex,
                                                   qint64 tagDataLength, bool bigEndianFlag) const
{
    if (tagDataLength < 0)
        return std::nullopt;
    const auto bytes =
        entryData(data, tagIndex, static_cast<quint64>(tagDataLength), bigEndianFlag);
    if (!bytes)
        return std::nullopt;
    return bytes->toByteArray();
}

std::optional<ExifEntity> ExifOperator::readImageFile(QByteArrayView data) const
{
    return flatRecord(readBase(*this, data, false));
}

std::optional<ExifEntity> ExifOperator::readImageFile2(QByteArrayView data) const
{
    return flatRecord(readBase(*this, data, true));
}

std::optional<ExifEntity> ExifOperator::readImageFileExtended(QByteArrayView data) const
{
    return withDetailedRecord(*this, data, MakerNoteGeneration::First);
}

std::optional<ExifEntity> ExifOperator::readImageFileExtended2(QByteArrayView data) const
{
    return withDetailedRecord(*this, data, MakerNoteGeneration::Second);
}

std::optional<QByteArray> ExifOperator::getDecryptBlockData(QByteArrayView buffer, int startIndex,
                                                            int length, QByteArrayView key,
                                                            QByteArray* decryptData) const
{
    if (length < 0 || length % 16 != 0 || startIndex < 0)
        return std::nullopt;
    const auto range =
        slice(buffer, static_cast<quint64>(startIndex), static_cast<quint64>(length));
    if (!range)
        return std::nullopt;
    auto plain = FBEncryptorAES::decryptData(*range, key);
    if (plain && decryptData)
        *decryptData = *plain;
    return plain;
}

namespace {
// length bytes at location of the deciphered block range; none when the range
// cannot be deciphered or the bytes lie outside it.
std::optional<QByteArray> decryptedBytes(const ExifOperator& exifOperator, QByteArrayView buffer,
                                         int startIndex, int blockLength, QByteArrayView key,
                                         int location, int length)
{
    const auto plain = exifOperator.getDecryptBlockData(buffer, startIndex, blockLength, key);
    if (!plain || location < 0 || length < 0)
        return std::nullopt;
    const auto bytes = slice(*plain, static_cast<quint64>(location), static_cast<quint64>(length));
    if (!bytes)
        return std::nullopt;
    return bytes->toByteArray();
}
} // namespace

std::optional<QString> ExifOperator::getDecryptData(QByteArrayView buffer, int startIndex,
                                                    int blockLength, QByteArrayView encryptKey,
                                                    int dataLocation) const
{
    const auto byte =
        decryptedBytes(*this, buffer, startIndex, blockLength, encryptKey, dataLocation, 1);
    if (!byte)
        return std::nullopt;
    return ByteText::hexByte(static_cast<quint8>(byte->at(0)));
}

std::optional<QString> ExifOperator::getDecryptDataString(QByteArrayView buffer, int startIndex,
                                                          int blockLength,
                                                          QByteArrayView encryptKey,
                                                          int dataLocation) const
{
    const auto byte =
        decryptedBytes(*this, buffer, startIndex, blockLength, encryptKey, dataLocation, 1);
    if (!byte)
        return std::nullopt;
    return ByteText::characters(*byte);
}

std::optional<QString> ExifOperator::getDecryptData(QByteArrayView buffer, int startIndex,
                                                    int blockLength, QByteArrayView encryptKey,
                                                    int subDataLocation, int subDataLength) const
{
    const auto bytes = decryptedBytes(*this, buffer, startIndex, blockLength, encryptKey,
                                      subDataLocation, subDataLength);
    if (!bytes)
        return std::nullopt;
    return ByteText::utf8CutAtNul(*bytes);
}

bool ExifOperator::checkOnlyTerminator(QByteArrayView bytes) const
{
    return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return byte == '\0'; });
}

QString ExifOperator::formattingPatientName(const QString& name, const QString& nameOrder) const
{
    if (name.isEmpty())
        return QString();
    if (nameOrder == QLatin1String("ff") || nameOrder == QLatin1String("FF"))
        return name;
    static const std::array<std::pair<QLatin1String, std::vector<int>>, 6> orders = {{
        {QLatin1String("00"), {0, 2, 1}},
        {QLatin1String("01"), {1, 2, 0}},
        {QLatin1String("02"), {0, 1, 2}},
        {QLatin1String("03"), {1, 0, 2}},
        {QLatin1String("04"), {0, 1}},
        {QLatin1String("05"), {1, 0}},
    }};
    const auto order = std::find_if(orders.begin(), orders.end(),
                                    [&](const auto& entry) { return entry.first == nameOrder; });
    if (order == orders.end())
        return QString();
    const QStringList components = name.split(QLatin1Char('^'));
    QStringList joined;
    for (const int index : order->second) {
        if (index >= components.size())
            return QString();
        joined.append(components.at(index));
    }
    return joined.join(QLatin1Char(' '));
}

#include "camerapicturebuilder.h"
#include "metadata/exifoperator.h"
#include "metadatatestprinters.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {
constexpr quint16 makeTag = 0x010f, modelTag = 0x0110, softwareTag = 0x0131,
                  dateTimeOriginalTag = 0x9003, makerNoteTag = 0x927c;

class ExifReaderTest : public testing::Test
{
protected:
    ExifOperator reader;
};

TEST_F(ExifReaderTest, BigEndianReaderFillsTheFlatRecordFromTheFirstGeneration)
{
    CameraPictureBuilder builder = CameraPictureBuilder().version(3, 0);
    builder.maker.productNumber = QByteArray::fromHex("4c4d330a00ff7f80");
    builder.maker.shootingMode = 0x0a;
    builder.maker.flipDirection = 0x03;
    builder.maker.drawingFlag = 0xff;
    builder.maker.blockPatientID = "ID-288";
    builder.maker.blockPatientName = "Block^Name";
    const BuiltCameraPicture picture = builder.build();

    const auto entity = reader.readImageFile(picture.bytes);
    ASSERT_TRUE(entity && entity->extendedMakerNoteData);
    EXPECT_EQ(*entity->extendedMakerNoteData,
              picture.bytes.mid(picture.layout.makerNoteOffset, 2048));
    EXPECT_EQ(entity->extendedMakerNote,
              QString::fromLatin1(entity->extendedMakerNoteData->toHex()));
    EXPECT_EQ(entity->encryptKey, QByteArray::fromHex("4c4d330a00ff7f80") + "24050110");
    EXPECT_EQ(entity->maker, QString::fromLatin1("VELKO INC.\0", 11));
    EXPECT_EQ(entity->productNumberString, QString::fromLatin1("LM3\n\xff\x7f\x80"));
    // Fields left to other operations or the other generation are absent, so not listed.
    EXPECT_FALSE(entity->extendedMakerNoteEntity);
    ExifEntity texts = *entity;
    texts.extendedMakerNote = texts.maker = texts.productNumberString = std::nullopt;
    EXPECT_EQ(textsOf(texts, ExifEntity::textFields()),
              "software=Lumora Firmware 1.02 fileDateTime=2024:05:01 10:15:30 "
              "imageDescription=VELKO DENTAL DIGITAL CAMERA model=Lumora K-4          "
              "productNumber=4c4d330a00ff7f80 dateTimeOriginal=2024:05:01 10:15:30 "
              "shootingMode=0a additionalInformation=03 drawFlag=ff patientID=ID-288 "
              "patientName=Block^Name");
}

TEST_F(ExifReaderTest, LittleEndianReaderAddsPlainCameraFieldsAndTheSecondPatientBlock)
{
    CameraPictureBuilder builder;
    builder.maker.owner = "Dr. Owner Name 12345"; // exactly 20 bytes, no NUL
    builder.maker.identifier = "Z";
    builder.maker.timeZone = "-530";
    builder.maker.summerTime = 0x01;
    builder.maker.blockPatientID = "ID-2576";
    builder.maker.blockPatientName = "Second^Block";
    builder.maker.patientID = "AREA-ID";
    const BuiltCameraPicture picture = builder.build();

    const auto entity = reader.readImageFile2(picture.bytes);
    ASSERT_TRUE(entity);
    EXPECT_EQ(std::tie(entity->owner, entity->identifier, entity->timeZone, entity->summerTime,
                       entity->patientID, entity->patientName, entity->shootingMode),
              std::make_tuple("Dr. Owner Name 12345", "Z", "-530", "01", "ID-2576", "Second^Block",
                              "02"));
    EXPECT_EQ(entity->extendedMakerNoteData->size(), 3072);
    EXPECT_EQ(entity->extendedMakerNote->size(), 6144);
}

TEST_F(ExifReaderTest, OneCharacterFieldsDropNulBytesAndShowHighBytesAsLatin1)
{
    CameraPictureBuilder builder;
    builder.maker.owner = QByteArray("Ab\0c\xe9", 5); // then NUL padding
    builder.maker.identifier = QByteArray(1, '\0');
    builder.maker.productNumber = QByteArray("SN\0\0\377123", 8);
    const auto entity = reader.readImageFile2(builder.bytes());
    ASSERT_TRUE(entity);
    EXPECT_EQ(std::tie(entity->owner, entity->identifier, entity->productNumberString,
                       entity->productNumber),
              std::make_tuple(QString::fromLatin1("Abc\xe9"), "", QString::fromLatin1("SN\377123"),
                              "534e0000ff313233"));
}

TEST_F(ExifReaderTest, CountedTextsLoseTheirNulsWhileFixedRangesKeepEveryByte)
{
    CameraPictureBuilder builder = CameraPictureBuilder().version(3, 0);
    builder.exif.software = QByteArray("Lumora\0\0Firmware\0", 17);
    builder.exif.make = "VELKO INC. EXTRA LONG"; // cut to 11 bytes
    builder.exif.model = "K-2";                  // brings the following bytes along
    const BuiltCameraPicture picture = builder.build();
    const auto entity = reader.readImageFile(picture.bytes);
    ASSERT_TRUE(entity);
    EXPECT_EQ(entity->software, "LumoraFirmware");
    EXPECT_EQ(entity->maker, "VELKO INC. ");
    const QByteArray modelBytes = picture.bytes.mid(picture.layout.dataOffsets[modelTag], 19);
    EXPECT_TRUE(modelBytes.startsWith(QByteArray("K-2\0", 4)));
    EXPECT_EQ(entity->model, QString::fromUtf8(modelBytes));
    EXPECT_EQ(entity->model->size(), 19);
}

TEST_F(ExifReaderTest, TextThatIsNotUtf8IsAbsentAndTheReadGoesOn)
{
    CameraPictureBuilder builder = CameraPictureBuilder().version(3, 0);
    builder.exif.software = "Firmware \xc3\x28";
    builder.exif.imageDescription = "VELKO \xff DENTAL DIGITAL CAMERA";
    builder.maker.blockPatientName = "\xe3\x81";              // cut inside a character
    builder.maker.blockPatientID = QByteArray("OK\0\xff", 4); // invalid after the NUL
    const auto entity = reader.readImageFile(builder.bytes());
    ASSERT_TRUE(entity);
    // The whole range is decoded before it is cut, so bytes after the NUL count.
    EXPECT_FALSE(entity->software || entity->imageDescription || entity->patientName ||
                 entity->patientID);
    EXPECT_EQ(entity->maker, QString::fromLatin1("VELKO INC.\0", 11));
    EXPECT_EQ(entity->shootingMode, "02");
}

TEST_F(ExifReaderTest, TheFirstMatchingBytePairIsTakenAsTheEntry)
{
    CameraPictureBuilder builder = CameraPictureBuilder().version(3, 0);
    const auto makerAfter = [&](const QByteArray& bytesBeforeFirstDirectory) {
        builder.options.bytesBeforeFirstDirectory = bytesBeforeFirstDirectory;
        return reader.readImageFile(builder.bytes()).value_or(ExifEntity()).maker;
    };
    // A decoy Make entry before IFD0 points at other text.
    EXPECT_EQ(makerAfter(CameraPictureBuilder::directoryEntry(makeTag, 2, 12, 8 + 12, true) +
                         "DECOY MAKER"),
              "DECOY MAKER");
    // First byte, first byte, second byte: matched at the second occurrence.
    EXPECT_EQ(makerAfter(QByteArray(1, '\x01') +
                         CameraPictureBuilder::directoryEntry(makeTag, 2, 12, 8 + 13, true) +
                         "REPEATED MK"),
              "REPEATED MK");

    // A stray pair inside a value offset: "01 0F" ends the decoy's offset field,
    // and the ten bytes after it are read as the rest of a Make entry.
    builder.options.bytesBeforeFirstDirectory =
        CameraPictureBuilder::directoryEntry(0x0001, 2, 0, 0x0000010f, true) +
        QByteArray::fromHex("0002") + QByteArray::fromHex("0000000c") +
        QByteArray::fromHex("0000001e") + QByteArray("STRAY MAKER\0", 12);
    const BuiltCameraPicture stray = builder.build();
    EXPECT_EQ(reader.getTagIndex(stray.bytes, stray.bytes.size(), 19, 1, 15), 20 + 10);
    const ExifEntity entity = reader.readImageFile(stray.bytes).value_or(ExifEntity());
    EXPECT_EQ(std::tie(entity.maker, entity.model),
              std::make_tuple("STRAY MAKER", "Lumora K-4         "));
}

TEST_F(ExifReaderTest, TagsMustStartInsideTheFirstMegabyteButDataMayLieBeyondIt)
{
    CameraPictureBuilder builder;
    builder.options.makerNoteDataAt = 1048576 + 4096;
    const BuiltCameraPicture farData = builder.build();
    ASSERT_GT(farData.layout.makerNoteOffset, 1048576);
    EXPECT_EQ(reader.readImageFile2(farData.bytes).value_or(ExifEntity()).patientID, "P0001");

    builder.options.makerNoteDataAt = 0;
    builder.options.exifDirectoryAt = 1048576 - 12; // entries start past the window
    const BuiltCameraPicture farEntries = builder.build();
    ASSERT_GE(farEntries.layout.entryOffsets[dateTimeOriginalTag], 1048576 - 1);
    EXPECT_FALSE(reader.readImageFile2(farEntries.bytes));

    builder.options.exifDirectoryAt = 1048576 - 200; // still inside the window
    EXPECT_TRUE(reader.readImageFile2(builder.bytes()));
}

TEST_F(ExifReaderTest, TagScanStopsAtTheWindowAndTheEndAndRejectsOffsetsPastThemOrWrapping)
{
    const QByteArray bytes = QByteArray(30, '\0') + QByteArray::fromHex("0110") + "xx";
    EXPECT_EQ(reader.getTagIndex(bytes, bytes.size(), 19, 1, 16), 30);
    EXPECT_EQ(reader.getTagIndex(bytes, 31, 19, 1, 16), -1); // second byte outside the window
    EXPECT_EQ(reader.getTagIndex(bytes, bytes.size(), 31, 1, 16), -1);
    EXPECT_EQ(reader.getTagIndex(bytes, bytes.size(), bytes.size(), 1, 16), -1);
    EXPECT_EQ(reader.getTagIndex(bytes, bytes.size() + 100, 19, 1, 16), 30);
    EXPECT_EQ(reader.getTagIndex(bytes, bytes.size(), -5, 1, 16), -1);
    EXPECT_EQ(reader.getTagIndex(QByteArray(), 0, 19, 1, 16), -1);

    // A file that ends inside a matching entry.
    const QByteArray cut = QByteArray(19, 'I') + QByteArray::fromHex("7c920700");
    EXPECT_EQ(reader.getTagIndex(cut, cut.size(), 19, 124, 146), 19);
    EXPECT_FALSE(reader.getDataIndex(cut, 19, false));
    EXPECT_FALSE(reader.getTagData(cut, 19, false));
    EXPECT_FALSE(reader.getTagData(cut, 19, 4, false));
    EXPECT_FALSE(reader.getDataIndex(cut, -1, false));
    EXPECT_FALSE(reader.readImageFile2(cut));
    EXPECT_FALSE(reader.readImageFile(QByteArray()));

    const QByteArray entry = CameraPictureBuilder::directoryEntry(0x927c, 7, 16, 0xfffffffc, true);
    EXPECT_EQ(reader.getDataIndex(entry, 0, true), quint64(0xfffffffc) + 12);
    EXPECT_EQ(reader.getDataIndex(CameraPictureBuilder::directoryEntry(0x927c, 7, 16, 0x20, false),
                                  0, false),
              quint64(0x2c));
}

using ExifReaderHostileInputTest = ExifReaderTest;

TEST_F(ExifReaderHostileInputTest, EveryTruncationGivesNoRecordOrAFullRead)
{
    using Reader = std::optional<ExifEntity> (ExifOperator::*)(QByteArrayView) const;
    const struct
    {
        int major;
        Reader base, extended, otherGeneration;
    } generations[] = {{3, &ExifOperator::readImageFile, &ExifOperator::readImageFileExtended,
                        &ExifOperator::readImageFile2},
                       {4, &ExifOperator::readImageFile2, &ExifOperator::readImageFileExtended2,
                        &ExifOperator::readImageFileExtended}};
    for (const auto& generation : generations) {
        const BuiltCameraPicture whole =
            CameraPictureBuilder().version(generation.major, 0).build();
        const qint64 noteEnd = whole.layout.makerNoteOffset + whole.layout.makerNoteLength;
        std::vector<qint64> sizes = {noteEnd - 1, noteEnd, whole.bytes.size()};
        for (qint64 size = 0; size < whole.bytes.size(); size += 7)
            sizes.push_back(size);
        for (const qint64 size : sizes) {
            SCOPED_TRACE("version " + std::to_string(generation.major) + " size " +
                         std::to_string(size));
            const QByteArray cut = whole.bytes.left(size);
            EXPECT_EQ((reader.*generation.base)(cut).has_value(), size >= noteEnd);
            EXPECT_EQ((reader.*generation.extended)(cut).has_value(), size >= noteEnd);
            EXPECT_FALSE((reader.*generation.otherGeneration)(cut));
        }
    }
}

TEST_F(ExifReaderHostileInputTest, OffsetsAndCountsFromTheFileAreCheckedBeforeUse)
{
    const BuiltCameraPicture picture = CameraPictureBuilder().build();
    const qint64 softwareEntry = picture.layout.entryOffsets[softwareTag];
    const qint64 noteEntry = picture.layout.entryOffsets[makerNoteTag];
    for (const quint32 offset :
         {0xffffffffu, 0xfffffff4u, 0xfffffff3u, 0x80000000u, quint32(picture.bytes.size() - 12)}) {
        QByteArray bytes = picture.bytes;
        qToLittleEndian(offset, bytes.data() + noteEntry + 8);
        EXPECT_FALSE(reader.readImageFile2(bytes)) << offset;
        EXPECT_FALSE(reader.getUserTagVersion(bytes).majorUserTagVersion) << offset;
    }
    for (const quint32 count : {0xffffffffu, 0xfffffff0u, quint32(picture.bytes.size())}) {
        QByteArray bytes = picture.bytes;
        qToLittleEndian(count, bytes.data() + softwareEntry + 4);
        EXPECT_FALSE(reader.readImageFile2(bytes)) << count;
    }
    QByteArray bytes = picture.bytes;
    qToLittleEndian(quint32(0), bytes.data() + softwareEntry + 4);
    EXPECT_EQ(reader.readImageFile2(bytes).value_or(ExifEntity()).software, "");
}

} // namespace

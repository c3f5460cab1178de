#include "camerapicturebuilder.h"
#include "metadata/exifoperator.h"
#include "metadatatestprinters.h"

#include <gtest/gtest.h>

namespace {
class MakerNoteTest : public testing::Test
{
protected:
    // Distinct values everywhere, so that a field read from its neighbour's
    // offset shows.
    static CameraPictureBuilder distinctBuilder(int major)
    {
        CameraPictureBuilder builder;
        builder.version(major, 5);
        CameraMakerNote& m = builder.maker;
        quint8 value = 0x31;
        for (quint8* field :
             {&m.customMode,     &m.selectedMag,   &m.shootingMode, &m.flashMode,
              &m.brightness,     &m.led,           &m.ledLighting,  &m.focusMode,
              &m.afSpot_X,       &m.afSpot_Y,      &m.hue_AB,       &m.hue_MG,
              &m.contrast,       &m.sharpness,     &m.dialFunction, &m.autoCropping,
              &m.cameraPosition, &m.flipDirection, &m.drawingFlag,  &m.drawingFlag2})
            *field = value++;
        m.magnification_U = 0x0a;
        m.magnification_L = 0xfe;
        m.totalCount = 0x00002710;  // 10000
        m.workingDistance = 0x012c; // 300
        m.patientNameOrder = 0x04;
        m.patientInfoFlag_0 = 0xa0;
        m.patientID = "AREA-ID-1";
        m.patientName_A = "Alpha^Beta";
        m.patientName_I = "";
        m.patientName_P = "Phon^Etic";
        m.patientSex = 'F';
        m.patientBirthDate = "19991231";
        m.patientAge_QR = "024";
        m.date_QR = "20240501";
        for (int i = 0; i < 9; ++i)
            m.patientInfoFlags[i] = quint8(0xb1 + i);
        m.operatorsNameOrder = 0x05;
        m.operatorInfoFlag_0 = 0xc0;
        m.operatorsID = "OPERATOR-20-CHARS-XY";
        m.operatorsName_A = "Op^A";
        m.operatorsName_I = "Op^I";
        m.operatorsName_P = "Op^P";
        m.operatorsGroup = 0x7e;
        for (int i = 0; i < 21; ++i)
            m.operatorInfoFlags[i] = quint8(0xd1 + i);
        return builder;
    }

    ExifOperator reader;
};

TEST_F(MakerNoteTest, FirstGenerationRecordHoldsEveryFieldInItsForm)
{
    const auto entity = reader.readImageFileExtended(distinctBuilder(3).bytes());
    ASSERT_TRUE(entity && entity->extendedMakerNoteEntity);
    const ExtendedMakerNoteEntity& r = *entity->extendedMakerNoteEntity;
    EXPECT_EQ(r.majorVersion, "3");
    EXPECT_EQ(r.minorVersion, "5");
    EXPECT_EQ(r.serial, "LM4A0001");
    EXPECT_EQ(r.selectedMag, "32");
    EXPECT_EQ(r.shootingMode, "33");
    EXPECT_EQ(r.flashMode, "34");
    EXPECT_EQ(r.brightness, "35");
    EXPECT_EQ(r.led, "36");
    EXPECT_EQ(r.ledLighting, "37");
    EXPECT_EQ(r.focusMode, "38");
    EXPECT_EQ(r.afSpot_X, "39");
    EXPECT_EQ(r.afSpot_Y, "3a");
    EXPECT_EQ(r.hue_AB, "3b");
    EXPECT_EQ(r.hue_MG, "3c");
    EXPECT_EQ(r.contrast, "3d");
    EXPECT_EQ(r.sharpness, "3e");
    EXPECT_EQ(r.dialFunction, "3f");
    EXPECT_EQ(r.autoCropping, "40");
    EXPECT_EQ(r.cameraPosition, "41");
    EXPECT_EQ(r.flipDirection, "42");
    EXPECT_EQ(r.drawingFlag, "43");
    EXPECT_EQ(r.magnification_U, "10");
    EXPECT_EQ(r.magnification_L, "254");
    EXPECT_EQ(r.patientNameOrder, "04");
    EXPECT_EQ(r.patientInfoFlag_0, "a0");
    EXPECT_EQ(r.patientID, "AREA-ID-1");
    EXPECT_EQ(r.patientName_A, "Alpha^Beta");
    EXPECT_EQ(r.patientName_I, "");
    EXPECT_EQ(r.patientName_P, "Phon^Etic");
    EXPECT_EQ(r.patientSex, "F");
    EXPECT_EQ(r.patientBirthDate, "19991231");
    EXPECT_EQ(r.patientAge_QR, "024");
    EXPECT_EQ(r.date_QR, "20240501");
    EXPECT_EQ(r.patientInfoFlag_1, "b1");
    EXPECT_EQ(r.patientInfoFlag_5, "b5");
    EXPECT_EQ(r.patientInfoFlag_9, "b9");
    EXPECT_EQ(r.operatorsNameOrder, "05");
    EXPECT_EQ(r.operatorInfoFlag_0, "c0");
    EXPECT_EQ(r.operatorsID, "OPERATOR-20-CHARS-XY");
    EXPECT_EQ(r.operatorsName_A, "Op^A");
    EXPECT_EQ(r.operatorsName_I, "Op^I");
    EXPECT_EQ(r.operatorsName_P, "Op^P");
    EXPECT_EQ(r.operatorsGroup, "7e");
    EXPECT_EQ(r.operatorInfoFlag_1, "d1");
    EXPECT_EQ(r.operatorInfoFlag_11, "db");
    EXPECT_EQ(r.operatorInfoFlag_21, "e5");
    // The record's own patient name is the dispatcher's to fill.
    EXPECT_FALSE(r.patientName);
    // Second-generation fields stay absent.
    for (const auto* field :
         {&r.customMode, &r.drawingFlag2, &r.totalCount, &r.workingDistance, &r.owner,
          &r.identifier, &r.timeZone, &r.summerTime, &r.patientExtraInfo, &r.operatorExtraInfo})
        EXPECT_FALSE(*field);
    // The flat record shares the camera-setting bytes.
    EXPECT_EQ(entity->shootingMode, "33");
    EXPECT_EQ(entity->additionalInformation, "42");
    EXPECT_EQ(entity->drawFlag, "43");
}

TEST_F(MakerNoteTest, SecondGenerationRecordAddsItsOwnFields)
{
    CameraPictureBuilder builder = distinctBuilder(4);
    builder.maker.blockPatientID = "BLOCK-ID";
    builder.maker.owner = "Owner";
    builder.maker.timeZone = "+100";
    builder.maker.summerTime = 0x0b;
    const auto entity = reader.readImageFileExtended2(builder.bytes());
    ASSERT_TRUE(entity && entity->extendedMakerNoteEntity);
    const ExtendedMakerNoteEntity& r = *entity->extendedMakerNoteEntity;
    EXPECT_EQ(r.majorVersion, "4");
    EXPECT_EQ(r.customMode, "31");
    EXPECT_EQ(r.selectedMag, "32");
    EXPECT_EQ(r.flipDirection, "42");
    EXPECT_EQ(r.drawingFlag, "43");
    EXPECT_EQ(r.drawingFlag2, "44");
    EXPECT_EQ(r.totalCount, "10000");
    EXPECT_EQ(r.workingDistance, "300");
    EXPECT_EQ(r.owner, "Owner");
    EXPECT_EQ(r.identifier, "A");
    EXPECT_EQ(r.timeZone, "+100");
    EXPECT_EQ(r.summerTime, "0b");
    EXPECT_EQ(r.operatorInfoFlag_21, "e5");
    // The second patient block decides the ID of both records.
    EXPECT_EQ(r.patientID, "BLOCK-ID");
    EXPECT_EQ(entity->patientID, "BLOCK-ID");
    EXPECT_EQ(r.patientExtraInfo, "");
    EXPECT_EQ(r.operatorExtraInfo, "");
}

TEST_F(MakerNoteTest, CountsAreLittleEndianDecimalsOverTheirFullRange)
{
    CameraPictureBuilder builder;
    builder.maker.totalCount = 0xffffffff;
    builder.maker.workingDistance = 0xffff;
    builder.maker.magnification_U = 0x00;
    auto record = reader.readImageFileExtended2(builder.bytes())->extendedMakerNoteEntity;
    EXPECT_EQ(record->totalCount, "4294967295");
    EXPECT_EQ(record->workingDistance, "65535");
    EXPECT_EQ(record->magnification_U, "0");
    // Bytes 162-165 = 10 27 00 00 and 166-167 = 2C 01.
    builder.maker.totalCount = 0;
    builder.maker.workingDistance = 0;
    builder.maker.plainPatches = {{162, QByteArray::fromHex("102700002c01")}};
    record = reader.readImageFileExtended2(builder.bytes())->extendedMakerNoteEntity;
    EXPECT_EQ(record->totalCount, "10000");
    EXPECT_EQ(record->workingDistance, "300");
}

TEST_F(MakerNoteTest, IdsFillTheirTwentyBytesOrStopAtTheFirstNul)
{
    CameraPictureBuilder builder;
    builder.version(3, 0);
    builder.maker.patientID = "ABCDEFGHIJ0123456789";
    builder.maker.blockPatientID = "1234567";
    auto entity = reader.readImageFileExtended(builder.bytes());
    EXPECT_EQ(entity->extendedMakerNoteEntity->patientID, "ABCDEFGHIJ0123456789");
    EXPECT_EQ(entity->patientID, "1234567");

    builder.version(4, 0);
    builder.maker.blockPatientID = "ABCDEFGHIJ0123456789";
    entity = reader.readImageFileExtended2(builder.bytes());
    EXPECT_EQ(entity->patientID, "ABCDEFGHIJ0123456789");
    EXPECT_EQ(entity->extendedMakerNoteEntity->patientID, "ABCDEFGHIJ0123456789");
}

TEST_F(MakerNoteTest, FirstGenerationDisplayNameIsTheFirstNonEmptyFormName)
{
    CameraPictureBuilder builder;
    builder.version(3, 0);
    builder.maker.blockPatientName = "Base Name";
    builder.maker.patientNameOrder = 0x03;
    builder.maker.patientName_I = "山田^太郎^様";
    builder.maker.patientName_P = "ヤマダ^タロウ^サマ";
    builder.maker.patientName_A = "Yamada^Taro^San";
    EXPECT_EQ(reader.readImageFileExtended(builder.bytes())->patientName, "太郎 山田 様");
    builder.maker.patientName_I = "";
    EXPECT_EQ(reader.readImageFileExtended(builder.bytes())->patientName, "タロウ ヤマダ サマ");
    builder.maker.patientName_P = "";
    EXPECT_EQ(reader.readImageFileExtended(builder.bytes())->patientName, "Taro Yamada San");
    builder.maker.patientName_A = "";
    EXPECT_EQ(reader.readImageFileExtended(builder.bytes())->patientName, "Base Name");
    // A name with too few components for its order gives the empty text.
    builder.maker.patientName_A = "Single";
    EXPECT_EQ(reader.readImageFileExtended(builder.bytes())->patientName, "");
    // A name that is not valid UTF-8 counts as empty.
    builder.maker.patientName_I = "\xe5\xb1";
    builder.maker.patientName_A = "Yamada^Taro";
    builder.maker.patientNameOrder = 0x05;
    const auto entity = reader.readImageFileExtended(builder.bytes());
    EXPECT_FALSE(entity->extendedMakerNoteEntity->patientName_I);
    EXPECT_EQ(entity->patientName, "Taro Yamada");
}

TEST_F(MakerNoteTest, SecondGenerationOrderFfShowsTheIdeographicNameAndEmptiesIt)
{
    CameraPictureBuilder builder;
    builder.maker.blockPatientName = "Block Name";
    builder.maker.patientNameOrder = 0xff;
    builder.maker.patientName_I = "山田^太郎";
    auto entity = reader.readImageFileExtended2(builder.bytes());
    EXPECT_EQ(entity->patientName, "山田^太郎");
    EXPECT_EQ(entity->extendedMakerNoteEntity->patientName_I, "");
    // Empty or not, the ideographic name replaces the base reader's.
    builder.maker.patientName_I = "";
    entity = reader.readImageFileExtended2(builder.bytes());
    EXPECT_EQ(entity->patientName, "");
    // Other orders follow the first-generation rule.
    builder.maker.patientNameOrder = 0x00;
    builder.maker.patientName_P = "";
    builder.maker.patientName_A = "A^B^C";
    entity = reader.readImageFileExtended2(builder.bytes());
    EXPECT_EQ(entity->patientName, "A C B");
    EXPECT_EQ(entity->extendedMakerNoteEntity->patientName_A, "A^B^C");
}

TEST_F(MakerNoteTest, ExtraInformationIsBase64OfTheAreaAndTwoZeroBytes)
{
    CameraPictureBuilder builder;
    builder.maker.patientExtraInfo = QByteArray(1, '\x01');
    builder.maker.operatorExtraInfo = QByteArray(256, 'x');
    const auto record = reader.readImageFileExtended2(builder.bytes())->extendedMakerNoteEntity;
    ASSERT_TRUE(record->patientExtraInfo && record->operatorExtraInfo);
    EXPECT_EQ(record->patientExtraInfo->size(), 344);
    EXPECT_TRUE(record->patientExtraInfo->startsWith("AQAA"));
    EXPECT_EQ(QByteArray::fromBase64(record->patientExtraInfo->toLatin1()),
              QByteArray(1, '\x01') + QByteArray(257, '\0'));
    EXPECT_EQ(QByteArray::fromBase64(record->operatorExtraInfo->toLatin1()),
              QByteArray(256, 'x') + QByteArray(2, '\0'));
}

TEST_F(MakerNoteTest, InvalidTextFieldsAreAbsentWhileTheirNeighboursAreRead)
{
    CameraPictureBuilder builder;
    builder.maker.operatorsName_A = "\xc0\xaf";      // overlong "/"
    builder.maker.patientBirthDate = "\xed\xa0\x80"; // a surrogate
    const auto record = reader.readImageFileExtended2(builder.bytes())->extendedMakerNoteEntity;
    EXPECT_FALSE(record->operatorsName_A);
    EXPECT_FALSE(record->patientBirthDate);
    EXPECT_EQ(record->operatorsID, "OP01");
    EXPECT_EQ(record->patientAge_QR, "44");
}

TEST_F(MakerNoteTest, ExtendedReadersFailWhereTheirBaseReaderFails)
{
    CameraPictureBuilder builder;
    const BuiltCameraPicture picture = builder.build();
    EXPECT_FALSE(
        reader.readImageFileExtended2(picture.bytes.left(picture.layout.makerNoteOffset + 3071)));
    EXPECT_FALSE(reader.readImageFileExtended(picture.bytes));
    builder.version(3, 0);
    const BuiltCameraPicture first = builder.build();
    EXPECT_FALSE(
        reader.readImageFileExtended(first.bytes.left(first.layout.makerNoteOffset + 2047)));
    EXPECT_TRUE(
        reader.readImageFileExtended(first.bytes.left(first.layout.makerNoteOffset + 2048)));
}
} // namespace

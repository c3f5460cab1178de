#include "camerapicturebuilder.h"
#include "metadata/exifoperator.h"
#include "metadatatestprinters.h"

#include <gtest/gtest.h>
#include <numeric>

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
        std::iota(m.patientInfoFlags.begin(), m.patientInfoFlags.end(), quint8(0xb1));
        m.operatorsNameOrder = 0x05;
        m.operatorInfoFlag_0 = 0xc0;
        m.operatorsID = "OPERATOR-20-CHARS-XY";
        m.operatorsName_A = "Op^A";
        m.operatorsName_I = "Op^I";
        m.operatorsName_P = "Op^P";
        m.operatorsGroup = 0x7e;
        std::iota(m.operatorInfoFlags.begin(), m.operatorInfoFlags.end(), quint8(0xd1));
        return builder;
    }

    ExifOperator reader;
};

TEST_F(MakerNoteTest, EachGenerationReadsEveryFieldOfItsRecordInItsForm)
{
    const auto first = reader.readImageFileExtended(distinctBuilder(3).bytes());
    ASSERT_TRUE(first && first->extendedMakerNoteEntity);
    // The record's own patient name is the dispatcher's to fill; second-generation
    // fields stay absent.
    const auto flags = [](const char* name, int count, int first) {
        std::string texts;
        for (int i = 1; i <= count; ++i)
            texts += " " + std::string(name) + std::to_string(i) + '=' +
                     QByteArray::number(first + i - 1, 16).toStdString();
        return texts;
    };
    EXPECT_EQ(textsOf(*first->extendedMakerNoteEntity, ExtendedMakerNoteEntity::fields()),
              "majorVersion=3 minorVersion=5 serial=LM4A0001 selectedMag=32 shootingMode=33 "
              "flashMode=34 brightness=35 led=36 ledLighting=37 focusMode=38 afSpot_X=39 "
              "afSpot_Y=3a hue_AB=3b hue_MG=3c contrast=3d sharpness=3e dialFunction=3f "
              "autoCropping=40 cameraPosition=41 flipDirection=42 drawingFlag=43 "
              "magnification_U=10 magnification_L=254 patientNameOrder=04 patientInfoFlag_0=a0 "
              "patientID=AREA-ID-1 patientName_A=Alpha^Beta patientName_I= "
              "patientName_P=Phon^Etic patientSex=F patientBirthDate=19991231 patientAge_QR=024 "
              "date_QR=20240501" +
                  flags("patientInfoFlag_", 9, 0xb1) +
                  " operatorsNameOrder=05 operatorInfoFlag_0=c0 operatorsID=OPERATOR-20-CHARS-XY "
                  "operatorsName_A=Op^A operatorsName_I=Op^I operatorsName_P=Op^P "
                  "operatorsGroup=7e" +
                  flags("operatorInfoFlag_", 21, 0xd1));
    // The flat record shares the camera-setting bytes.
    EXPECT_EQ(std::tie(first->shootingMode, first->additionalInformation, first->drawFlag),
              std::make_tuple("33", "42", "43"));

    CameraPictureBuilder builder = distinctBuilder(4);
    builder.maker.blockPatientID = "BLOCK-ID";
    builder.maker.owner = "Owner";
    builder.maker.timeZone = "+100";
    builder.maker.summerTime = 0x0b;
    const auto second = reader.readImageFileExtended2(builder.bytes());
    ASSERT_TRUE(second && second->extendedMakerNoteEntity);
    // The same bytes read the same, the second generation's own fields are added, and
    // the second patient block decides the ID of both records.
    ExtendedMakerNoteEntity expected = *first->extendedMakerNoteEntity;
    expected.majorVersion = "4";
    expected.owner = "Owner";
    expected.identifier = "A";
    expected.timeZone = "+100";
    expected.summerTime = "0b";
    expected.customMode = "31";
    expected.drawingFlag2 = "44";
    expected.totalCount = "10000";
    expected.workingDistance = "300";
    expected.patientID = "BLOCK-ID";
    expected.patientExtraInfo = expected.operatorExtraInfo = "";
    const auto& fields = ExtendedMakerNoteEntity::fields();
    EXPECT_EQ(textsOf(*second->extendedMakerNoteEntity, fields), textsOf(expected, fields));
    EXPECT_EQ(second->patientID, "BLOCK-ID");
}

TEST_F(MakerNoteTest, CountsAreLittleEndianDecimalsExtraInformationIsBase64AndInvalidTextsAreAbsent)
{
    CameraPictureBuilder builder;
    builder.maker.totalCount = 0xffffffff;
    builder.maker.workingDistance = 0xffff;
    builder.maker.magnification_U = 0x00;
    auto record = reader.readImageFileExtended2(builder.bytes())->extendedMakerNoteEntity;
    EXPECT_EQ(std::tie(record->totalCount, record->workingDistance, record->magnification_U),
              std::make_tuple("4294967295", "65535", "0"));
    // Bytes 162-165 = 10 27 00 00 and 166-167 = 2C 01.
    builder.maker.totalCount = 0;
    builder.maker.workingDistance = 0;
    builder.maker.plainPatches = {{162, QByteArray::fromHex("102700002c01")}};
    record = reader.readImageFileExtended2(builder.bytes())->extendedMakerNoteEntity;
    EXPECT_EQ(std::tie(record->totalCount, record->workingDistance),
              std::make_tuple("10000", "300"));

    builder = CameraPictureBuilder();
    builder.maker.patientExtraInfo = QByteArray(1, '\x01');
    builder.maker.operatorExtraInfo = QByteArray(256, 'x');
    builder.maker.operatorsName_A = "\xc0\xaf";      // overlong "/"
    builder.maker.patientBirthDate = "\xed\xa0\x80"; // a surrogate
    record = reader.readImageFileExtended2(builder.bytes())->extendedMakerNoteEntity;
    const auto base64 = [](const QByteArray& bytes) {
        return QString::fromLatin1(bytes.toBase64());
    };
    EXPECT_EQ(record->patientExtraInfo, base64(QByteArray(1, '\x01') + QByteArray(257, '\0')));
    EXPECT_EQ(record->operatorExtraInfo, base64(QByteArray(256, 'x') + QByteArray(2, '\0')));
    EXPECT_FALSE(record->operatorsName_A || record->patientBirthDate);
    EXPECT_EQ(std::tie(record->operatorsID, record->patientAge_QR), std::make_tuple("OP01", "44"));
}

TEST_F(MakerNoteTest, IdsFillTheirTwentyBytesOrStopAtTheFirstNul)
{
    CameraPictureBuilder builder;
    builder.version(3, 0);
    builder.maker.patientID = "ABCDEFGHIJ0123456789";
    builder.maker.blockPatientID = "1234567";
    auto entity = reader.readImageFileExtended(builder.bytes());
    EXPECT_EQ(std::tie(entity->extendedMakerNoteEntity->patientID, entity->patientID),
              std::make_tuple("ABCDEFGHIJ0123456789", "1234567"));

    builder.version(4, 0);
    builder.maker.blockPatientID = "ABCDEFGHIJ0123456789";
    entity = reader.readImageFileExtended2(builder.bytes());
    EXPECT_EQ(std::tie(entity->extendedMakerNoteEntity->patientID, entity->patientID),
              std::make_tuple("ABCDEFGHIJ0123456789", "ABCDEFGHIJ0123456789"));
}

TEST_F(MakerNoteTest, TheDisplayNameIsTheFirstNonEmptyFormNameInItsOrder)
{
    // Order 03 gives "B A C", 05 "B A", 00 "A C B"; too few components give the empty
    // text, a name that is not UTF-8 counts as empty, and with no name at all the
    // patient block's stands. In the second generation order ff shows the ideographic
    // name as it stands, empty or not, and empties it.
    const struct
    {
        int major;
        quint8 order;
        QByteArray ideographic, phonetic, alphabetic;
        const char* displayName;
        std::optional<QString> recordIdeographic;
    } cases[] = {
        {3, 0x03, "山田^太郎^様", "ヤマダ^タロウ^サマ", "Yamada^Taro^San", "太郎 山田 様",
         "山田^太郎^様"},
        {3, 0x03, "", "ヤマダ^タロウ^サマ", "Yamada^Taro^San", "タロウ ヤマダ サマ", ""},
        {3, 0x03, "", "", "Yamada^Taro^San", "Taro Yamada San", ""},
        {3, 0x03, "", "", "", "Base Name", ""},
        {3, 0x03, "", "", "Single", "", ""},
        {3, 0x05, "\xe5\xb1", "", "Yamada^Taro", "Taro Yamada", std::nullopt},
        {4, 0xff, "山田^太郎", "", "", "山田^太郎", ""},
        {4, 0xff, "", "", "A^B^C", "", ""},
        {4, 0x00, "", "", "A^B^C", "A C B", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        CameraPictureBuilder builder;
        builder.version(c.major, 0);
        builder.maker.blockPatientName = "Base Name";
        builder.maker.patientNameOrder = c.order;
        builder.maker.patientName_I = c.ideographic;
        builder.maker.patientName_P = c.phonetic;
        builder.maker.patientName_A = c.alphabetic;
        const QByteArray bytes = builder.bytes();
        const auto entity = c.major >= 4 ? reader.readImageFileExtended2(bytes)
                                         : reader.readImageFileExtended(bytes);
        ASSERT_TRUE(entity && entity->extendedMakerNoteEntity);
        EXPECT_EQ(entity->patientName, c.displayName);
        EXPECT_EQ(entity->extendedMakerNoteEntity->patientName_I, c.recordIdeographic);
    }
}
} // namespace

#include "camerapicturebuilder.h"
#include "metadata/bytetext.h"
#include "metadata/exifoperator.h"
#include "metadata/fbencryptoraes.h"
#include "metadatatestprinters.h"

#include <gtest/gtest.h>

namespace {
const QByteArray key = "LM4A000124050110";

class DecryptionFormsTest : public testing::Test
{
protected:
    // Encrypted buffer of 64 bytes: "ABC" + NULs, 20 letters, 0x7f 0x80 0x00 ..., zeros.
    QByteArray plain = QByteArray("ABC") + QByteArray(13, '\0') + "ABCDEFGHIJKLMNOPQRST" +
                       QByteArray(12, '\0') + QByteArray::fromHex("7f8000") + QByteArray(13, '\0');
    QByteArray buffer = QByteArray(32, 'p') + CameraPictureBuilder::encrypt(plain, key);
    ExifOperator exifOperator;
};

TEST_F(DecryptionFormsTest, RawByteCharacterAndSubRangeFormsAndTheTerminatorTest)
{
    QByteArray output = "untouched";
    for (const auto& [offset, length] :
         {std::pair{32, 15}, {32, 17}, {32, -16}, {48, 64}, {-16, 16}, {0x7ffffff0, 16}})
        EXPECT_FALSE(exifOperator.getDecryptBlockData(buffer, offset, length, key, &output))
            << offset << " " << length;
    EXPECT_EQ(output, "untouched");
    EXPECT_EQ(exifOperator.getDecryptBlockData(buffer, 32, 64, key, &output), plain);
    EXPECT_EQ(output, plain);
    EXPECT_EQ(exifOperator.getDecryptBlockData(buffer, 48, 16, key), plain.mid(16, 16));

    const QByteArray padded = CameraPictureBuilder::encrypt(plain, "LM4A" + QByteArray(12, '\0'));
    EXPECT_EQ(FBEncryptorAES::decryptData(padded, "LM4A"), plain);
    EXPECT_EQ(FBEncryptorAES::decryptData(CameraPictureBuilder::encrypt(plain, key), key + "extra"),
              plain);
    EXPECT_EQ(FBEncryptorAES::decryptData(QByteArray(), key), QByteArray());

    EXPECT_EQ(exifOperator.getDecryptData(buffer, 32, 64, key, 0), "41");
    EXPECT_EQ(exifOperator.getDecryptData(buffer, 32, 64, key, 48), "7f");
    EXPECT_EQ(exifOperator.getDecryptData(buffer, 32, 64, key, 50), "00");
    EXPECT_FALSE(exifOperator.getDecryptData(buffer, 32, 64, key, 64));
    EXPECT_FALSE(exifOperator.getDecryptData(buffer, 32, 64, key, -1));
    EXPECT_EQ(exifOperator.getDecryptDataString(buffer, 32, 64, key, 2), "C");
    EXPECT_EQ(exifOperator.getDecryptDataString(buffer, 32, 64, key, 49), QString(QChar(0x80)));
    EXPECT_EQ(exifOperator.getDecryptDataString(buffer, 32, 64, key, 50), "");
    EXPECT_EQ(exifOperator.getDecryptData(buffer, 32, 64, key, 0, 16), "ABC");
    EXPECT_EQ(exifOperator.getDecryptData(buffer, 32, 64, key, 16, 20), "ABCDEFGHIJKLMNOPQRST");
    // 0x80 is no UTF-8.
    EXPECT_FALSE(exifOperator.getDecryptData(buffer, 32, 64, key, 48, 4));
    EXPECT_FALSE(exifOperator.getDecryptData(buffer, 32, 64, key, 60, 8));
    EXPECT_EQ(exifOperator.getDecryptData(buffer, 32, 64, key, 64, 0), "");
    EXPECT_TRUE(exifOperator.checkOnlyTerminator(QByteArray()));
    EXPECT_TRUE(exifOperator.checkOnlyTerminator(QByteArray(258, '\0')));
    EXPECT_FALSE(exifOperator.checkOnlyTerminator(QByteArray(257, '\0') + '\x01'));
}

TEST(PatientNameTest, EveryOrderJoinsTheComponentsItNamesAndNeedsThemAll)
{
    const ExifOperator op;
    const char* const cases[][3] = {{"A^B^C", "00", "A C B"},   {"A^B^C", "01", "B C A"},
                                    {"A^B^C", "02", "A B C"},   {"A^B^C", "03", "B A C"},
                                    {"A^B^C", "04", "A B"},     {"A^B^C", "05", "B A"},
                                    {"A^B^C", "ff", "A^B^C"},   {"A^B^C", "FF", "A^B^C"},
                                    {"A^B^C", "06", ""},        {"A^B^C", "Ff", ""},
                                    {"A^B^C", "", ""},          {"A^B", "00", ""},
                                    {"A^B", "04", "A B"},       {"A", "05", ""},
                                    {"A^^C", "02", "A  C"},     {"^^", "02", "  "},
                                    {"A^B^C^D", "03", "B A C"}, {"", "ff", ""}};
    for (const auto& [name, order, expected] : cases)
        EXPECT_EQ(op.formattingPatientName(name, order), expected) << name << " " << order;
    EXPECT_EQ(op.formattingPatientName("山田^太郎^ヤマダ", "01"), "太郎 ヤマダ 山田");
}

TEST(ByteTextTest, Utf8IsDecodedStrictlyAndWhole)
{
    EXPECT_EQ(ByteText::utf8(QByteArray("a\0b", 3)), QString::fromLatin1("a\0b", 3));
    EXPECT_EQ(ByteText::utf8("山田"), QStringLiteral("山田"));
    EXPECT_EQ(ByteText::utf8("\xf0\x9f\x98\x80"), QString::fromUtf8("\xf0\x9f\x98\x80"));
    // Lone continuation bytes, overlong forms, surrogates, beyond U+10FFFF, cut sequences.
    for (const QByteArray& bad :
         {QByteArray("\x80"), QByteArray("\xc0\x80"), QByteArray("\xc1\xbf"),
          QByteArray("\xe0\x80\xaf"), QByteArray("\xed\xa0\x80"), QByteArray("\xf4\x90\x80\x80"),
          QByteArray("\xf5\x80\x80\x80"), QByteArray("\xe5\xb1"), QByteArray("\xff"),
          QByteArray("ab\xfe")})
        EXPECT_FALSE(ByteText::utf8(bad)) << bad.toHex().toStdString();
    // A byte-order mark is a character like any other.
    EXPECT_EQ(ByteText::utf8("\xef\xbb\xbfX")->size(), 2);
    EXPECT_EQ(ByteText::utf8CutAtNul(QByteArray("ab\0cd", 5)), "ab");
    EXPECT_FALSE(ByteText::utf8CutAtNul(QByteArray("ab\0\xff", 4)));
    EXPECT_EQ(ByteText::utf8WithoutNul(QByteArray("\0a\0b\0", 5)), "ab");
}

} // namespace

#include "common/talvorencommon.h"

#include "camerapicturebuilder.h"
#include "temphome.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TalvorenCommon, DigitsTimestampNamesHexAndDatabaseDatesAcceptOnlyTheExactForm)
{
    // Digits: ASCII only. Timestamps: exactly one underscore, then seventeen digits.
    const std::pair<const char*, bool> digits[] = {{"0123", true}, {"12a", false}, {" 12", false},
                                                   {"-1", false},  {"", false},    {"１２", false}};
    for (const auto& [text, isDigit] : digits)
        EXPECT_EQ(TalvorenCommon::isDigit(QString::fromUtf8(text)), isDigit) << text;
    EXPECT_FALSE(TalvorenCommon::isDigit(QString()));
    const std::pair<const char*, bool> names[] = {{"IMG_20240105093000123.JPG", true},
                                                  {"IMG_2024.JPG", false},
                                                  {"A_B_20240105093000123.JPG", false},
                                                  {"IMG_2024010509300012x.JPG", false},
                                                  {"IMG20240105093000123.JPG", false}};
    for (const auto& [name, stamped] : names)
        EXPECT_EQ(TalvorenCommon::hasTimestamp(QString::fromLatin1(name)), stamped) << name;

    EXPECT_EQ(TalvorenCommon::toHexString(QByteArray("\x0a\xff", 2)), u"0AFF"_s);
    EXPECT_EQ(TalvorenCommon::toHexString(QByteArray()), QString());
    EXPECT_EQ(TalvorenCommon::toHexString(QByteArray(1, '\0')), u"00"_s);

    const auto date = TalvorenCommon::stringToDate(u"19700101090000"_s);
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(TalvorenCommon::dateToString(*date), u"19700101090000"_s);

    for (const char* malformed : {"2024010509300", "20241305093000", "2024-01-05 093"})
        EXPECT_FALSE(TalvorenCommon::stringToDate(QString::fromLatin1(malformed))) << malformed;
    EXPECT_EQ(TalvorenCommon::getNowDatabaseDatetime().size(), 14);
}

TEST(TalvorenCommonFiles, Sha1IsThePublishedDigestOfWholeFilesAndFoldersLiveInTheUsersHome)
{
    TempHome home;
    // Empty, and 3 MiB + 1 byte of "a", which crosses the read-chunk boundary.
    const QString empty = home.filePath(u"empty"_s);
    const QString big = home.filePath(u"big"_s);
    ASSERT_TRUE(CameraPictureBuilder::writeFile(empty, QByteArray()));
    ASSERT_TRUE(CameraPictureBuilder::writeFile(big, QByteArray(3 * 1024 * 1024 + 1, 'a')));
    EXPECT_EQ(TalvorenCommon::sha1Hash(empty), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(TalvorenCommon::sha1Hash(big), "b50a3128de1196b1382946d9a62cdff54a559632");
    EXPECT_FALSE(TalvorenCommon::sha1Hash(home.path()).has_value());
    EXPECT_FALSE(TalvorenCommon::sha1Hash(home.filePath(u"missing"_s)).has_value());
    const QString data = home.filePath(u".local/share/Talvoren"_s);
    EXPECT_EQ(TalvorenCommon::getApplicationDataDirectory(), data);
    EXPECT_TRUE(QFileInfo(data).isDir());
    EXPECT_EQ(TalvorenCommon::getApplicationDataDirectory(), data);
    EXPECT_EQ(TalvorenCommon::getUserSettingPlistFilePath(), data + u"/Talvoren-setting.plist"_s);
    EXPECT_EQ(TalvorenCommon::getDBFilePath(), data + u"/Talvoren.db"_s);
    EXPECT_EQ(TalvorenCommon::getOldUserSettingPlistFilePath(),
              home.filePath(u".Talvoren/Talvoren-setting.plist"_s));
    EXPECT_FALSE(QFileInfo::exists(TalvorenCommon::getApplicationWorkDirectory()));
    EXPECT_EQ(TalvorenCommon::getPicturesDirectory(), home.filePath(u"Pictures"_s));
    EXPECT_EQ(TalvorenCommon::getMoviesDirectory(), home.filePath(u"Videos"_s));
    EXPECT_EQ(TalvorenCommon::getDocumentDirectory(), home.filePath(u"Documents"_s));
    EXPECT_GE(TalvorenCommon::buildNumber(), 12);
    EXPECT_FALSE(TalvorenCommon::getVersionNubmer().isEmpty());
}

#include "settings/settingsdictionary.h"

#include "settingstestfiles.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <limits>

using namespace SettingsTestFiles;
using namespace Qt::StringLiterals;

class SettingsDictionaryFile : public testing::Test
{
protected:
    TempHome home;
    const QString path = home.filePath(QStringLiteral("settings.plist"));
};

TEST_F(SettingsDictionaryFile,
       ReadsAnAppleStyleFileRewritesItKeepingForeignTypesAndGivesMissingKeysTheFallback)
{
    ASSERT_TRUE(writeBytes(path, appleStyleSettings()));
    auto dictionary = SettingsDictionary::read(path);
    ASSERT_TRUE(dictionary);
    const Entries plain = {{"auto start up", true},
                           {"chop count", false},
                           {"confirm before sending", 1001},
                           {"checked information id", -3},
                           {"file detection wait time", 15000.5},
                           {"watch folder path", "/Users/歯科 & 矯正/<写真>"},
                           {"display desktop notice", "1"},
                           {"last build number", "9"}};
    for (const auto& [key, value] : plain)
        EXPECT_EQ(dictionary->value(key), value) << key.toStdString();
    EXPECT_EQ(dictionary->value(u"saved at"_s)->typeName(), u"date"_s);
    EXPECT_EQ(dictionary->value(u"recent folders"_s)->typeName(), u"array"_s);
    EXPECT_EQ(dictionary->size(), 10);

    dictionary->setValue(u"tiny"_s, 0.1);
    dictionary->setValue(u"most negative"_s, std::numeric_limits<qint64>::min());
    dictionary->setValue(u"empty"_s, QString());
    ASSERT_TRUE(dictionary->write(path));
    // libplist prints reals with 17 digits: the values must match, not the bytes.
    EXPECT_EQ(SettingsDictionary::read(path), dictionary);
    EXPECT_TRUE(readBytes(path).contains("<date>2024-01-05T09:30:00Z</date>"));

    // Missing keys give the fallback; a present key never does, even when empty.
    EXPECT_FALSE(dictionary->boolValue("absent"));
    EXPECT_TRUE(dictionary->boolValue("absent", true));
    EXPECT_EQ(dictionary->integerValue("absent"), 0);
    EXPECT_DOUBLE_EQ(dictionary->doubleValue("absent", 15000.0), 15000.0);
    EXPECT_EQ(dictionary->stringValue("absent"), QString());
    EXPECT_EQ(dictionary->integerValue("empty", 7), 0);
    EXPECT_FALSE(dictionary->setValueIfMissing("empty", 1));
    EXPECT_TRUE(dictionary->setValueIfMissing("absent", 1));
    EXPECT_EQ(dictionary->value("absent"), SettingValue(1));
}

TEST_F(SettingsDictionaryFile, AnythingButAPropertyListDictionaryReadsAsNoDictionaryWithTheReason)
{
    // A byte order mark and an empty dictionary are fine.
    EXPECT_TRUE(SettingsDictionary::fromXml("\xEF\xBB\xBF" + appleStyleSettings()));
    EXPECT_EQ(SettingsDictionary::fromXml("<plist version=\"1.0\"><dict/></plist>"),
              SettingsDictionary());
    const QList<std::pair<QByteArray, QString>> hostile = {
        {QByteArray(), "the file is empty"},
        {QByteArray("garbage"), "XML error at line 1, column 1"},
        {QByteArray("\x00\x01\x02\xff\xfe<plist>\x00", 13), "XML error at line 1"},
        {QByteArray("bplist00") + QByteArray(40, '\x01'), "XML error at line 1"},
        {QByteArray("<plist version=\"1.0\"><array><string>x</string></array></plist>"),
         "its root holds an array, not a dictionary"},
        {QByteArray("<plist version=\"1.0\"><string>x</string></plist>"),
         "its root holds a string"},
        {QByteArray("<plist version=\"1.0\"><integer>5</integer></plist>"),
         "its root holds an integer"},
        {QByteArray("<plist version=\"1.0\"><dict><key>a</key><string>x</string>"),
         "XML error at line 1"},
        {QByteArray("<plist version=\"1.0\"><dict><key>a</key><integer>1</dict></plist>"),
         "XML error at line 1"},
    };
    for (const auto& [bytes, reason] : hostile) {
        ASSERT_TRUE(writeBytes(path, bytes));
        QString whyNot;
        EXPECT_FALSE(SettingsDictionary::read(path, &whyNot)) << bytes.toHex().constData();
        EXPECT_TRUE(whyNot.startsWith(reason)) << whyNot.toStdString();
    }

    // A folder or a missing file is no dictionary, and a folder cannot be written.
    const QString folder = home.filePath(u"folder"_s);
    EXPECT_FALSE(SettingsDictionary::read(folder));
    ASSERT_TRUE(QDir().mkpath(folder + u"/inside"_s));
    EXPECT_FALSE(SettingsDictionary::read(folder));
    EXPECT_FALSE(dictionaryOf({{"a", 1}}).write(folder));
    EXPECT_TRUE(QFileInfo(folder + u"/inside"_s).isDir());
}

TEST_F(SettingsDictionaryFile, EveryTruncationOfAFileIsReadSafely)
{
    const QByteArray whole = appleStyleSettings();
    const qsizetype dictionaryEnd = whole.lastIndexOf("</dict>");
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const auto dictionary = SettingsDictionary::fromXml(whole.left(length));
        // Cut before the dictionary closes, the file is no dictionary at all.
        if (length < dictionaryEnd) {
            EXPECT_FALSE(dictionary) << "length " << length;
        } else if (dictionary) {
            EXPECT_EQ(dictionary->size(), 10) << "length " << length;
        }
    }
}

TEST_F(SettingsDictionaryFile, RefusesOversizedAndDeeplyNestedFiles)
{
    const auto withValue = [](const QByteArray& value) {
        return "<plist version=\"1.0\"><dict><key>a</key>" + value + "</dict></plist>";
    };
    const QByteArray oversized(SettingsDictionary::maximumFileSize, 'x');
    ASSERT_TRUE(writeBytes(path, withValue("<string>" + oversized + "</string>")));
    EXPECT_FALSE(SettingsDictionary::read(path));

    // libplist recurses over nesting; a hostile file must not reach it.
    EXPECT_FALSE(SettingsDictionary::fromXml(withValue(QByteArray("<array>").repeated(200000) +
                                                       QByteArray("</array>").repeated(200000))));

    // Just below the size limit, a file of nothing but tags is refused or read
    // in one pass over it.
    EXPECT_FALSE(SettingsDictionary::fromXml(
        "<plist version=\"1.0\"><dict>" +
        QByteArray("<a>").repeated(SettingsDictionary::maximumFileSize / 4)));

    const auto acceptable = SettingsDictionary::fromXml(
        withValue(QByteArray("<array><dict/>").repeated(20) + QByteArray("</array>").repeated(20)));
    ASSERT_TRUE(acceptable);
    EXPECT_EQ(acceptable->value(u"a"_s)->typeName(), u"array"_s);
}

TEST_F(SettingsDictionaryFile, AFailedWriteLeavesTheOldFileWhole)
{
    ASSERT_TRUE(writeBytes(path, appleStyleSettings()));
    SettingsDictionary bigger = *SettingsDictionary::read(path);
    bigger.setValue(QStringLiteral("padding"), QString(4096, u'x'));
    {
        const FileSizeLimit diskFull(1024);
        EXPECT_FALSE(bigger.write(path));
    }
    EXPECT_EQ(readBytes(path), appleStyleSettings());
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("settings.plist")});
}

#include "settings/settingsdictionary.h"

#include "settingstestfiles.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

using namespace SettingsTestFiles;

class SettingsDictionaryFile : public testing::Test
{
protected:
    TempHome home;
    const QString path = home.filePath(QStringLiteral("settings.plist"));
};

TEST_F(SettingsDictionaryFile, ReadsAnAppleStyleFileWrittenByAnotherProgram)
{
    ASSERT_TRUE(writeBytes(path, appleStyleSettings()));
    const auto dictionary = SettingsDictionary::read(path);
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->size(), 10);

    EXPECT_EQ(dictionary->value(QStringLiteral("auto start up")), SettingValue(true));
    EXPECT_EQ(dictionary->value(QStringLiteral("chop count")), SettingValue(false));
    EXPECT_EQ(dictionary->value(QStringLiteral("confirm before sending")), SettingValue(1001));
    EXPECT_EQ(dictionary->integerValue(QStringLiteral("checked information id")), -3);
    EXPECT_EQ(dictionary->value(QStringLiteral("file detection wait time")), SettingValue(15000.5));
    EXPECT_EQ(dictionary->stringValue(QStringLiteral("watch folder path")),
              QStringLiteral("/Users/歯科 & 矯正/<写真>"));
    EXPECT_TRUE(dictionary->boolValue(QStringLiteral("display desktop notice")));
    EXPECT_EQ(dictionary->integerValue(QStringLiteral("last build number")), 9);
    EXPECT_EQ(dictionary->value(QStringLiteral("saved at"))->typeName(), QStringLiteral("date"));
    EXPECT_EQ(dictionary->value(QStringLiteral("recent folders"))->typeName(),
              QStringLiteral("array"));
}

TEST_F(SettingsDictionaryFile, RewritingKeepsEveryValueIncludingForeignTypes)
{
    ASSERT_TRUE(writeBytes(path, appleStyleSettings()));
    auto dictionary = SettingsDictionary::read(path);
    ASSERT_TRUE(dictionary);
    dictionary->setValue(QStringLiteral("zero padding length string"), QStringLiteral("10"));
    dictionary->setValue(QStringLiteral("tiny"), 0.1);
    dictionary->setValue(QStringLiteral("most negative"), std::numeric_limits<qint64>::min());
    dictionary->setValue(QStringLiteral("empty"), QString());
    ASSERT_TRUE(dictionary->write(path));

    // libplist prints reals with 17 digits: the values must match, not the bytes.
    const auto reread = SettingsDictionary::read(path);
    ASSERT_TRUE(reread);
    EXPECT_EQ(*reread, *dictionary);
    EXPECT_EQ(reread->value(QStringLiteral("tiny")), SettingValue(0.1));
    EXPECT_EQ(reread->integerValue(QStringLiteral("most negative")),
              std::numeric_limits<qint64>::min());
    EXPECT_TRUE(reread->contains(QStringLiteral("empty")));
    EXPECT_TRUE(readBytes(path).contains("<date>2024-01-05T09:30:00Z</date>"));
}

TEST_F(SettingsDictionaryFile, MissingKeysGiveTheFallback)
{
    SettingsDictionary dictionary;
    dictionary.setValue(QStringLiteral("present"), QString());
    EXPECT_FALSE(dictionary.boolValue(QStringLiteral("absent")));
    EXPECT_TRUE(dictionary.boolValue(QStringLiteral("absent"), true));
    EXPECT_EQ(dictionary.integerValue(QStringLiteral("absent")), 0);
    EXPECT_DOUBLE_EQ(dictionary.doubleValue(QStringLiteral("absent"), 15000.0), 15000.0);
    EXPECT_EQ(dictionary.stringValue(QStringLiteral("absent")), QString());
    // A key that is present never takes the fallback, even when empty.
    EXPECT_EQ(dictionary.integerValue(QStringLiteral("present"), 7), 0);
    EXPECT_FALSE(dictionary.setValueIfMissing(QStringLiteral("present"), 1));
    EXPECT_TRUE(dictionary.setValueIfMissing(QStringLiteral("absent"), 1));
    EXPECT_EQ(dictionary.value(QStringLiteral("absent")), SettingValue(1));
}

TEST_F(SettingsDictionaryFile, AcceptsAByteOrderMarkAndAnEmptyDictionary)
{
    QByteArray withMark("\xEF\xBB\xBF");
    withMark += appleStyleSettings();
    EXPECT_TRUE(SettingsDictionary::fromXml(withMark));
    const auto empty = SettingsDictionary::fromXml("<plist version=\"1.0\"><dict/></plist>");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
}

TEST_F(SettingsDictionaryFile, AnythingButAPropertyListDictionaryReadsAsNoDictionaryWithTheReason)
{
    const QList<std::pair<QByteArray, QString>> hostile = {
        {QByteArray(), "the file is empty"},
        {QByteArray("garbage"), "XML error at line 1, column 1"},
        {QByteArray("\x00\x01\x02\xff\xfe<plist>\x00", 13), "XML error at line 1"},
        {QByteArray("bplist00") + QByteArray(40, '\x01'), "XML error at line 1"},
        {QByteArray("<plist version=\"1.0\"><array><string>x</string></array></plist>"),
         "its root holds an array, not a dictionary"},
        {QByteArray("<plist version=\"1.0\"><string>x</string></plist>"),
         "its root holds a string"},
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
    QByteArray huge = "<plist version=\"1.0\"><dict><key>a</key><string>";
    huge += QByteArray(SettingsDictionary::maximumFileSize, 'x');
    huge += "</string></dict></plist>";
    ASSERT_TRUE(writeBytes(path, huge));
    EXPECT_FALSE(SettingsDictionary::read(path));

    // libplist recurses over nesting; a hostile file must not reach it.
    QByteArray deep = "<plist version=\"1.0\"><dict><key>a</key>";
    deep += QByteArray("<array>").repeated(200000) + QByteArray("</array>").repeated(200000);
    deep += "</dict></plist>";
    EXPECT_FALSE(SettingsDictionary::fromXml(deep));

    // Just below the size limit, a file of nothing but tags is refused or read
    // in one pass over it.
    QByteArray manyTags = "<plist version=\"1.0\"><dict>";
    manyTags += QByteArray("<a>").repeated(SettingsDictionary::maximumFileSize / 4);
    EXPECT_FALSE(SettingsDictionary::fromXml(manyTags));

    QByteArray nested = "<plist version=\"1.0\"><dict><key>a</key>";
    nested += QByteArray("<array><dict/>").repeated(20) + QByteArray("</array>").repeated(20);
    nested += "</dict></plist>";
    const auto acceptable = SettingsDictionary::fromXml(nested);
    ASSERT_TRUE(acceptable);
    EXPECT_EQ(acceptable->value(QStringLiteral("a"))->typeName(), QStringLiteral("array"));
}

TEST_F(SettingsDictionaryFile, AFolderOrMissingFileIsNoDictionaryAndCannotBeWritten)
{
    EXPECT_FALSE(SettingsDictionary::read(path));
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/inside")));
    EXPECT_FALSE(SettingsDictionary::read(path));

    SettingsDictionary dictionary;
    dictionary.setValue(QStringLiteral("a"), 1);
    EXPECT_FALSE(dictionary.write(path));
    EXPECT_TRUE(QFileInfo(path + QStringLiteral("/inside")).isDir());
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

#include "settings/exportsettingfileoperator.h"
#include "settings/importsettingfileoperator.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "settingstestfiles.h"
#include "temphome.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace SettingsTestFiles;

const QString importFailedLine = QStringLiteral("[error]: Exception is occured import xml data.");

class SettingsExchange : public testing::Test
{
protected:
    SettingsExchange()
    {
        EXPECT_TRUE(UserSettings::write(dictionaryOf({{SettingKeys::lastBuildNumber, "12"},
                                                      {SettingKeys::watchFolderPath, "/srv/歯科"},
                                                      {SettingKeys::confirmBeforeSending, 1001}})));
        settingsBytes = readBytes(UserSettings::path());
    }

    void expectBothFilesUnchanged(const QByteArray& exchangeBytes) const
    {
        EXPECT_EQ(readBytes(UserSettings::path()), settingsBytes);
        EXPECT_EQ(readBytes(ImportSettingFileOperator::exchangeFilePath()), exchangeBytes);
    }

    TempHome home;
    QByteArray settingsBytes;
    const ImportSettingFileOperator importer{12};
};

TEST_F(SettingsExchange, ExportThenImportGivesTheSameSettingsStampedWithThisBuild)
{
    const QString proposed = ExportSettingFileOperator::prepareProposedFilePath();
    EXPECT_EQ(proposed, home.filePath(QStringLiteral("Documents/Talvoren/TalvorenSetting.xml")));
    EXPECT_FALSE(ImportSettingFileOperator::exchangeFileExists());
    EXPECT_FALSE(importer.importSettingFile()); // nothing to import yet
    ASSERT_TRUE(ExportSettingFileOperator::exportSettingFile(proposed));
    EXPECT_EQ(readBytes(proposed), settingsBytes);
    EXPECT_TRUE(ImportSettingFileOperator::exchangeFileExists());

    // Another installation of an older build exported these.
    SettingsDictionary exported = *SettingsDictionary::read(proposed);
    exported.setValue(SettingKeys::lastBuildNumber, QStringLiteral("3"));
    exported.setValue(SettingKeys::watchFolder, true);
    ASSERT_TRUE(exported.write(proposed));

    StderrCapture log;
    ASSERT_TRUE(importer.importSettingFile());
    EXPECT_EQ(log.lines(),
              QStringList{QStringLiteral("[info]: 設定ファイルをインポートしました。")});
    EXPECT_FALSE(QFile::exists(proposed));
    // Stamped, not migrated: keys the older build lacked stay missing.
    SettingsDictionary expected = exported;
    expected.setValue(SettingKeys::lastBuildNumber, QStringLiteral("12"));
    EXPECT_EQ(*UserSettings::getUserSettingDictionary(), expected);
}

TEST_F(SettingsExchange, ExportNeverReplacesAFileAndNeedsTheSettingsFile)
{
    const QString target = home.filePath(QStringLiteral("elsewhere/mine.xml"));
    ASSERT_TRUE(writeBytes(target, "someone's notes"));
    EXPECT_FALSE(ExportSettingFileOperator::exportSettingFile(target));
    EXPECT_EQ(readBytes(target), QByteArray("someone's notes"));

    QFile::remove(target);
    QFile::remove(UserSettings::path());
    EXPECT_FALSE(ExportSettingFileOperator::exportSettingFile(target));
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(SettingsExchange, AnExchangeFileThatIsNoSettingsOrHoldsBadPathsLeavesBothFilesAlone)
{
    const QString exchange = ImportSettingFileOperator::exchangeFilePath();
    const QList<std::pair<QByteArray, QString>> refused = {
        {QByteArray("<html><body>not settings</body></html>"), "is not a settings file"},
        {appleStyleSettings().left(120), "XML error"},
        {QByteArray("<plist version=\"1.0\"><array/></plist>"), "not a dictionary"},
        {QByteArray(), "the file is empty"},
        {dictionaryOf({{SettingKeys::dateFormatString, "yyyy/../../../../EVIL"}}).toXml(),
         "The setting \"date format string\""},
        {dictionaryOf({{SettingKeys::destinationFolderPath, 5}}).toXml(),
         "The setting \"destination folder path\""},
    };
    for (const auto& [bytes, reason] : refused) {
        ASSERT_TRUE(writeBytes(exchange, bytes));
        StderrCapture log;
        QString whyNot;
        EXPECT_FALSE(importer.importSettingFile(&whyNot));
        EXPECT_TRUE(whyNot.contains(reason)) << whyNot.toStdString();
        EXPECT_TRUE(log.lines().contains(importFailedLine));
        expectBothFilesUnchanged(bytes);
    }
}

TEST_F(SettingsExchange, AFailedReplaceKeepsTheSettingsAndTheExchangeFile)
{
    const QByteArray exchangeBytes = appleStyleSettings();
    ASSERT_TRUE(writeBytes(ImportSettingFileOperator::exchangeFilePath(), exchangeBytes));
    {
        // Room for the log lines, not for the settings file.
        const FileSizeLimit diskFull(512);
        StderrCapture log;
        EXPECT_FALSE(importer.importSettingFile());
        EXPECT_TRUE(log.lines().contains(importFailedLine));
    }
    expectBothFilesUnchanged(exchangeBytes);
}

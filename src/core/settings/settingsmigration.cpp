#include "settings/settingsmigration.h"

#include "common/log.h"
#include "common/logfile.h"
#include "settings/settingdefaults.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {
const QString addSettingsLine =
    QStringLiteral("### version up ### Add settings to Talvoren-setting.plit file.");

QString versionUpLine(const char* what)
{
    return QStringLiteral("### version up ### %1").arg(QString::fromUtf8(what));
}

QString applicationFolder(const QString& name)
{
    return QStringLiteral("%1/%2").arg(TalvorenCommon::getApplicationDataDirectory(), name);
}

// Folder keys treat an empty text like a missing key.
void setWhenEmpty(SettingsDictionary& dictionary, const QString& key, const QString& value)
{
    if (dictionary.stringValue(key).isEmpty())
        dictionary.setValue(key, value);
}

void createFolderWhenMissing(const SettingsDictionary& dictionary, const QString& key)
{
    const QString path = dictionary.stringValue(key);
    if (!path.isEmpty() && !QFileInfo::exists(path))
        QDir().mkpath(path);
}

// Each step adds its keys only when they are missing: a key that is present keeps
// its value, even an empty one, so running the steps again completes a file.
void addKeysOfBuild2(SettingsDictionary& d)
{
    d.setValueIfMissing(SettingKeys::manualVersionCheckSite, QString(SettingDefaults::productPage));
}

void addKeysOfBuild3(SettingsDictionary& d)
{
    d.setValueIfMissing(SettingKeys::exportXml, false);
    d.setValueIfMissing(SettingKeys::zeroPadding, true);
    d.setValueIfMissing(SettingKeys::zeroPaddingLength, 6);
    d.setValueIfMissing(SettingKeys::zeroPaddingLengthString, 10);
    d.setValueIfMissing(SettingKeys::chopCameraSerialNumber, false);
    d.setValueIfMissing(SettingKeys::chopCount, false);
    d.setValueIfMissing(SettingKeys::dontAddPatientName, false);
    d.setValueIfMissing(SettingKeys::dontSendMif, false);
    d.setValueIfMissing(SettingKeys::informationCheckSite,
                        QString(SettingDefaults::informationCheckSite));
    d.setValueIfMissing(SettingKeys::checkedInformationId, 0);
}

void addKeysOfBuild4(SettingsDictionary& d)
{
    d.setValueIfMissing(SettingKeys::informationCheckSiteEnglish,
                        QString(SettingDefaults::informationCheckSiteEnglish));
}

void addKeysOfBuild6(SettingsDictionary& d)
{
    d.setValueIfMissing(SettingKeys::activateAvoidMultipleImportCheck, 1);
    d.setValueIfMissing(SettingKeys::deleteImportedFileRecordIntervalTime, 31536000);
    d.setValueIfMissing(SettingKeys::lastDeleteImportedFileRecordDatetime,
                        QStringLiteral("19700101090000"));
}

void addKeysOfBuild7(SettingsDictionary& d)
{
    d.setValueIfMissing(SettingKeys::ejectRemovableDevice, 0);
    d.setValueIfMissing(SettingKeys::waitSecondsForCheckingDesignatedFolder, 30);
}

void addKeysOfBuild9(SettingsDictionary& d)
{
    d.setValueIfMissing(SettingKeys::dontSendMif, false);
    d.setValueIfMissing(SettingKeys::destinationFolderPathMov,
                        QStringLiteral("%1/%2").arg(TalvorenCommon::getMoviesDirectory(),
                                                    QStringLiteral("TalvorenMovie")));
}

void addKeysOfBuild10(SettingsDictionary& d)
{
    d.setValueIfMissing(SettingKeys::deleteExifPersonalInfo, false);
    d.setValueIfMissing(SettingKeys::notSendingImage, false);
}

void addKeysOfBuild11(SettingsDictionary& d)
{
    d.setValueIfMissing(SettingKeys::fileDetectionWaitTime, 15000.0);
    d.setValueIfMissing(SettingKeys::logFileKeepDays, 30);
    d.setValueIfMissing(SettingKeys::moveToTrash, true);
    d.setValueIfMissing(SettingKeys::isOutputLog, true);
    d.remove(SettingKeys::idNumberZeroPadding);
    // The misspelled key of old builds hands its value on as a boolean.
    if (d.contains(SettingKeys::ejectRemovavleDevice)) {
        d.setValueIfMissing(SettingKeys::ejectRemovableDevice,
                            d.boolValue(SettingKeys::ejectRemovavleDevice));
        d.remove(SettingKeys::ejectRemovavleDevice);
    }
}

struct MigrationStep
{
    void (*addKeys)(SettingsDictionary&);
    std::function<void()> afterGoodWrite = {};
    QStringList linesBeforeWrite = {};
    QStringList linesAfterWrite = {};
};

// The working dictionary of one migration: each step changes a copy, writes it
// and reads the file back as the next step's starting point.
class MigrationRun
{
public:
    MigrationRun(SettingsDictionary working, QString path)
        : working(std::move(working)), path(std::move(path))
    {
    }

    // False when the file can no longer be read, which ends the migration:
    // nothing is ever written from no dictionary.
    bool apply(const MigrationStep& step)
    {
        SettingsDictionary copy = working;
        step.addKeys(copy);
        for (const QString& line : step.linesBeforeWrite)
            Log::info(line);
        const bool written = copy.write(path);
        if (written && step.afterGoodWrite)
            step.afterGoodWrite();
        for (const QString& line : step.linesAfterWrite)
            Log::info(line);
        std::optional<SettingsDictionary> reread = SettingsDictionary::read(path);
        if (!reread)
            return false;
        working = std::move(*reread);
        return true;
    }

private:
    SettingsDictionary working;
    QString path;
};
} // namespace

QString SettingsMigration::takeOverMessageText()
{
    return QStringLiteral("新しいバージョンのTalvorenを起動しました");
}

QString SettingsMigration::takeOverInformativeText()
{
    return QStringLiteral("旧バージョンの設定値を引き継ぎますか？");
}

QString SettingsMigration::doNotTakeOverButtonTitle()
{
    return QStringLiteral("引き継がない");
}

QString SettingsMigration::takeOverButtonTitle()
{
    return QStringLiteral("引き継ぐ");
}

SettingsMigration::SettingsMigration(int applicationBuildNumber)
    : applicationBuildNumber(applicationBuildNumber),
      logOpener([](const QString& logPath) { LogFile::redirectStandardError(logPath); }),
      clock([] { return QDateTime::currentDateTime(); })
{
}

qint64 SettingsMigration::lastBuildNumber(const SettingsDictionary& dictionary)
{
    return dictionary.integerValue(SettingKeys::lastBuildNumber);
}

bool SettingsMigration::checkFirstTimeStart(const SettingsDictionary& dictionary)
{
    return lastBuildNumber(dictionary) < 1;
}

void SettingsMigration::fillDefaultFolders(SettingsDictionary& dictionary)
{
    setWhenEmpty(dictionary, SettingKeys::defSetting, applicationFolder(QString()));
    setWhenEmpty(dictionary, SettingKeys::defImp, applicationFolder(QStringLiteral("Import")));
    setWhenEmpty(dictionary, SettingKeys::defLog, applicationFolder(QStringLiteral("log")));
    setWhenEmpty(dictionary, SettingKeys::defTmp, applicationFolder(QStringLiteral("temp")));
    createFolderWhenMissing(dictionary, SettingKeys::defImp);
    createFolderWhenMissing(dictionary, SettingKeys::defLog);
    createFolderWhenMissing(dictionary, SettingKeys::defTmp);
}

std::optional<SettingsDictionary> SettingsMigration::completeFirstStart()
{
    const QString buildNumber = QString::number(applicationBuildNumber);
    UserSettings::update([&buildNumber](SettingsDictionary& dictionary) {
        dictionary.setValue(SettingKeys::lastBuildNumber, buildNumber);
    });
    UserSettings::update([](SettingsDictionary& dictionary) {
        setWhenEmpty(
            dictionary, SettingKeys::destinationFolderPath,
            QDir(TalvorenCommon::getPicturesDirectory()).filePath(QStringLiteral("Talvoren")));
        setWhenEmpty(
            dictionary, SettingKeys::destinationFolderPathMov,
            QDir(TalvorenCommon::getMoviesDirectory()).filePath(QStringLiteral("TalvorenMovie")));
        fillDefaultFolders(dictionary);
    });
    return UserSettings::getUserSettingDictionary();
}

bool SettingsMigration::needsTakeOverQuestion(const SettingsDictionary& dictionary) const
{
    return !checkFirstTimeStart(dictionary) && lastBuildNumber(dictionary) < applicationBuildNumber;
}

void SettingsMigration::showUpdateDialog(const TakeOverQuestion& ask,
                                         const TableMigration& migrateTable)
{
    const std::optional<SettingsDictionary> oldDictionary =
        UserSettings::getUserSettingDictionary();
    if (!oldDictionary)
        return;
    answerTakeOverQuestion(ask(*oldDictionary), *oldDictionary, migrateTable);
}

void SettingsMigration::answerTakeOverQuestion(int answer, const SettingsDictionary& oldDictionary,
                                               const TableMigration& migrateTable)
{
    if (answer == TakeOver)
        doUpdate(oldDictionary, migrateTable);
    else if (answer == DoNotTakeOver)
        resetSettings(oldDictionary, migrateTable);
}

void SettingsMigration::doUpdate(const SettingsDictionary& oldDictionary,
                                 const TableMigration& migrateTable)
{
    updateConfig(oldDictionary);
    if (migrateTable)
        migrateTable(oldDictionary);
    if (const auto fresh = UserSettings::getUserSettingDictionary())
        set30DefaultFolder(*fresh);
}

QString SettingsMigration::resetFilePath(const SettingsDictionary& oldDictionary) const
{
    return QStringLiteral("%1.%2_%3")
        .arg(UserSettings::path())
        .arg(lastBuildNumber(oldDictionary))
        .arg(TalvorenCommon::dateToString(clock()));
}

void SettingsMigration::resetSettings(const SettingsDictionary& oldDictionary,
                                      const TableMigration& migrateTable)
{
    const QString path = UserSettings::path();
    // The old file is set aside, never deleted; a failed rename leaves it in place
    // and the default file is then not copied over it.
    if (QFileInfo::exists(path))
        QFile::rename(path, resetFilePath(oldDictionary));
    UserSettings::copyDefaultPlist();
    if (migrateTable)
        migrateTable(oldDictionary);
    defaultFoldersNeeded = true;
    if (const auto fresh = UserSettings::getUserSettingDictionary())
        set30DefaultFolder(*fresh);
}

void SettingsMigration::updateConfig(const SettingsDictionary& oldDictionary)
{
    // Every step compares the same number: no step changes "last build number".
    const qint64 build = lastBuildNumber(oldDictionary);
    MigrationRun run(oldDictionary, UserSettings::path());

    if (build == 1 && !run.apply({.addKeys = addKeysOfBuild2}))
        return;
    if (build < 3 && !run.apply({.addKeys = addKeysOfBuild3}))
        return;
    if (build < 4 && !run.apply({.addKeys = addKeysOfBuild4}))
        return;
    // Builds before 6 kept the settings in the hidden work folder. The settings in
    // memory win and the old file only has to go; it goes after a good write, so
    // a failed write loses nothing.
    if (build < 6 && !run.apply({.addKeys = addKeysOfBuild6, .afterGoodWrite = [] {
                                     const QString oldPath =
                                         TalvorenCommon::getOldUserSettingPlistFilePath();
                                     if (QFileInfo(oldPath).isFile())
                                         QFile::remove(oldPath);
                                 }}))
        return;
    if (build < 7 && !run.apply({.addKeys = addKeysOfBuild7}))
        return;
    if (build < 9 && !run.apply({.addKeys = addKeysOfBuild9,
                                 .linesAfterWrite = {
                                     addSettingsLine, versionUpLine("Add 'dont send mif' setting."),
                                     versionUpLine("Add 'destination folder path mov' setting."),
                                     versionUpLine("Add 'destination folder mov' setting.")}}))
        return;
    if (build < 10 &&
        !run.apply({.addKeys = addKeysOfBuild10,
                    .linesAfterWrite = {addSettingsLine,
                                        versionUpLine("Add 'delete exif personal info' setting."),
                                        versionUpLine("Add 'not sending image' setting.")}}))
        return;
    if (build < 11) {
        defaultFoldersNeeded = true;
        run.apply({.addKeys = addKeysOfBuild11,
                   .linesBeforeWrite = {
                       addSettingsLine, versionUpLine("Add 'file detection wait time' setting."),
                       versionUpLine("Add 'log file keep days' setting."),
                       versionUpLine("Add 'move to trash' setting."),
                       versionUpLine("Add 'is output log' setting."),
                       versionUpLine("Delete 'id number zero padding' setting.")}});
    }
}

void SettingsMigration::set30DefaultFolder(const SettingsDictionary& dictionary)
{
    if (!defaultFoldersNeeded)
        return;
    SettingsDictionary copy = dictionary;
    fillDefaultFolders(copy);
    Log::info(versionUpLine("Add 'def setting' setting."));
    Log::info(versionUpLine("Add 'def imp' setting."));
    Log::info(versionUpLine("Add 'def log' setting."));
    Log::info(versionUpLine("Add 'def tmp' setting."));
    UserSettings::write(copy);
    const std::optional<SettingsDictionary> fresh = UserSettings::getUserSettingDictionary();
    // The key's presence, whatever its value, turns the day's log file on here.
    if (!fresh || !fresh->contains(SettingKeys::isOutputLog))
        return;
    const QString logPath = LogFile::pathFor(fresh->stringValue(SettingKeys::defLog), clock());
    if (!logPath.isEmpty() && logOpener)
        logOpener(logPath);
}

bool SettingsMigration::raiseLastBuildNumber()
{
    std::optional<SettingsDictionary> dictionary = UserSettings::getUserSettingDictionary();
    if (!dictionary || lastBuildNumber(*dictionary) >= applicationBuildNumber)
        return false;
    dictionary->setValue(SettingKeys::lastBuildNumber, QString::number(applicationBuildNumber));
    return UserSettings::write(*dictionary);
}

#pragma once

#include "common/talvorencommon.h"
#include "settings/settingsdictionary.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

// What the start-up does with the settings file of another build: completes it on
// a first start, and when an older build wrote it, asks whether to take it over
// and then migrates it (answer 1) or sets it aside for fresh defaults (answer 0).
// The app keeps one instance for the whole start-up: the default-folder step runs
// only after a migration or reset of this start asked for it.
class SettingsMigration
{
public:
    // The imported-file table migration, given the settings of the older build.
    using TableMigration = std::function<void(const SettingsDictionary& oldDictionary)>;
    // Opens the day's log file (the app re-points standard error onto it).
    using LogOpener = std::function<void(const QString& logPath)>;
    // Asks the take-over question (modal) and returns the answer.
    using TakeOverQuestion = std::function<int(const SettingsDictionary& oldDictionary)>;

    enum TakeOverAnswer
    {
        DoNotTakeOver = 0,
        TakeOver = 1
    };

    // The texts of the take-over question. The first button is the default one.
    static QString takeOverMessageText();
    static QString takeOverInformativeText();
    static QString doNotTakeOverButtonTitle();
    static QString takeOverButtonTitle();

    explicit SettingsMigration(int applicationBuildNumber = TalvorenCommon::buildNumber());

    void setLogOpener(LogOpener opener) { logOpener = std::move(opener); }
    void setClock(std::function<QDateTime()> now) { clock = std::move(now); }

    // "last build number" read as an integer (0 when missing or not a number).
    static qint64 lastBuildNumber(const SettingsDictionary& dictionary);
    // True when "last build number" is below 1.
    static bool checkFirstTimeStart(const SettingsDictionary& dictionary);

    // First start: stamps the build number, fills the empty folder settings and
    // creates the Import, log and temp folders. Returns the settings as re-read.
    std::optional<SettingsDictionary> completeFirstStart();

    // Not a first start, and written by an older build.
    bool needsTakeOverQuestion(const SettingsDictionary& dictionary) const;
    // Reads the settings, asks, and acts on the answer (see answerTakeOverQuestion).
    void showUpdateDialog(const TakeOverQuestion& ask, const TableMigration& migrateTable);
    // 1: doUpdate; 0: resetSettings; anything else: nothing.
    void answerTakeOverQuestion(int answer, const SettingsDictionary& oldDictionary,
                                const TableMigration& migrateTable);

    // Take over: migrate the settings, then the table, then the default folders.
    void doUpdate(const SettingsDictionary& oldDictionary, const TableMigration& migrateTable);
    // Reset: the settings file is set aside as "<path>.<build>_<yyyyMMddHHmmss>" and
    // the default file copied in; then the table migration and the default folders.
    void resetSettings(const SettingsDictionary& oldDictionary, const TableMigration& migrateTable);
    // The name the reset gives the old settings file.
    QString resetFilePath(const SettingsDictionary& oldDictionary) const;

    // The settings migration, steps for builds 1 to 11, each adding only missing keys.
    void updateConfig(const SettingsDictionary& oldDictionary);
    // Fills the four folder settings when the migration or reset asked for it.
    void set30DefaultFolder(const SettingsDictionary& dictionary);
    bool needsDefaultFolders() const { return defaultFoldersNeeded; }

    // Raises "last build number" to this build when it is lower (end of start-up).
    bool raiseLastBuildNumber();

    // Sets every empty or missing folder key ("def setting", "def imp", "def log",
    // "def tmp") and creates the Import, log and temp folders when nothing stands
    // at their paths.
    static void fillDefaultFolders(SettingsDictionary& dictionary);

private:
    int applicationBuildNumber;
    bool defaultFoldersNeeded = false;
    LogOpener logOpener;
    std::function<QDateTime()> clock;
};

#pragma once

#include "settings/settingsdictionary.h"

#include <QList>
#include <QString>
#include <optional>

// A setting that cannot be used, with the reason in words.
struct SettingProblem
{
    QString key;
    QString reason;

    // "The setting "KEY" REASON."
    QString message() const;
    bool operator==(const SettingProblem& other) const = default;
};

// The rules for the settings that build paths. Folder settings hold absolute
// folder paths as texts (an empty text means not set yet: the start fills it); the
// day-folder format gives one plain folder name. Whoever stores settings (the
// windows, the settings exchange file, talvoren-cli settings set) refuses a value
// that breaks them, and an import run does not start without its folders.
class SettingsValidation
{
public:
    // The keys that hold folder paths.
    static const QList<QLatin1String>& folderKeys();

    // Every stored value the rules refuse, in key order.
    static QList<SettingProblem> problems(const SettingsDictionary& settings);
    // The first problem of after that before does not have: a change may leave a
    // value it does not touch as it was, but may not add a bad one.
    static std::optional<SettingProblem> firstNewProblem(const SettingsDictionary& before,
                                                         const SettingsDictionary& after);

    enum class Use
    {
        ImportRun,
        Watch
    };
    // The folders an import run (and, for Watch, the folder polls) cannot do
    // without: set, texts, absolute. None when they are all usable.
    static std::optional<SettingProblem> checkRunFolders(const SettingsDictionary& settings,
                                                         Use use = Use::ImportRun);

    // "date format string" as a date format: "YYYY" written "yyyy", "DD" "dd".
    static QString folderDateFormat(const QString& dateFormatString);
    // Why the setting gives no plain folder name for a day (none when it does).
    static std::optional<QString> dayFolderProblem(const QString& dateFormatString);
};

#pragma once

#include "settings/settingsdictionary.h"

#include <QString>
#include <functional>
#include <optional>

// The user's settings file ("Talvoren-setting.plist" in the application data
// folder). Nothing is cached: every call reads the file again, so a change is
// seen by the next reader whoever wrote it. Any thread may read; writes happen
// on the main thread.
class UserSettings
{
public:
    static QString path();
    // The parsed settings file; none when it is missing or not a settings file.
    static std::optional<SettingsDictionary> getUserSettingDictionary();
    // When a settings file stands there but cannot be used: the sentence that says
    // so, with the reason. None when the file is readable or missing. Such a file is
    // never written over by a read-modify-write (see update), so it stays for repair.
    static std::optional<QString> corruptionMessage();
    // Writes the whole dictionary atomically to the settings path.
    static bool write(const SettingsDictionary& dictionary);
    // Read, change a copy, write back. When the file holds no dictionary nothing is
    // written (a file that could not be read is never replaced by a partial one);
    // false then and when the write fails.
    static bool update(const std::function<void(SettingsDictionary&)>& change);

    // The shipped default settings file ("Talvoren-setting", type "plist"); empty
    // when it is missing.
    static QString defaultPlistPath();
    // Creates the application data folder and copies the default settings file to
    // the settings path; never replaces a file that already stands there.
    static bool copyDefaultPlist();
};

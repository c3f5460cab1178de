#include "networkchecksettings.h"

#include "settings/usersettings.h"

std::optional<SettingsDictionary> networkCheckSettings(const QString& command, QTextStream& err)
{
    if (auto settings = UserSettings::getUserSettingDictionary())
        return settings;
    err << "talvoren-cli " << command << ": no readable settings file at " << UserSettings::path()
        << "; using the default settings\n";
    return SettingsDictionary::read(UserSettings::defaultPlistPath());
}

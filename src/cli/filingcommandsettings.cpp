#include "filingcommandsettings.h"

#include "settings/usersettings.h"

std::optional<SettingsDictionary>
usableFilingSettings(const QString& command, const std::optional<SettingsDictionary>& settings,
                     SettingsValidation::Use use, const QString& nothingDone, QTextStream& err)
{
    if (!settings) {
        err << "talvoren-cli " << command << ": "
            << UserSettings::corruptionMessage().value_or(
                   QStringLiteral("no settings file at %1").arg(UserSettings::path()))
            << "\n";
        return std::nullopt;
    }
    if (const std::optional<SettingProblem> problem =
            SettingsValidation::checkRunFolders(*settings, use)) {
        err << "talvoren-cli " << command << ": " << problem->message() << " " << nothingDone
            << "\n";
        return std::nullopt;
    }
    return settings;
}

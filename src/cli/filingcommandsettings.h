#pragma once

#include "settings/settingsdictionary.h"
#include "settings/settingsvalidation.h"

#include <QTextStream>
#include <optional>

// The settings a filing command (import, watch) runs on: none, after saying on err
// with the command's name why, when the settings file is missing or damaged or its
// folders are not set, relative or of the wrong type. nothingDone ends that message
// ("Nothing was imported.").
std::optional<SettingsDictionary>
usableFilingSettings(const QString& command, const std::optional<SettingsDictionary>& settings,
                     SettingsValidation::Use use, const QString& nothingDone, QTextStream& err);

#pragma once

#include "settings/settingsdictionary.h"

#include <QTextStream>
#include <optional>

// The settings the network checks of talvoren-cli use: the user's settings file,
// or the shipped defaults (read only, nothing is written) when there is none yet
// or it cannot be read, so that the servers can be checked before the first start.
std::optional<SettingsDictionary> networkCheckSettings(const QString& command, QTextStream& err);

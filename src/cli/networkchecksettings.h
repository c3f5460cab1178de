#pragma once

#include "clicommand.h"
#include "settings/settingsdictionary.h"

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>
#include <functional>

// Runs one of the network checks of talvoren-cli: it uses the user's settings file, or the shipped
// defaults (read only, nothing is written) when there is none yet or it cannot be read, so that the
// servers can be checked before the first start, and prints the check's record as JSON. The check
// writes the address it asks on err. Exit status 0.
using NetworkCheck =
    std::function<QJsonObject(const SettingsDictionary& settings, QTextStream& err)>;
int runNetworkCheck(const QString& command, QTextStream& out, QTextStream& err,
                    const NetworkCheck& check);
// The talvoren-cli command that runs the check, without options or arguments.
CliCommand networkCheckCommand(const QString& name, const QString& description,
                               const NetworkCheck& check);

#include "networkchecksettings.h"

#include "clicommand.h"
#include "settings/usersettings.h"

#include <QJsonDocument>

namespace {
SettingsDictionary networkCheckSettings(const QString& command, QTextStream& err)
{
    if (auto settings = UserSettings::getUserSettingDictionary())
        return *settings;
    err << "talvoren-cli " << command << ": no readable settings file at " << UserSettings::path()
        << "; using the default settings\n";
    return SettingsDictionary::read(UserSettings::defaultPlistPath())
        .value_or(SettingsDictionary());
}
} // namespace

int runNetworkCheck(const QString& command, QTextStream& out, QTextStream& err,
                    const NetworkCheck& check)
{
    const SettingsDictionary settings = networkCheckSettings(command, err);
    err << "talvoren-cli " << command << ": ";
    out << QJsonDocument(check(settings, err)).toJson(QJsonDocument::Indented);
    return CliExit::done;
}

CliCommand networkCheckCommand(const QString& name, const QString& description,
                               const NetworkCheck& check)
{
    return CliCommand{name,
                      description,
                      {},
                      {},
                      [name, check](const QCommandLineParser&, QTextStream& out, QTextStream& err) {
                          return runNetworkCheck(name, out, err, check);
                      }};
}

#include "networkchecksettings.h"

#include "settings/usersettings.h"

#include <QJsonDocument>

namespace {
constexpr int badUsage = 2;

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

int runNetworkCheck(const QString& command, const QStringList& arguments, QTextStream& out,
                    QTextStream& err, const NetworkCheck& check)
{
    if (!arguments.isEmpty()) {
        err << "usage: talvoren-cli " << command << "\n";
        return badUsage;
    }
    const SettingsDictionary settings = networkCheckSettings(command, err);
    err << "talvoren-cli " << command << ": ";
    out << QJsonDocument(check(settings, err)).toJson(QJsonDocument::Indented);
    return 0;
}

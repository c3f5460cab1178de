// talvoren-cli check-update: asks the version list server as the application does
// at start-up and prints the result record as JSON.
#include "clicommand.h"
#include "network/updatechecker.h"
#include "networkchecksettings.h"
#include "settings/settingkeys.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString commandName = QStringLiteral("check-update");
constexpr int badUsage = 2;

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (!arguments.isEmpty()) {
        err << "usage: talvoren-cli " << commandName << "\n";
        return badUsage;
    }
    const SettingsDictionary settings =
        networkCheckSettings(commandName, err).value_or(SettingsDictionary());
    err << "talvoren-cli " << commandName << ": "
        << settings.stringValue(SettingKeys::versionCheckSite) << "\n";
    const UpdateCheckResult result = UpdateChecker().setSettings(settings).checkUpdate();
    const QJsonObject record{
        {QStringLiteral("failed"), result.failed},   {QStringLiteral("newer"), result.newer},
        {QStringLiteral("name"), result.name},       {QStringLiteral("date"), result.date},
        {QStringLiteral("version"), result.version}, {QStringLiteral("address"), result.address}};
    out << QJsonDocument(record).toJson(QJsonDocument::Indented);
    return 0;
}

const CliCommandRegistration registration(CliCommand{commandName, commandName, run});
} // namespace

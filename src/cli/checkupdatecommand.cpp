// talvoren-cli check-update: asks the version list server as the application does
// at start-up and prints the result record as JSON.
#include "clicommand.h"
#include "network/updatechecker.h"
#include "networkchecksettings.h"
#include "settings/settingkeys.h"

namespace {
QJsonObject check(const SettingsDictionary& settings, QTextStream& err)
{
    err << settings.stringValue(SettingKeys::versionCheckSite) << "\n";
    const UpdateCheckResult result = UpdateChecker(settings).checkUpdate();
    return {
        {QStringLiteral("failed"), result.failed},   {QStringLiteral("newer"), result.newer},
        {QStringLiteral("name"), result.name},       {QStringLiteral("date"), result.date},
        {QStringLiteral("version"), result.version}, {QStringLiteral("address"), result.address}};
}

const CliCommandRegistration registration(networkCheckCommand(
    QStringLiteral("check-update"),
    QStringLiteral(
        "Asks the version server as Talvoren does after its start and prints the answer as JSON."),
    check));
} // namespace

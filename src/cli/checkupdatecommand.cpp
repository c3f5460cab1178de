// talvoren-cli check-update: asks the version list server as the application does
// at start-up and prints the result record as JSON.
#include "clicommand.h"
#include "network/updatechecker.h"
#include "networkchecksettings.h"
#include "settings/settingkeys.h"

namespace {
const QString commandName = QStringLiteral("check-update");

QJsonObject check(const SettingsDictionary& settings, QTextStream& err)
{
    err << settings.stringValue(SettingKeys::versionCheckSite) << "\n";
    const UpdateCheckResult result = UpdateChecker(settings).checkUpdate();
    return {
        {QStringLiteral("failed"), result.failed},   {QStringLiteral("newer"), result.newer},
        {QStringLiteral("name"), result.name},       {QStringLiteral("date"), result.date},
        {QStringLiteral("version"), result.version}, {QStringLiteral("address"), result.address}};
}

int run(const QCommandLineParser&, QTextStream& out, QTextStream& err)
{
    return runNetworkCheck(commandName, out, err, check);
}

const CliCommandRegistration registration(CliCommand{
    commandName,
    QStringLiteral(
        "Asks the version server as Talvoren does after its start and prints the answer as JSON."),
    {},
    {},
    run});
} // namespace

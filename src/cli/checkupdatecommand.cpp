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

int run(const QCommandLineParser&, QTextStream& out, QTextStream& err)
{
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
    return CliExit::done;
}

const CliCommandRegistration registration(CliCommand{
    commandName,
    QStringLiteral(
        "Asks the version server as Talvoren does after its start and prints the answer as JSON."),
    {},
    {},
    run});
} // namespace

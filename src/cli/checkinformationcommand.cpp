// talvoren-cli check-information: fetches the notice list in the user's first
// language as the application does at start-up and prints the result record as
// JSON.
#include "clicommand.h"
#include "network/informationchecker.h"
#include "networkchecksettings.h"
#include "settings/settingkeys.h"

namespace {
QJsonObject check(const SettingsDictionary& settings, QTextStream& err)
{
    InformationChecker checker(settings);
    const bool japanese = InformationCheckResult::isJapanese(checker.firstPreferredLanguage());
    err << settings.stringValue(japanese ? SettingKeys::informationCheckSite
                                         : SettingKeys::informationCheckSiteEnglish)
        << " (first language \"" << checker.firstPreferredLanguage() << "\")\n";
    const InformationCheckResult result = checker.checkInformation();
    return {{QStringLiteral("available"), result.available},
            {QStringLiteral("failed"), result.failed},
            {QStringLiteral("id"), result.id},
            {QStringLiteral("japaneseTitle"), result.japaneseTitle},
            {QStringLiteral("japaneseText"), result.japaneseText},
            {QStringLiteral("japaneseLink"), result.japaneseLink},
            {QStringLiteral("englishTitle"), result.englishTitle},
            {QStringLiteral("englishText"), result.englishText},
            {QStringLiteral("englishLink"), result.englishLink},
            {QStringLiteral("reserved"), result.reserved}};
}

const CliCommandRegistration registration(networkCheckCommand(
    QStringLiteral("check-information"),
    QStringLiteral(
        "Asks the notice server as Talvoren does after its start and prints the notice as JSON."),
    check));
} // namespace

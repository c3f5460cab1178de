#include "network/updatechecker.h"

#include "common/talvorencommon.h"
#include "network/serverlisttext.h"
#include "settings/settingkeys.h"

namespace {
constexpr qsizetype versionListFieldCount = 5;
}

UpdateChecker::UpdateChecker(SettingsDictionary settings)
    : runningVersion(TalvorenCommon::getVersionNubmer()), timeout(TalvorenCommon::httpTimeout),
      settings(std::move(settings))
{
}

UpdateChecker& UpdateChecker::setRunningVersion(const QString& shortVersion)
{
    runningVersion = shortVersion;
    return *this;
}

UpdateChecker& UpdateChecker::setTimeout(std::chrono::milliseconds limit)
{
    timeout = limit;
    return *this;
}

UpdateCheckResult UpdateChecker::checkUpdate() const
{
    const QString address = settings.stringValue(SettingKeys::versionCheckSite);
    return evaluateVersionList(TalvorenCommon::getNetworkFileByHttp(address, timeout),
                               runningVersion);
}

UpdateCheckResult UpdateChecker::evaluateVersionList(const std::optional<QByteArray>& body,
                                                     const QString& runningVersion)
{
    UpdateCheckResult result;
    result.failed = true;
    float highest = ServerListText::leadingFloat(runningVersion);
    for (const QString& line : ServerListText::lines(body)) {
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() != versionListFieldCount)
            continue;
        result.failed = false;
        const float announced =
            ServerListText::leadingFloat(QStringLiteral("%1.%2").arg(fields[0], fields[1]));
        if (announced <= highest)
            continue;
        highest = announced;
        result.version = QString::asprintf("%.2f", static_cast<double>(announced));
        result.name = fields[2];
        result.date = QStringLiteral("(%1)").arg(fields[3]);
        result.address = fields[4];
    }
    result.newer = !result.version.isEmpty();
    return result;
}

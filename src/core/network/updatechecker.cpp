#include "network/updatechecker.h"

#include "common/talvorencommon.h"
#include "network/serverlisttext.h"
#include "settings/settingkeys.h"

namespace {
constexpr qsizetype versionListFieldCount = 5;
}

UpdateChecker::UpdateChecker(SettingsDictionary settings)
    : ServerListChecker(std::move(settings)), runningVersion(TalvorenCommon::getVersionNubmer())
{
}

UpdateChecker& UpdateChecker::setRunningVersion(const QString& shortVersion)
{
    runningVersion = shortVersion;
    return *this;
}

UpdateCheckResult UpdateChecker::checkUpdate() const
{
    return evaluateVersionList(fetchList(SettingKeys::versionCheckSite), runningVersion);
}

UpdateCheckResult UpdateChecker::evaluateVersionList(const std::optional<QByteArray>& body,
                                                     const QString& runningVersion)
{
    const QList<QStringList> records = ServerListText::records(body, versionListFieldCount);
    UpdateCheckResult result;
    result.failed = records.isEmpty();
    float highest = ServerListText::leadingFloat(runningVersion);
    for (const QStringList& fields : records) {
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

#pragma once

#include "network/serverlistchecker.h"
#include "network/updatecheckresult.h"

// Asks the maker's server whether a newer version exists: fetches the version
// list named by "version check site" and compares each line's version with the
// running one. Lines hold five fields: major, minor, name, date, address.
// Versions compare as decimal numbers ("1" and "10" give 1.1). When several lines
// are newer the highest version is reported, the first of equal ones.
class UpdateChecker : public ServerListChecker<UpdateChecker>
{
public:
    // settings: where to find the list ("version check site").
    explicit UpdateChecker(SettingsDictionary settings);

    // The running short version; the application's own by default.
    UpdateChecker& setRunningVersion(const QString& shortVersion);
    // Fetches the list and evaluates it. Blocks the caller (in a local event loop).
    UpdateCheckResult checkUpdate() const;

    // The evaluation alone, on a fetched body (none: nothing was fetched).
    static UpdateCheckResult evaluateVersionList(const std::optional<QByteArray>& body,
                                                 const QString& runningVersion);

private:
    QString runningVersion;
};

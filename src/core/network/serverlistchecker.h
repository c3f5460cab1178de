#pragma once

#include "common/talvorencommon.h"
#include "settings/settingsdictionary.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <optional>

// What the version check and the notice check share: the settings that name the
// lists' addresses, and the fetch with its time limit. Checker is the derived
// class, so that setTimeout can be chained with the checker's own setters.
template <typename Checker> class ServerListChecker
{
public:
    // The fetch limit; 30 s by default.
    Checker& setTimeout(std::chrono::milliseconds limit)
    {
        timeout = limit;
        return static_cast<Checker&>(*this);
    }

protected:
    explicit ServerListChecker(SettingsDictionary settings) : settings(std::move(settings)) {}

    // Fetches the list at the address the setting holds; none when nothing came.
    // Blocks the caller (in a local event loop).
    std::optional<QByteArray> fetchList(const QString& addressKey) const
    {
        return TalvorenCommon::getNetworkFileByHttp(settings.stringValue(addressKey), timeout);
    }

private:
    SettingsDictionary settings;
    std::chrono::milliseconds timeout = TalvorenCommon::httpTimeout;
};

#pragma once

#include "network/informationcheckresult.h"
#include "network/serverlistchecker.h"

// Fetches the maker's notice list in the user's language ("information check
// site" for Japanese, "information check site english" for everybody else) and
// picks the notice with the highest id, the first of equal ones. Lines hold eight
// fields: id, Japanese title, text and link, English title, text and link, and
// one field nothing uses.
class InformationChecker : public ServerListChecker<InformationChecker>
{
public:
    // settings: where to find the lists ("information check site" and
    // "information check site english").
    explicit InformationChecker(SettingsDictionary settings);

    // The user's first preferred language ("ja-JP", "de"); the system's by default.
    InformationChecker& setFirstPreferredLanguage(const QString& language);
    QString firstPreferredLanguage() const { return language; }

    // Fetches the list for the language and evaluates it. Blocks the caller (in a
    // local event loop).
    InformationCheckResult checkInformation() const;

    // The evaluation alone, on a fetched body (none: nothing was fetched).
    static InformationCheckResult evaluateNoticeList(const std::optional<QByteArray>& body);

    static QString systemFirstPreferredLanguage();

private:
    QString language;
};

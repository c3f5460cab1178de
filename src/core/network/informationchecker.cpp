#include "network/informationchecker.h"

#include "common/talvorencommon.h"
#include "network/serverlisttext.h"
#include "settings/settingkeys.h"

#include <QLocale>

namespace {
constexpr qsizetype noticeListFieldCount = 8;
}

InformationChecker::InformationChecker(SettingsDictionary settings)
    : language(systemFirstPreferredLanguage()), timeout(TalvorenCommon::httpTimeout),
      settings(std::move(settings))
{
}

QString InformationChecker::systemFirstPreferredLanguage()
{
    return QLocale::system().uiLanguages().value(0);
}

InformationChecker& InformationChecker::setFirstPreferredLanguage(const QString& firstLanguage)
{
    language = firstLanguage;
    return *this;
}

InformationChecker& InformationChecker::setTimeout(std::chrono::milliseconds limit)
{
    timeout = limit;
    return *this;
}

InformationCheckResult InformationChecker::checkInformation() const
{
    const QString address = settings.stringValue(InformationCheckResult::isJapanese(language)
                                                     ? SettingKeys::informationCheckSite
                                                     : SettingKeys::informationCheckSiteEnglish);
    return evaluateNoticeList(TalvorenCommon::getNetworkFileByHttp(address, timeout));
}

InformationCheckResult InformationChecker::evaluateNoticeList(const std::optional<QByteArray>& body)
{
    InformationCheckResult result;
    result.failed = true;
    for (const QString& line : ServerListText::lines(body)) {
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() != noticeListFieldCount)
            continue;
        result.failed = false;
        const qint32 id = ServerListText::leadingInteger(fields[0]);
        if (id <= result.id)
            continue;
        result.id = id;
        result.japaneseTitle = fields[1];
        result.japaneseText = fields[2];
        result.japaneseLink = fields[3];
        result.englishTitle = fields[4];
        result.englishText = fields[5];
        result.englishLink = fields[6];
        result.reserved = fields[7];
    }
    result.available = result.id >= 0;
    return result;
}

#include "network/informationchecker.h"

#include "network/serverlisttext.h"
#include "settings/settingkeys.h"

#include <QLocale>

namespace {
constexpr qsizetype noticeListFieldCount = 8;
}

InformationChecker::InformationChecker(SettingsDictionary settings)
    : ServerListChecker(std::move(settings)), language(systemFirstPreferredLanguage())
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

InformationCheckResult InformationChecker::checkInformation() const
{
    return evaluateNoticeList(fetchList(InformationCheckResult::isJapanese(language)
                                            ? SettingKeys::informationCheckSite
                                            : SettingKeys::informationCheckSiteEnglish));
}

InformationCheckResult InformationChecker::evaluateNoticeList(const std::optional<QByteArray>& body)
{
    const QList<QStringList> records = ServerListText::records(body, noticeListFieldCount);
    InformationCheckResult result;
    result.failed = records.isEmpty();
    for (const QStringList& fields : records) {
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

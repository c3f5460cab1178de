#include "network/informationcheckresult.h"

QString InformationCheckResult::title(const QString& firstLanguage) const
{
    return isJapanese(firstLanguage) ? japaneseTitle : englishTitle;
}

QString InformationCheckResult::text(const QString& firstLanguage) const
{
    QString shown = isJapanese(firstLanguage) ? japaneseText : englishText;
    shown.replace(QLatin1String("<br>"),
                  isJapanese(firstLanguage) ? QStringLiteral(" \r") : QStringLiteral("\r"));
    return shown.replace(QLatin1String("<BR>"), QStringLiteral("\r"));
}

QString InformationCheckResult::link(const QString& firstLanguage) const
{
    return isJapanese(firstLanguage) ? japaneseLink : englishLink;
}

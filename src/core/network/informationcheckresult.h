#pragma once

#include <QString>

// What one look at the notice list found: the notice with the highest id.
struct InformationCheckResult
{
    // A line with an id of 0 or more was found.
    bool available = false;
    // No line of the list had the eight fields (also when nothing was fetched).
    bool failed = false;
    qint32 id = -1;
    QString japaneseTitle;
    QString japaneseText;
    QString japaneseLink;
    QString englishTitle;
    QString englishText;
    QString englishLink;
    // The list's eighth field, which nothing shows.
    QString reserved;

    bool operator==(const InformationCheckResult&) const = default;

    // True when a notice is available that the user has not acknowledged yet
    // (the settings keep the highest id acknowledged).
    bool isUnread(qint64 checkedInformationId) const
    {
        return available && checkedInformationId < id;
    }

    // The texts a window shows for the user's first language: the Japanese ones
    // when it begins with "ja", else the English ones. In the Japanese text "<br>"
    // becomes a blank and a carriage return and "<BR>" a carriage return; in the
    // English text both become a carriage return.
    QString title(const QString& firstLanguage) const;
    QString text(const QString& firstLanguage) const;
    QString link(const QString& firstLanguage) const;

    static bool isJapanese(const QString& firstLanguage)
    {
        return firstLanguage.startsWith(QLatin1String("ja"));
    }
};

#pragma once

#include <QString>
#include <QStringList>

// The user-visible texts, looked up by key through Qt's ID-based translations
// (qtTrId; the keys are the ids of resources/translations/talvoren_en.ts and
// talvoren_ja.ts, compiled in). A key without a text gives the empty text. The
// language follows the system locale unless it has been forced.
class LocalizedStrings
{
public:
    static QString string(const QString& key);
    // The same for a key written as a literal in the code.
    static QString text(const char* key) { return string(QString::fromLatin1(key)); }
    // The key's text with each "%@" replaced by the next argument and "%%" by "%".
    static QString format(const QString& key, const QStringList& arguments);
    static QString formatText(const QString& format, const QStringList& arguments);

    // "ja" when the system locale is Japanese, "en" otherwise, unless forced.
    static QString language();
    // Forces "en" or "ja" (screenshots, tests); an empty text follows the system again.
    static void setLanguage(const QString& language);
    static QStringList availableLanguages();
};

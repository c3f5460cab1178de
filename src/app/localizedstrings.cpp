#include "localizedstrings.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace {
QString forcedLanguage;

using Table = QHash<QString, QString>;

Table loadTable(const QString& language)
{
    Table table;
    QFile file(QStringLiteral(":/localization/%1.json").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = object.begin(); it != object.end(); ++it)
        table.insert(it.key(), it.value().toString());
    return table;
}

const Table& tableFor(const QString& language)
{
    // Both tables are small; they are read once and kept for the life of the process.
    static const Table english = loadTable(QStringLiteral("en"));
    static const Table japanese = loadTable(QStringLiteral("ja"));
    return language == QLatin1String("ja") ? japanese : english;
}
} // namespace

QString LocalizedStrings::string(const QString& key)
{
    return tableFor(language()).value(key);
}

QString LocalizedStrings::format(const QString& key, const QStringList& arguments)
{
    return formatText(string(key), arguments);
}

QString LocalizedStrings::formatText(const QString& format, const QStringList& arguments)
{
    QString result;
    result.reserve(format.size());
    qsizetype nextArgument = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        const QChar following = i + 1 < format.size() ? format.at(i + 1) : QChar();
        if (c == QLatin1Char('%') && following == QLatin1Char('@')) {
            // A format with more placeholders than arguments leaves the extra ones empty.
            if (nextArgument < arguments.size())
                result += arguments.at(nextArgument);
            ++nextArgument;
            ++i;
        } else if (c == QLatin1Char('%') && following == QLatin1Char('%')) {
            result += QLatin1Char('%');
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

QString LocalizedStrings::language()
{
    if (!forcedLanguage.isEmpty())
        return forcedLanguage;
    return QLocale::system().language() == QLocale::Japanese ? QStringLiteral("ja")
                                                             : QStringLiteral("en");
}

void LocalizedStrings::setLanguage(const QString& language)
{
    forcedLanguage = availableLanguages().contains(language) ? language : QString();
}

QStringList LocalizedStrings::availableLanguages()
{
    return {QStringLiteral("en"), QStringLiteral("ja")};
}

QStringList LocalizedStrings::keys(const QString& language)
{
    return tableFor(language).keys();
}

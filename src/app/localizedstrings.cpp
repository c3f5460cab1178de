#include "localizedstrings.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace {
QString forcedLanguage;

// The translator of the language in use, installed in the application so that
// qtTrId finds its texts. It is swapped when the language is forced.
struct InstalledTranslator
{
    QString language;
    std::unique_ptr<QTranslator> translator;
};

InstalledTranslator& installed()
{
    static InstalledTranslator current;
    return current;
}

void installTranslatorFor(const QString& language)
{
    InstalledTranslator& current = installed();
    if (current.translator && current.language == language)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/talvoren_%1.qm").arg(language)))
        return;
    if (current.translator)
        QCoreApplication::removeTranslator(current.translator.get());
    QCoreApplication::installTranslator(translator.get());
    current = {language, std::move(translator)};
}
} // namespace

QString LocalizedStrings::string(const QString& key)
{
    installTranslatorFor(language());
    const QByteArray id = key.toUtf8();
    const QString text = qtTrId(id.constData());
    // qtTrId answers an id it has no text for with the id itself.
    return text == key ? QString() : text;
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

#include "export/baseexportxmloperator.h"

#include "common/applicationresources.h"
#include "common/log.h"

#include <QFile>
#include <QStringDecoder>
#include <limits>
#include <map>
#include <mutex>

namespace {
const QChar placeholderMark = QLatin1Char('%');
const QChar replacementCharacter(0xFFFD);

bool isXmlCharacter(char32_t code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// Leading integer after optional blanks and sign, 0 when there is none; values
// beyond 32 bits stop at the nearest limit.
int leadingInteger(const QString& text)
{
    qsizetype index = 0;
    while (index < text.size() &&
           (text[index] == QLatin1Char(' ') || text[index] == QLatin1Char('\t')))
        ++index;
    bool negative = false;
    if (index < text.size() && (text[index] == QLatin1Char('-') || text[index] == QLatin1Char('+')))
        negative = text[index++] == QLatin1Char('-');
    qint64 magnitude = 0;
    const qint64 limit =
        negative ? qint64(std::numeric_limits<int>::max()) + 1 : std::numeric_limits<int>::max();
    for (;
         index < text.size() && text[index] >= QLatin1Char('0') && text[index] <= QLatin1Char('9');
         ++index)
        magnitude = std::min(limit, magnitude * 10 + (text[index].unicode() - '0'));
    return static_cast<int>(negative ? -magnitude : magnitude);
}
} // namespace

BaseExportXmlOperator::BaseExportXmlOperator(std::optional<QString> templateText,
                                             MakerNoteGeneration generation)
    : templateText(std::move(templateText)), generation(generation)
{
}

std::optional<QString> BaseExportXmlOperator::loadTemplate(const QString& name)
{
    const QString path = ApplicationResources::path(name, QStringLiteral("template"));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        Log::error(
            QStringLiteral("XML template [%1] is missing; no sidecars are written.").arg(name));
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(file.readAll());
    if (decoder.hasError()) {
        Log::error(
            QStringLiteral("XML template [%1] is not UTF-8; no sidecars are written.").arg(name));
        return std::nullopt;
    }
    return text;
}

const std::optional<QString>& BaseExportXmlOperator::shippedTemplate(const QString& name)
{
    static std::mutex lock;
    static std::map<QString, std::optional<QString>> loaded;
    const std::lock_guard guard(lock);
    auto found = loaded.find(name);
    if (found == loaded.end())
        found = loaded.emplace(name, loadTemplate(name)).first;
    return found->second;
}

std::optional<QString>
BaseExportXmlOperator::getXmlData(const ExtendedMakerNoteEntity& entity) const
{
    return createXmlData(entity);
}

std::optional<QString>
BaseExportXmlOperator::createXmlData(const ExtendedMakerNoteEntity& entity) const
{
    if (!templateText)
        return std::nullopt;
    const QString& format = *templateText;
    QString text;
    text.reserve(format.size() + 64 * qsizetype(MakerNoteFields::table.size()));
    // The next table row this generation carries, or the end of the table.
    auto next = MakerNoteFields::table.begin();
    const auto skipOtherGeneration = [&] {
        while (next != MakerNoteFields::table.end() && !next->isIn(generation))
            ++next;
    };
    skipOtherGeneration();
    for (qsizetype index = 0; index < format.size(); ++index) {
        if (format[index] != placeholderMark) {
            text += format[index];
            continue;
        }
        const QChar kind = index + 1 < format.size() ? format[index + 1] : QChar();
        ++index;
        if (kind == placeholderMark) {
            text += placeholderMark;
        } else if (kind == QLatin1Char('@') && next != MakerNoteFields::table.end()) {
            text += escapedForXml(formattingOutputString(entity.*next->member, next->isHex()));
            ++next;
            skipOtherGeneration();
        } else {
            // An unknown directive or more placeholders than values.
            return std::nullopt;
        }
    }
    if (next != MakerNoteFields::table.end())
        return std::nullopt;
    return text;
}

QString BaseExportXmlOperator::formattingOutputString(const Text& value, bool isHex, bool isDecimal)
{
    if (!value || value->isEmpty())
        return {};
    const QString prefix = isHex ? QStringLiteral("0x") : QString();
    if (isDecimal)
        return prefix + QString::number(leadingInteger(*value));
    return prefix + *value;
}

QString BaseExportXmlOperator::escapedForXml(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype index = 0; index < text.size(); ++index) {
        const QChar c = text[index];
        if (c.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate()) {
            escaped += c;
            escaped += text[++index];
        } else if (c == QLatin1Char('&')) {
            escaped += QStringLiteral("&amp;");
        } else if (c == QLatin1Char('<')) {
            escaped += QStringLiteral("&lt;");
        } else if (c == QLatin1Char('>')) {
            escaped += QStringLiteral("&gt;");
        } else if (c.isSurrogate() || !isXmlCharacter(c.unicode())) {
            escaped += replacementCharacter;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

#include "export/baseexportxmloperator.h"

#include "common/applicationresources.h"
#include "common/log.h"

#include <QFile>
#include <QStringDecoder>
#include <limits>

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

const std::vector<BaseExportXmlOperator::Value>& BaseExportXmlOperator::patientAndOperatorValues()
{
    static const std::vector<Value> values = {
        {&ExtendedMakerNoteEntity::patientNameOrder, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_0, true},
        {&ExtendedMakerNoteEntity::patientID, false},
        {&ExtendedMakerNoteEntity::patientName, false},
        {&ExtendedMakerNoteEntity::patientName_A, false},
        {&ExtendedMakerNoteEntity::patientName_I, false},
        {&ExtendedMakerNoteEntity::patientName_P, false},
        {&ExtendedMakerNoteEntity::patientSex, false},
        {&ExtendedMakerNoteEntity::patientBirthDate, false},
        {&ExtendedMakerNoteEntity::patientAge_QR, false},
        {&ExtendedMakerNoteEntity::date_QR, false},
        {&ExtendedMakerNoteEntity::patientInfoFlag_1, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_2, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_3, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_4, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_5, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_6, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_7, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_8, true},
        {&ExtendedMakerNoteEntity::patientInfoFlag_9, true},
        {&ExtendedMakerNoteEntity::operatorsNameOrder, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_0, true},
        {&ExtendedMakerNoteEntity::operatorsID, false},
        {&ExtendedMakerNoteEntity::operatorsName_A, false},
        {&ExtendedMakerNoteEntity::operatorsName_I, false},
        {&ExtendedMakerNoteEntity::operatorsName_P, false},
        {&ExtendedMakerNoteEntity::operatorsGroup, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_1, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_2, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_3, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_4, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_5, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_6, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_7, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_8, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_9, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_10, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_11, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_12, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_13, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_14, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_15, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_16, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_17, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_18, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_19, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_20, true},
        {&ExtendedMakerNoteEntity::operatorInfoFlag_21, true},
    };
    return values;
}

std::vector<BaseExportXmlOperator::Value>
BaseExportXmlOperator::joined(const std::vector<Value>& before, const std::vector<Value>& shared,
                              const std::vector<Value>& after)
{
    std::vector<Value> all = before;
    all.insert(all.end(), shared.begin(), shared.end());
    all.insert(all.end(), after.begin(), after.end());
    return all;
}

BaseExportXmlOperator::BaseExportXmlOperator(std::optional<QString> templateText,
                                             const std::vector<Value>& values)
    : templateText(std::move(templateText)), values(values)
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
    text.reserve(format.size() + 64 * qsizetype(values.size()));
    size_t next = 0;
    for (qsizetype index = 0; index < format.size(); ++index) {
        if (format[index] != placeholderMark) {
            text += format[index];
            continue;
        }
        const QChar kind = index + 1 < format.size() ? format[index + 1] : QChar();
        ++index;
        if (kind == placeholderMark) {
            text += placeholderMark;
        } else if (kind == QLatin1Char('@') && next < values.size()) {
            const Value& value = values[next++];
            text += escapedForXml(formattingOutputString(entity.*value.field, value.isHex));
        } else {
            // An unknown directive or more placeholders than values.
            return std::nullopt;
        }
    }
    if (next != values.size())
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

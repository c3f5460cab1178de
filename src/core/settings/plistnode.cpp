#include "settings/plistnode.h"

#include <cstdlib>
#include <limits>
#include <utility>

PlistNode::~PlistNode()
{
    if (node != nullptr)
        plist_free(node);
}

plist_t PlistNode::release()
{
    plist_t released = node;
    node = nullptr;
    return released;
}

bool PlistNode::isNestingWithinLimit(const QByteArray& xml)
{
    // Counts every <dict> and <array> that opens a level. Text inside elements
    // cannot hold a raw '<', so this over-counts only in comments and CDATA, where
    // it errs on the side of refusing.
    const QByteArrayView text(xml);
    const auto opensContainer = [&text](qsizetype at) {
        const QByteArrayView rest = text.sliced(at);
        return rest.startsWith("dict") || rest.startsWith("array");
    };
    int depth = 0;
    for (qsizetype i = xml.indexOf('<'); i >= 0; i = xml.indexOf('<', i + 1)) {
        if (i + 1 < xml.size() && xml[i + 1] == '/') {
            if (opensContainer(i + 2) && depth > 0)
                --depth;
            continue;
        }
        if (!opensContainer(i + 1))
            continue;
        const qsizetype close = xml.indexOf('>', i);
        if (close < 0)
            return true; // unterminated: the parser refuses it
        if (xml[close - 1] == '/')
            continue; // <dict/> opens no level
        if (++depth > maximumNesting)
            return false;
    }
    return true;
}

plist_t PlistNode::fromXml(const QByteArray& xml)
{
    if (xml.isEmpty() || xml.size() > std::numeric_limits<uint32_t>::max())
        return nullptr;
    if (!isNestingWithinLimit(xml))
        return nullptr;
    plist_t parsed = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &parsed);
    return parsed;
}

QByteArray PlistNode::toXml(plist_t node)
{
    char* text = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &text, &length);
    if (text == nullptr)
        return {};
    QByteArray xml(text, static_cast<qsizetype>(length));
    plist_to_xml_free(text);
    return xml;
}

QString PlistNode::typeName(plist_t node)
{
    constexpr std::pair<plist_type, const char*> names[] = {
        {PLIST_BOOLEAN, "boolean"}, {PLIST_UINT, "integer"}, {PLIST_REAL, "real"},
        {PLIST_STRING, "string"},   {PLIST_ARRAY, "array"},  {PLIST_DICT, "dict"},
        {PLIST_DATE, "date"},       {PLIST_DATA, "data"},    {PLIST_UID, "uid"}};
    const plist_type type = plist_get_node_type(node);
    for (const auto& [known, name] : names) {
        if (known == type)
            return QLatin1String(name);
    }
    return QStringLiteral("other");
}

SettingValue PlistNode::toSettingValue(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return SettingValue(value != 0);
    }
    case PLIST_UINT: {
        // libplist keeps negative integers as their two's complement.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return SettingValue(static_cast<qint64>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return SettingValue(value);
    }
    case PLIST_STRING: {
        char* value = nullptr;
        plist_get_string_val(node, &value);
        const QString text = QString::fromUtf8(value);
        std::free(value);
        return SettingValue(text);
    }
    default:
        return SettingValue(std::make_shared<const PlistNode>(plist_copy(node)));
    }
}

plist_t PlistNode::fromSettingValue(const SettingValue& value)
{
    switch (value.type()) {
    case SettingValue::Type::Boolean:
        return plist_new_bool(value.boolValue() ? 1 : 0);
    case SettingValue::Type::Integer:
        return plist_new_uint(static_cast<uint64_t>(value.integerValue()));
    case SettingValue::Type::Real:
        return plist_new_real(value.doubleValue());
    case SettingValue::Type::String:
        return plist_new_string(value.stringValue().toUtf8().constData());
    case SettingValue::Type::Other:
        break;
    }
    return plist_copy(value.otherNode()->get());
}

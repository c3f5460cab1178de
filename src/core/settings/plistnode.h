#pragma once

#include "settings/settingvalue.h"

#include <QByteArray>
#include <plist/plist.h>

// Owns one libplist node tree and frees it. Also converts between nodes and
// SettingValue, and guards libplist (which recurses over nesting) from
// absurdly deep documents.
class PlistNode
{
public:
    explicit PlistNode(plist_t node) : node(node) {}
    ~PlistNode();
    PlistNode(const PlistNode&) = delete;
    PlistNode& operator=(const PlistNode&) = delete;

    plist_t get() const { return node; }
    plist_t release();

    // Deeper array/dict nesting than this is refused before parsing.
    static constexpr int maximumNesting = 32;
    static bool isNestingWithinLimit(const QByteArray& xml);
    // Parses the XML; null on any error.
    static plist_t fromXml(const QByteArray& xml);
    static QByteArray toXml(plist_t node);

    // The property-list name of the node's type: "boolean", "integer", "real",
    // "string", "array", "dict", "date", "data", "uid" or "other".
    static QString typeName(plist_t node);

    static SettingValue toSettingValue(plist_t node);
    // A new node the caller owns.
    static plist_t fromSettingValue(const SettingValue& value);

private:
    plist_t node;
};

#pragma once

#include "settings/settingvalue.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The settings as a string-keyed map of values, read from and written to an XML
// property list whose root is a dictionary. A file that is missing, is not a
// property list, has another root, is nested absurdly deep or is larger than any
// settings file could be reads as no dictionary; whyNot then says why in words
// (with the XML parser's reason, line and column for a damaged file).
class SettingsDictionary
{
public:
    // Far above any real settings file (a few kilobytes); bigger files are refused.
    static constexpr qint64 maximumFileSize = 4 * 1024 * 1024;

    static std::optional<SettingsDictionary> fromXml(const QByteArray& xml,
                                                     QString* whyNot = nullptr);
    static std::optional<SettingsDictionary> read(const QString& path, QString* whyNot = nullptr);

    // The XML property list (keys in sorted order).
    QByteArray toXml() const;
    // Whole-file and atomic: a temporary file beside the target is renamed over
    // it, so a reader sees the old or the new file, never a part.
    bool write(const QString& path) const;

    bool contains(const QString& key) const { return values.contains(key); }
    std::optional<SettingValue> value(const QString& key) const;
    void setValue(const QString& key, const SettingValue& value);
    // Sets the value only when the key is missing; true when it was set.
    bool setValueIfMissing(const QString& key, const SettingValue& value);
    void remove(const QString& key) { values.remove(key); }
    QStringList keys() const { return values.keys(); }
    qsizetype size() const { return values.size(); }
    bool isEmpty() const { return values.isEmpty(); }

    // Coerced reads (see SettingValue); a missing key gives the fallback.
    bool boolValue(const QString& key, bool missing = false) const;
    qint64 integerValue(const QString& key, qint64 missing = 0) const;
    double doubleValue(const QString& key, double missing = 0.0) const;
    QString stringValue(const QString& key, const QString& missing = {}) const;

    bool operator==(const SettingsDictionary& other) const { return values == other.values; }

private:
    QMap<QString, SettingValue> values;
};

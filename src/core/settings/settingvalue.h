#pragma once

#include <QString>
#include <QStringView>
#include <concepts>
#include <memory>
#include <variant>

class PlistNode;

// One value of the settings file: a boolean, an integer, a real or a text. The
// same key may hold different types depending on who wrote it last, so every
// reader asks for the type it needs and the value is coerced:
// - boolean: a number is true when non-zero; a text is true when, after leading
//   blanks, an optional sign and leading zeros, it starts with Y, y, T, t or 1-9;
// - integer or real: a number as is; a text by its leading decimal number (0 when
//   there is none);
// - text: a text as is; a number by its decimal text (a boolean as "1" or "0").
// Values of other property-list types (arrays, dates, data) written by other
// programs are kept unchanged so that a rewrite loses nothing; they read as
// false, 0 and empty.
class SettingValue
{
public:
    enum class Type
    {
        Boolean,
        Integer,
        Real,
        String,
        Other
    };

    SettingValue(bool value) : data(value) {}
    template <std::integral T>
    requires(!std::same_as<T, bool>) SettingValue(T value) : data(static_cast<qint64>(value)) {}
    SettingValue(double value) : data(value) {}
    SettingValue(const QString& value) : data(value) {}
    SettingValue(const char* utf8) : data(QString::fromUtf8(utf8)) {}
    // A value of another property-list type, kept as it was read.
    explicit SettingValue(std::shared_ptr<const PlistNode> node) : data(std::move(node)) {}

    Type type() const { return static_cast<Type>(data.index()); }
    // "boolean", "integer", "real", "string", or the property-list name of another
    // type ("array", "dict", "date", "data").
    QString typeName() const;

    bool boolValue() const;
    qint64 integerValue() const;
    double doubleValue() const;
    QString stringValue() const;

    // The kept node of a value of another type; null for the four plain types.
    const PlistNode* otherNode() const;

    bool operator==(const SettingValue& other) const;

    // The text coercions on their own.
    static bool boolFromString(QStringView text);
    static qint64 integerFromString(QStringView text);
    static double realFromString(QStringView text);

private:
    std::variant<bool, qint64, double, QString, std::shared_ptr<const PlistNode>> data;
};

// talvoren-cli settings: read and script the settings file the way the
// application itself reads and writes it.
#include "clicommand.h"
#include "settings/settingsdictionary.h"
#include "settings/settingsvalidation.h"
#include "settings/usersettings.h"

#include <QFileInfo>
#include <QLocale>
#include <cmath>
#include <optional>

namespace {
const QString usageText =
    QStringLiteral("settings list | get KEY [--as bool|int|real|string] | set KEY VALUE "
                   "[--type bool|int|real|string] | path");
const QStringList typeNames = {QStringLiteral("bool"), QStringLiteral("int"),
                               QStringLiteral("real"), QStringLiteral("string")};

constexpr int failed = CliExit::failed;
constexpr int badUsage = CliExit::badUsage;

const QCommandLineOption
    asOption(QStringLiteral("as"),
             QStringLiteral("get: the value as Talvoren reads it: bool, int, real or string."),
             QStringLiteral("TYPE"));
const QCommandLineOption
    typeOption(QStringLiteral("type"),
               QStringLiteral("set: store the value as bool, int, real or string."),
               QStringLiteral("TYPE"));

struct Arguments
{
    QStringList positional;
    std::optional<QString> as;
    std::optional<QString> type;
};

// The words and the --as / --type values, which must name a type; "--" ends the
// options so that a value may start with a dash.
std::optional<Arguments> parseArguments(const QCommandLineParser& parser, QTextStream& err)
{
    Arguments parsed;
    parsed.positional = parser.positionalArguments();
    for (const auto& [option, target] :
         {std::pair{&asOption, &parsed.as}, {&typeOption, &parsed.type}}) {
        if (!parser.isSet(*option))
            continue;
        const QString value = parser.value(*option);
        if (!typeNames.contains(value)) {
            err << "talvoren-cli settings: --" << option->names().first() << " takes one of "
                << typeNames.join(QLatin1String(", ")) << "\n";
            return std::nullopt;
        }
        *target = value;
    }
    return parsed;
}

std::optional<SettingsDictionary> readSettings(const QString& path, QTextStream& err)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        err << "talvoren-cli settings: no settings file at " << path << "\n";
        return std::nullopt;
    }
    QString reason;
    std::optional<SettingsDictionary> dictionary = SettingsDictionary::read(path, &reason);
    if (!dictionary)
        err << "talvoren-cli settings: " << path << " is corrupt: " << reason
            << " (it must be an XML property list holding a dictionary)\n";
    return dictionary;
}

QString realText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString storedText(const SettingValue& value)
{
    switch (value.type()) {
    case SettingValue::Type::Boolean:
        return value.boolValue() ? QStringLiteral("true") : QStringLiteral("false");
    case SettingValue::Type::Real:
        return realText(value.doubleValue());
    default:
        return value.stringValue();
    }
}

QString coercedText(const SettingsDictionary& dictionary, const QString& key, const QString& as)
{
    if (as == QLatin1String("bool"))
        return dictionary.boolValue(key) ? QStringLiteral("true") : QStringLiteral("false");
    if (as == QLatin1String("int"))
        return QString::number(dictionary.integerValue(key));
    if (as == QLatin1String("real"))
        return realText(dictionary.doubleValue(key));
    return dictionary.stringValue(key);
}

// Keeps one key per line whatever its value holds.
QString escaped(QString text)
{
    return text.replace(u'\\', QLatin1String("\\\\"))
        .replace(u'\t', QLatin1String("\\t"))
        .replace(u'\n', QLatin1String("\\n"))
        .replace(u'\r', QLatin1String("\\r"));
}

// The typed value of a command-line text, strictly: a text that does not fit the
// type is refused rather than coerced.
std::optional<SettingValue> parseValue(const QString& text, const QString& type)
{
    if (type == QLatin1String("bool")) {
        const QString word = text.toLower();
        if (word == QLatin1String("true") || word == QLatin1String("yes") || word == u'1')
            return SettingValue(true);
        if (word == QLatin1String("false") || word == QLatin1String("no") || word == u'0')
            return SettingValue(false);
        return std::nullopt;
    }
    bool ok = false;
    if (type == QLatin1String("int")) {
        const qint64 value = text.toLongLong(&ok);
        return ok ? std::optional<SettingValue>(value) : std::nullopt;
    }
    if (type == QLatin1String("real")) {
        const double value = QLocale::c().toDouble(text, &ok);
        return ok && std::isfinite(value) ? std::optional<SettingValue>(value) : std::nullopt;
    }
    return SettingValue(text);
}

QString cliTypeName(SettingValue::Type type)
{
    switch (type) {
    case SettingValue::Type::Boolean:
        return QStringLiteral("bool");
    case SettingValue::Type::Integer:
        return QStringLiteral("int");
    case SettingValue::Type::Real:
        return QStringLiteral("real");
    default:
        return QStringLiteral("string");
    }
}

int list(const QString& path, QTextStream& out, QTextStream& err)
{
    const std::optional<SettingsDictionary> dictionary = readSettings(path, err);
    if (!dictionary)
        return failed;
    for (const QString& key : dictionary->keys()) {
        const SettingValue value = *dictionary->value(key);
        out << key << '\t' << value.typeName() << '\t' << escaped(storedText(value)) << '\n';
    }
    return 0;
}

int get(const QString& path, const Arguments& arguments, QTextStream& out, QTextStream& err)
{
    const std::optional<SettingsDictionary> dictionary = readSettings(path, err);
    if (!dictionary)
        return failed;
    const QString& key = arguments.positional[1];
    // Coerced like the readers, a missing key reads as false, 0 or empty.
    if (arguments.as) {
        out << coercedText(*dictionary, key, *arguments.as) << '\n';
        return 0;
    }
    const std::optional<SettingValue> value = dictionary->value(key);
    if (!value) {
        err << "talvoren-cli settings: no key \"" << key << "\" in " << path << "\n";
        return failed;
    }
    out << storedText(*value) << '\n';
    return 0;
}

int set(const QString& path, const Arguments& arguments, QTextStream& out, QTextStream& err)
{
    std::optional<SettingsDictionary> dictionary = readSettings(path, err);
    if (!dictionary)
        return failed;
    const QString& key = arguments.positional[1];
    const QString& text = arguments.positional[2];
    // Without --type a key keeps the type it has; a new key is a string.
    const std::optional<SettingValue> current = dictionary->value(key);
    const QString type =
        arguments.type.value_or(current ? cliTypeName(current->type()) : QStringLiteral("string"));
    const std::optional<SettingValue> value = parseValue(text, type);
    if (!value) {
        err << "talvoren-cli settings: \"" << text << "\" is not a valid " << type << " value\n";
        return failed;
    }
    const SettingsDictionary before = *dictionary;
    dictionary->setValue(key, *value);
    // A value that would let a run write outside its folders is refused.
    if (const std::optional<SettingProblem> problem =
            SettingsValidation::firstNewProblem(before, *dictionary)) {
        err << "talvoren-cli settings: refused: " << problem->message() << "\n";
        return failed;
    }
    if (!dictionary->write(path)) {
        err << "talvoren-cli settings: cannot write " << path << "\n";
        return failed;
    }
    out << key << '\t' << value->typeName() << '\t' << escaped(storedText(*value)) << '\n';
    return 0;
}

int run(const QCommandLineParser& parser, QTextStream& out, QTextStream& err)
{
    const std::optional<Arguments> arguments = parseArguments(parser, err);
    if (!arguments)
        return badUsage;
    const QStringList& positional = arguments->positional;
    const QString command = positional.value(0);
    const qsizetype expected = command == QLatin1String("list")   ? 1
                               : command == QLatin1String("path") ? 1
                               : command == QLatin1String("get")  ? 2
                               : command == QLatin1String("set")  ? 3
                                                                  : -1;
    const bool optionFits = (!arguments->as || command == QLatin1String("get")) &&
                            (!arguments->type || command == QLatin1String("set"));
    if (expected != positional.size() || !optionFits) {
        err << "usage: talvoren-cli " << usageText << "\n";
        return badUsage;
    }
    const QString path = UserSettings::path();
    if (command == QLatin1String("path")) {
        out << path << '\n';
        return 0;
    }
    if (command == QLatin1String("list"))
        return list(path, out, err);
    if (command == QLatin1String("get"))
        return get(path, *arguments, out, err);
    return set(path, *arguments, out, err);
}

const CliCommandRegistration registration(CliCommand{
    QStringLiteral("settings"),
    QStringLiteral("Reads and changes the settings file as Talvoren does."),
    {asOption, typeOption},
    {{QStringLiteral("ACTION"),
      QStringLiteral("path (where the file is), list (every key), get KEY or set KEY VALUE."),
      {}},
     {QStringLiteral("KEY"), QStringLiteral("A key as the file spells it, spaces included."),
      QStringLiteral("[KEY]")},
     {QStringLiteral("VALUE"),
      QStringLiteral("The new value (after \"--\" when it starts with a dash)."),
      QStringLiteral("[VALUE]")}},
    run});
} // namespace

#include "settings/settingsvalidation.h"

#include "settings/settingkeys.h"

#include <QDate>
#include <QLocale>

namespace {
// No file system here takes a longer name.
constexpr qsizetype longestFolderNameBytes = 255;

// A folder value that is stored: a text, absolute unless empty.
std::optional<QString> storedFolderProblem(const SettingValue& value)
{
    if (value.type() != SettingValue::Type::String)
        return QStringLiteral(
                   "must be a text holding an absolute folder path, not a value of type %1")
            .arg(value.typeName());
    const QString path = value.stringValue();
    if (!path.isEmpty() && !path.startsWith(QLatin1Char('/')))
        return QStringLiteral("must be an absolute folder path, not \"%1\"").arg(path);
    return std::nullopt;
}

std::optional<SettingProblem> requiredFolderProblem(const SettingsDictionary& settings,
                                                    const QString& key)
{
    const std::optional<SettingValue> value = settings.value(key);
    if (!value || (value->type() == SettingValue::Type::String && value->stringValue().isEmpty()))
        return SettingProblem{key, QStringLiteral("is not set")};
    if (const std::optional<QString> reason = storedFolderProblem(*value))
        return SettingProblem{key, *reason};
    return std::nullopt;
}
} // namespace

QString SettingProblem::message() const
{
    return QStringLiteral("The setting \"%1\" %2.").arg(key, reason);
}

const QList<QLatin1String>& SettingsValidation::folderKeys()
{
    static const QList<QLatin1String> keys = {SettingKeys::watchFolderPath,
                                              SettingKeys::destinationFolderPath,
                                              SettingKeys::destinationFolderPathMov,
                                              SettingKeys::defSetting,
                                              SettingKeys::defImp,
                                              SettingKeys::defLog,
                                              SettingKeys::defTmp};
    return keys;
}

QList<SettingProblem> SettingsValidation::problems(const SettingsDictionary& settings)
{
    QList<SettingProblem> found;
    for (const QLatin1String key : folderKeys()) {
        if (const std::optional<SettingValue> value = settings.value(key)) {
            if (const std::optional<QString> reason = storedFolderProblem(*value))
                found.append({key, *reason});
        }
    }
    // An empty format names no day folder; that matters only while day folders are on.
    const QString dateFormat = settings.stringValue(SettingKeys::dateFormatString);
    if (settings.contains(SettingKeys::dateFormatString) &&
        (!dateFormat.isEmpty() || settings.boolValue(SettingKeys::saveDaySubfolder))) {
        if (const std::optional<QString> reason = dayFolderProblem(dateFormat))
            found.append({SettingKeys::dateFormatString, *reason});
    }
    return found;
}

std::optional<SettingProblem> SettingsValidation::firstNewProblem(const SettingsDictionary& before,
                                                                  const SettingsDictionary& after)
{
    const QList<SettingProblem> known = problems(before);
    for (const SettingProblem& problem : problems(after)) {
        if (!known.contains(problem))
            return problem;
    }
    return std::nullopt;
}

std::optional<SettingProblem>
SettingsValidation::checkRunFolders(const SettingsDictionary& settings, Use use)
{
    QList<QLatin1String> keys = {SettingKeys::defTmp, SettingKeys::destinationFolderPath};
    if (settings.boolValue(SettingKeys::destinationFolderMov))
        keys.append(SettingKeys::destinationFolderPathMov);
    if (use == Use::Watch) {
        if (settings.boolValue(SettingKeys::watchFolder))
            keys.append(SettingKeys::watchFolderPath);
        keys.append(SettingKeys::defImp);
    }
    for (const QLatin1String key : keys) {
        if (std::optional<SettingProblem> problem = requiredFolderProblem(settings, key))
            return problem;
    }
    return std::nullopt;
}

QString SettingsValidation::folderDateFormat(const QString& dateFormatString)
{
    QString format = dateFormatString;
    format.replace(QLatin1String("YYYY"), QLatin1String("yyyy"));
    format.replace(QLatin1String("DD"), QLatin1String("dd"));
    return format;
}

std::optional<QString> SettingsValidation::dayFolderProblem(const QString& dateFormatString)
{
    // Literal text is the same for every day, so one day shows what every day gives.
    const QString name =
        QLocale::system().toString(QDate(2024, 12, 31), folderDateFormat(dateFormatString));
    const auto refused = [&](const QString& why) {
        return QStringLiteral("must give one plain folder name for a day; \"%1\" gives \"%2\", %3")
            .arg(dateFormatString, name, why);
    };
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return refused(QStringLiteral("which is no folder name"));
    static const QString reserved = QStringLiteral("/:*?<>|\"");
    for (const QChar character : name) {
        if (reserved.contains(character) || character.unicode() < 0x20)
            return refused(QStringLiteral("which holds '%1'").arg(character));
    }
    if (name.toUtf8().size() > longestFolderNameBytes)
        return refused(QStringLiteral("which is longer than %1 bytes").arg(longestFolderNameBytes));
    return std::nullopt;
}

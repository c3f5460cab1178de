#include "platform/autostartonloginservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
const QString entryBaseName = QStringLiteral("talvoren");
const QString entrySuffix = QStringLiteral(".desktop");
// A desktop entry is a few hundred bytes; anything far larger is not one of ours.
constexpr qint64 maximumEntryBytes = 64 * 1024;

// The keys of the [Desktop Entry] group, values as written (string escapes kept).
QHash<QString, QString> readDesktopEntryGroup(const QString& path)
{
    QHash<QString, QString> keys;
    QFile file(path);
    if (file.size() > maximumEntryBytes || !file.open(QIODevice::ReadOnly))
        return keys;
    bool inEntryGroup = false;
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntryGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inEntryGroup || line.startsWith(QLatin1Char('#')) || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        // The first occurrence of a key counts.
        if (!keys.contains(key))
            keys.insert(key, line.mid(equals + 1).trimmed());
    }
    return keys;
}

// The string escapes of a desktop entry value (\s \n \t \r \\) and what they stand for.
const QString escapeCodes = QStringLiteral("sntr\\");
const QString escapedCharacters = QStringLiteral(" \n\t\r\\");

// Undoes those escapes.
QString unescapeString(const QString& value)
{
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        const QChar next = value[++i];
        const qsizetype escape = escapeCodes.indexOf(next);
        // Not a string escape: left for the quoting rules of the Exec value.
        if (escape < 0)
            result += QLatin1Char('\\');
        result += escape < 0 ? next : escapedCharacters[escape];
    }
    return result;
}

bool isActive(const QHash<QString, QString>& keys)
{
    return keys.value(QStringLiteral("Hidden")) != QLatin1String("true") &&
           keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

bool isSameProgram(const QString& program, const QString& executable)
{
    if (QDir::cleanPath(program) == QDir::cleanPath(executable))
        return true;
    const QString canonicalProgram = QFileInfo(program).canonicalFilePath();
    return !canonicalProgram.isEmpty() &&
           canonicalProgram == QFileInfo(executable).canonicalFilePath();
}
} // namespace

AutostartOnLoginService::AutostartOnLoginService()
    : AutostartOnLoginService(QCoreApplication::applicationFilePath(), defaultAutostartFolder())
{
}

AutostartOnLoginService::AutostartOnLoginService(const QString& executablePath,
                                                 const QString& autostartFolder)
    : executablePath(executablePath), autostartFolder(autostartFolder)
{
}

QString AutostartOnLoginService::defaultAutostartFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("autostart"));
}

QString AutostartOnLoginService::execValueFor(const QString& program)
{
    QString quoted;
    for (const QChar c : program) {
        // Inside double quotes these four are escaped by a backslash.
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        // A percent sign would start a field code.
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    // Then the string escapes of the file format itself.
    QString value;
    for (const QChar c : quoted) {
        // A blank is inside the quotes already: every escape but \s.
        const qsizetype escape = escapedCharacters.indexOf(c, 1);
        if (escape >= 0)
            value += QLatin1Char('\\');
        value += escape >= 0 ? escapeCodes[escape] : c;
    }
    return value;
}

std::optional<QString> AutostartOnLoginService::programOfExecValue(const QString& value)
{
    const QString command =
        unescapeString(value).replace(QStringLiteral("%%"), QStringLiteral("%"));
    QString program;
    if (command.startsWith(QLatin1Char('"'))) {
        qsizetype i = 1;
        for (; i < command.size() && command[i] != QLatin1Char('"'); ++i) {
            if (command[i] == QLatin1Char('\\') && i + 1 < command.size())
                ++i;
            program += command[i];
        }
        if (i == command.size())
            return std::nullopt; // no closing quote
    } else {
        program = command.section(QRegularExpression(QStringLiteral("[ \t]")), 0, 0);
    }
    if (program.isEmpty())
        return std::nullopt;
    if (!program.startsWith(QLatin1Char('/'))) {
        program = QStandardPaths::findExecutable(program);
        if (program.isEmpty())
            return std::nullopt;
    }
    return program;
}

std::optional<QString> AutostartOnLoginService::findEntryFile(Activity activity) const
{
    const QDir folder(autostartFolder);
    const QStringList names =
        folder.entryList({QLatin1Char('*') + entrySuffix}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        const QHash<QString, QString> keys = readDesktopEntryGroup(path);
        const std::optional<QString> program =
            programOfExecValue(keys.value(QStringLiteral("Exec")));
        if (!program || !isSameProgram(*program, executablePath))
            continue;
        if (activity == Activity::AnyEntry || isActive(keys))
            return path;
    }
    return std::nullopt;
}

QString AutostartOnLoginService::freeEntryFile() const
{
    const QDir folder(autostartFolder);
    QString path = folder.filePath(entryBaseName + entrySuffix);
    // Another copy of the application at a different place keeps its own entry.
    for (int number = 2; QFileInfo::exists(path); ++number)
        path = folder.filePath(
            QStringLiteral("%1-%2%3").arg(entryBaseName).arg(number).arg(entrySuffix));
    return path;
}

void AutostartOnLoginService::enableLoginItem()
{
    if (!QDir().mkpath(autostartFolder))
        return;
    // An entry someone wrote for this executable (with arguments, a name, a delay)
    // is kept as it stands; one switched off is only switched on again.
    if (const std::optional<QString> existing = findEntryFile(Activity::AnyEntry)) {
        if (!isActive(readDesktopEntryGroup(*existing)))
            switchOn(*existing);
        return;
    }
    QSaveFile file(freeEntryFile());
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Talvoren\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execValueFor(executablePath));
    file.write(text.toUtf8());
    file.commit();
}

void AutostartOnLoginService::switchOn(const QString& path)
{
    QFile entry(path);
    if (entry.size() > maximumEntryBytes || !entry.open(QIODevice::ReadOnly))
        return;
    QByteArrayList lines = entry.readAll().split('\n');
    entry.close();
    // Only the two keys that switch an entry off are touched, in the entry's group.
    bool inEntryGroup = false;
    for (auto line = lines.begin(); line != lines.end();) {
        const QByteArray trimmed = line->trimmed();
        if (trimmed.startsWith('['))
            inEntryGroup = trimmed == "[Desktop Entry]";
        const QByteArray key = trimmed.left(trimmed.indexOf('=')).trimmed();
        if (inEntryGroup && key == "Hidden") {
            line = lines.erase(line);
            continue;
        }
        if (inEntryGroup && key == "X-GNOME-Autostart-enabled")
            *line = "X-GNOME-Autostart-enabled=true";
        ++line;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(lines.join('\n'));
        file.commit();
    }
}

void AutostartOnLoginService::disableLoginItem()
{
    if (const std::optional<QString> path = findEntryFile(Activity::ActiveEntry))
        QFile::remove(*path);
}

bool AutostartOnLoginService::isEnableLoginItem() const
{
    return findEntryFile(Activity::ActiveEntry).has_value();
}

// talvoren-cli import: files a folder by hand or from a script, exactly as the
// folder polls of the application do, with the application's settings file,
// database and day's log.
#include "clicommand.h"
#include "common/logfile.h"
#include "common/talvorencommon.h"
#include "importer/basewatchfolderoperator.h"
#include "importpreviewreport.h"
#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/settingsmigration.h"
#include "settings/usersettings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {
const QString usageText =
    QStringLiteral("import SOURCE [--move] [--import-folder] | import --dry-run SOURCE");
constexpr int badUsage = 1;
constexpr int runFailed = 2;

struct Arguments
{
    QString source;
    bool move = false;
    bool importFolder = false;
    bool dryRun = false;
};

std::optional<Arguments> parseArguments(const QStringList& words, QTextStream& err)
{
    Arguments parsed;
    for (const QString& word : words) {
        if (word == QLatin1String("--move")) {
            parsed.move = true;
        } else if (word == QLatin1String("--import-folder")) {
            parsed.importFolder = true;
        } else if (word == QLatin1String("--dry-run")) {
            parsed.dryRun = true;
        } else if (!word.startsWith(QLatin1String("--")) && parsed.source.isEmpty() &&
                   !word.isEmpty()) {
            parsed.source = word;
        } else {
            err << "talvoren-cli import: unexpected argument \"" << word << "\"\n";
            parsed.source.clear();
            break;
        }
    }
    if (parsed.source.isEmpty()) {
        err << "usage: talvoren-cli " << usageText << "\n";
        return std::nullopt;
    }
    return parsed;
}

// What the application's start does before its first poll: the data folder, the
// default settings and the seed database when missing, and the first-start
// completion of the folder settings.
std::optional<SettingsDictionary> prepareApplicationData()
{
    TalvorenCommon::getApplicationDataDirectory();
    UserSettings::copyDefaultPlist();
    SeedDatabase::installIfMissing();
    const std::optional<SettingsDictionary> settings = UserSettings::getUserSettingDictionary();
    if (settings && SettingsMigration::checkFirstTimeStart(*settings))
        return SettingsMigration().completeFirstStart();
    return settings;
}

// The run logs into the day's log file when logging is on; the terminal keeps the
// command's own messages.
class DayLog
{
public:
    explicit DayLog(const SettingsDictionary& settings)
    {
        if (!settings.boolValue(SettingKeys::isOutputLog))
            return;
        const QString path = LogFile::pathFor(settings.stringValue(SettingKeys::defLog),
                                              QDateTime::currentDateTime());
        std::fflush(stderr);
        terminal = ::dup(STDERR_FILENO);
        if (terminal >= 0 && !LogFile::redirectStandardError(path))
            restore();
    }
    ~DayLog() { restore(); }
    DayLog(const DayLog&) = delete;
    DayLog& operator=(const DayLog&) = delete;

    void restore()
    {
        if (terminal < 0)
            return;
        LogFile::close();
        ::dup2(terminal, STDERR_FILENO);
        ::close(terminal);
        terminal = -1;
    }

private:
    int terminal = -1;
};

int runImport(const QStringList& words, QTextStream& out, QTextStream& err)
{
    const std::optional<Arguments> arguments = parseArguments(words, err);
    if (!arguments)
        return badUsage;
    if (arguments->dryRun)
        return printImportPreview(arguments->source, out, err);
    const std::optional<SettingsDictionary> settings = prepareApplicationData();
    if (!settings) {
        err << "talvoren-cli import: no settings file at " << UserSettings::path() << "\n";
        return runFailed;
    }
    const QFileInfo source(arguments->source);
    if (!source.isDir()) {
        err << "talvoren-cli import: \"" << arguments->source << "\" is not a folder\n";
        return runFailed;
    }

    BaseWatchFolderOperator importer;
    std::optional<QString> failure;
    {
        DayLog log(*settings);
        // As the polls: the watch folder is moved when "delete original image" says so,
        // the Import folder always, and its unusable files are cleaned away.
        failure = importer.copyProcess(
            BaseWatchFolderOperator::deepEnumeration(source.absoluteFilePath()),
            arguments->move || arguments->importFolder, arguments->importFolder);
    }
    if (failure) {
        err << "talvoren-cli import: the import failed: " << *failure << "\n";
        return runFailed;
    }
    const SettingsDictionary current = UserSettings::getUserSettingDictionary().value_or(*settings);
    out << "Filed " << importer.operationCounter() << " picture(s) into "
        << current.stringValue(SettingKeys::destinationFolderPath);
    if (current.boolValue(SettingKeys::destinationFolderMov))
        out << " (movies into " << current.stringValue(SettingKeys::destinationFolderPathMov)
            << ")";
    out << "\n";
    return 0;
}

const CliCommandRegistration registration(CliCommand{QStringLiteral("import"), usageText,
                                                     runImport});
} // namespace

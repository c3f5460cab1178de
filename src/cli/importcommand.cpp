// talvoren-cli import: files a folder by hand or from a script, exactly as the
// folder polls of the application do, with the application's settings file,
// database and day's log.
#include "clicommand.h"
#include "common/logfile.h"
#include "common/talvorencommon.h"
#include "filingcommandsettings.h"
#include "importer/basewatchfolderoperator.h"
#include "importpreviewreport.h"
#include "importprogress.h"
#include "importreportprinter.h"
#include "platform/terminationrequest.h"
#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/settingsmigration.h"
#include "settings/settingsvalidation.h"
#include "settings/usersettings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {
const QCommandLineOption moveOption(QStringLiteral("move"),
                                    QStringLiteral("Remove each source once it is staged."));
const QCommandLineOption importFolderOption(
    QStringLiteral("import-folder"),
    QStringLiteral("Import as the Import-folder poll does: always move, and send unusable and "
                   "stray files to the Trash."));
const QCommandLineOption
    jsonOption(QStringLiteral("json"),
               QStringLiteral("Print what happened to every file as one JSON document."));
const QCommandLineOption dryRunOption(
    QStringLiteral("dry-run"),
    QStringLiteral("Only say what an import would do with every picture; write nothing."));

struct Arguments
{
    QString source;
    bool move = false;
    bool importFolder = false;
    bool json = false;
    bool dryRun = false;
};

Arguments parseArguments(const QCommandLineParser& parser)
{
    return {parser.positionalArguments().constFirst(), parser.isSet(moveOption),
            parser.isSet(importFolderOption), parser.isSet(jsonOption), parser.isSet(dryRunOption)};
}

// Every file below the folder, as the report lists them.
QStringList filesIn(const QStringList& enumeration)
{
    QStringList files;
    for (const QString& entry : enumeration)
        if (QFileInfo(entry).isFile())
            files << entry;
    return files;
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

    // Says something on the terminal, also while the log takes standard error.
    void tell(QTextStream& err, const QString& text) const
    {
        if (terminal < 0) {
            err << text;
            err.flush();
            return;
        }
        writeToTerminal(terminal, text.toLocal8Bit());
    }

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

// The run of a folder poll over the source, with a progress line on the terminal
// and the run's lines in the day's log. The files below the source are listed once
// the import lock is held (files gives them to the report).
std::optional<QString> importTree(BaseWatchFolderOperator& importer, ImportReport& report,
                                  const QString& source, QStringList& files,
                                  const Arguments& arguments, const SettingsDictionary& settings,
                                  QTextStream& err)
{
    importer.setImportReport(&report);
    ImportProgress progress;
    report.setChangeHandler([&](const ImportReport::Entry& entry) {
        progress.update(report.entries().size(), entry.path);
    });
    const DayLog log(settings);
    // One import at a time per user: the application's polls skip while this one
    // runs, and this one waits for an import already running.
    importer.setImportLockPolicy(ImportLock::WhenHeld::Wait, [&log, &err] {
        log.tell(err, QStringLiteral("talvoren-cli import: another import is running; waiting "
                                     "for it to end\n"));
    });
    // As the polls: the watch folder is moved when "delete original image" says so,
    // the Import folder always, and its unusable files are cleaned away.
    std::optional<QStringList> listed;
    const auto enumerate = [&] {
        listed = BaseWatchFolderOperator::deepEnumeration(source);
        progress.setTotal(filesIn(*listed).size());
        return *listed;
    };
    const std::optional<QString> failure = importer.copyProcess(
        enumerate, arguments.move || arguments.importFolder, arguments.importFolder);
    report.setChangeHandler({});
    files = filesIn(listed ? *listed : BaseWatchFolderOperator::deepEnumeration(source));
    return failure;
}

// "Filed N picture(s) into DESTINATION", with the movie destination when it is apart.
void printFiled(QTextStream& out, qint64 filed, const SettingsDictionary& settings)
{
    out << "Filed " << filed << " picture(s) into "
        << settings.stringValue(SettingKeys::destinationFolderPath);
    if (settings.boolValue(SettingKeys::destinationFolderMov))
        out << " (movies into " << settings.stringValue(SettingKeys::destinationFolderPathMov)
            << ")";
    out << "\n";
}

int runImport(const QCommandLineParser& parser, QTextStream& out, QTextStream& err)
{
    const Arguments arguments = parseArguments(parser);
    if (arguments.dryRun)
        return printImportPreview(arguments.source, out, err);
    // Folders that are not set, relative or of the wrong type: nothing is touched.
    const std::optional<SettingsDictionary> settings = usableFilingSettings(
        QStringLiteral("import"), prepareApplicationData(), SettingsValidation::Use::ImportRun,
        QStringLiteral("Nothing was imported."), err);
    if (!settings)
        return CliExit::badUsage;
    const QFileInfo source(arguments.source);
    if (!source.isDir()) {
        err << "talvoren-cli import: \"" << arguments.source << "\" is not a folder\n";
        return CliExit::badUsage;
    }

    // SIGTERM and SIGINT end the run after the picture in hand (nothing half-written)
    // and the command with 128 + the signal's number.
    TerminationRequest::install();
    BaseWatchFolderOperator importer;
    ImportReport report;
    QStringList files;
    const std::optional<QString> failure =
        importTree(importer, report, source.absoluteFilePath(), files, arguments, *settings, err);
    if (failure)
        report.runFailed(*failure);
    const ImportReportPrinter printer(source.absoluteFilePath(), files, report);
    if (arguments.json)
        out << QJsonDocument(printer.json(failure)).toJson(QJsonDocument::Indented);
    else
        printer.printText(out);
    if (failure) {
        err << "talvoren-cli import: the import failed: " << *failure << "\n";
        return CliExit::failed;
    }
    if (TerminationRequest::signal() != 0) {
        err << "talvoren-cli import: stopped by signal " << TerminationRequest::signal()
            << " after filing " << importer.operationCounter() << " picture(s)\n";
        return TerminationRequest::exitStatus();
    }
    if (!arguments.json)
        printFiled(out, importer.operationCounter(),
                   UserSettings::getUserSettingDictionary().value_or(*settings));
    return CliExit::done;
}

const CliCommandRegistration registration(CliCommand{
    QStringLiteral("import"),
    QStringLiteral("Files the pictures of a folder as a folder poll of Talvoren does, and says "
                   "what happened to every file."),
    {moveOption, importFolderOption, jsonOption, dryRunOption},
    {{QStringLiteral("SOURCE"), QStringLiteral("The folder to import (with its subfolders)."), {}}},
    runImport});
} // namespace

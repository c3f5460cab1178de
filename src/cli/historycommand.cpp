// talvoren-cli history: the imported-file records, newest first, with the full path
// of each filed picture and whether it still stands there.
#include "clicommand.h"
#include "common/talvorencommon.h"
#include "records/importhistory.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

namespace {
const QCommandLineOption
    patientOption(QStringLiteral("patient"),
                  QStringLiteral("Only records whose patient folder holds TEXT."),
                  QStringLiteral("TEXT"));
const QCommandLineOption sinceOption(QStringLiteral("since"),
                                     QStringLiteral("Only records filed on or after this day."),
                                     QStringLiteral("YYYY-MM-DD"));
const QCommandLineOption
    originalOption(QStringLiteral("original"),
                   QStringLiteral("Only records whose original file name holds NAME."),
                   QStringLiteral("NAME"));
const QCommandLineOption jsonOption(QStringLiteral("json"),
                                    QStringLiteral("Print the records as one JSON document."));

struct Arguments
{
    ImportHistory::Filter filter;
    bool json = false;
};

std::optional<Arguments> parseArguments(const QCommandLineParser& parser, QTextStream& err)
{
    Arguments parsed;
    parsed.json = parser.isSet(jsonOption);
    if (parser.isSet(patientOption))
        parsed.filter.patient = parser.value(patientOption);
    if (parser.isSet(originalOption))
        parsed.filter.original = parser.value(originalOption);
    if (parser.isSet(sinceOption)) {
        parsed.filter.since =
            QDate::fromString(parser.value(sinceOption), QStringLiteral("yyyy-MM-dd"));
        if (!parsed.filter.since->isValid()) {
            err << "talvoren-cli history: \"" << parser.value(sinceOption)
                << "\" is not a YYYY-MM-DD date\n";
            return std::nullopt;
        }
    }
    return parsed;
}

QString timeOf(qint64 datetime)
{
    const QDateTime time =
        QDateTime::fromString(QString::number(datetime), QStringLiteral("yyyyMMddHHmmss"));
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                          : QString::number(datetime);
}

int runHistory(const QCommandLineParser& parser, QTextStream& out, QTextStream& err)
{
    const std::optional<Arguments> arguments = parseArguments(parser, err);
    if (!arguments)
        return CliExit::badUsage;
    // Opening a missing database would create it: without one nothing was filed.
    const QList<ImportedFileEntity> records = QFileInfo::exists(TalvorenCommon::getDBFilePath())
                                                  ? ImportHistory().find(arguments->filter)
                                                  : QList<ImportedFileEntity>();
    QJsonArray rows;
    for (const ImportedFileEntity& record : records) {
        const QString path = record.transferredFolder() + QLatin1Char('/') + record.fileName();
        const bool exists = QFileInfo::exists(path);
        if (arguments->json) {
            rows.append(QJsonObject{{QStringLiteral("time"), timeOf(record.datetime())},
                                    {QStringLiteral("path"), path},
                                    {QStringLiteral("folder"), record.transferredFolder()},
                                    {QStringLiteral("original"), record.originalFileName()},
                                    {QStringLiteral("camera"), record.cameraId()},
                                    {QStringLiteral("exists"), exists}});
        } else {
            out << timeOf(record.datetime()) << "\t" << (exists ? "present" : "missing") << "\t"
                << path << "\t" << record.originalFileName() << "\n";
        }
    }
    if (arguments->json)
        out << QJsonDocument(rows).toJson(QJsonDocument::Indented);
    return CliExit::done;
}

const CliCommandRegistration registration(CliCommand{
    QStringLiteral("history"),
    QStringLiteral("Lists the imported-file records, newest first, with the full path of each "
                   "filed picture and whether it still stands there."),
    {patientOption, sinceOption, originalOption, jsonOption},
    {},
    runHistory});
} // namespace

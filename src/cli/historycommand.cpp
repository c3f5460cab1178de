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
const QString usageText =
    QStringLiteral("history [--patient TEXT] [--since YYYY-MM-DD] [--original NAME] [--json]");
constexpr int badUsage = 1;

struct Arguments
{
    ImportHistory::Filter filter;
    bool json = false;
};

std::optional<Arguments> parseArguments(const QStringList& words, QTextStream& err)
{
    Arguments parsed;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words.at(i);
        const bool hasValue = i + 1 < words.size();
        if (word == QLatin1String("--json")) {
            parsed.json = true;
        } else if (word == QLatin1String("--patient") && hasValue) {
            parsed.filter.patient = words.at(++i);
        } else if (word == QLatin1String("--original") && hasValue) {
            parsed.filter.original = words.at(++i);
        } else if (word == QLatin1String("--since") && hasValue) {
            parsed.filter.since = QDate::fromString(words.at(++i), QStringLiteral("yyyy-MM-dd"));
            if (!parsed.filter.since->isValid()) {
                err << "talvoren-cli history: \"" << words.at(i) << "\" is not a YYYY-MM-DD date\n";
                return std::nullopt;
            }
        } else {
            err << "talvoren-cli history: unexpected argument \"" << word << "\"\n"
                << "usage: talvoren-cli " << usageText << "\n";
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

int runHistory(const QStringList& words, QTextStream& out, QTextStream& err)
{
    const std::optional<Arguments> arguments = parseArguments(words, err);
    if (!arguments)
        return badUsage;
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
    return 0;
}

const CliCommandRegistration registration(CliCommand{QStringLiteral("history"), usageText,
                                                     runHistory});
} // namespace

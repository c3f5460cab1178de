#include "importreportprinter.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace {
using Outcome = ImportReport::Outcome;

bool isMovie(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("mov"), Qt::CaseInsensitive) == 0;
}

QString withoutExtension(const QString& path)
{
    const QFileInfo info(path);
    return info.path() + QLatin1Char('/') + info.completeBaseName();
}

// The entry of the picture a movie belongs to (same name, another extension).
const ImportReport::Entry* pictureOf(const QString& movie,
                                     const QHash<QString, const ImportReport::Entry*>& byStem)
{
    return byStem.value(withoutExtension(movie), nullptr);
}
} // namespace

ImportReportPrinter::ImportReportPrinter(const QString& source, const QStringList& files,
                                         const ImportReport& report)
    : source(QDir::cleanPath(source)), entries(report.entries())
{
    QHash<QString, const ImportReport::Entry*> byStem;
    for (const ImportReport::Entry& entry : report.entries())
        if (!isMovie(entry.path))
            byStem.insert(withoutExtension(entry.path), &entry);
    QList<ImportReport::Entry> unreported;
    for (const QString& file : files) {
        if (report.contains(file))
            continue;
        const ImportReport::Entry* picture = isMovie(file) ? pictureOf(file, byStem) : nullptr;
        unreported.append(picture
                              ? ImportReport::Entry{file, picture->outcome, picture->detail}
                              : ImportReport::Entry{file, Outcome::NotCameraPicture,
                                                    QStringLiteral("not a file the import takes")});
    }
    entries += unreported;
}

QString ImportReportPrinter::shownPath(const QString& path) const
{
    return path.startsWith(source + QLatin1Char('/')) ? path.mid(source.size() + 1) : path;
}

void ImportReportPrinter::printText(QTextStream& out) const
{
    for (const Outcome outcome : ImportReport::outcomes()) {
        QStringList lines;
        for (const ImportReport::Entry& entry : entries) {
            if (entry.outcome != outcome)
                continue;
            const QString separator =
                outcome == Outcome::Filed ? QStringLiteral(" -> ") : QStringLiteral(": ");
            lines << QStringLiteral("  ") + shownPath(entry.path) +
                         (entry.detail.isEmpty() ? QString() : separator + entry.detail);
        }
        if (lines.isEmpty())
            continue;
        QString heading = ImportReport::outcomeName(outcome);
        heading[0] = heading[0].toUpper();
        out << heading << " (" << lines.size() << "):\n" << lines.join(QLatin1Char('\n')) << "\n";
    }
    QStringList counts;
    for (const Outcome outcome : ImportReport::outcomes()) {
        const qsizetype count =
            std::count_if(entries.cbegin(), entries.cend(),
                          [outcome](const auto& e) { return e.outcome == outcome; });
        if (count > 0)
            counts << QStringLiteral("%1 %2").arg(count).arg(ImportReport::outcomeName(outcome));
    }
    out << entries.size() << " file(s) in " << source
        << (counts.isEmpty() ? QString() : QStringLiteral(": ") + counts.join(QStringLiteral(", ")))
        << "\n";
}

QJsonObject ImportReportPrinter::json(const std::optional<QString>& failure) const
{
    QJsonArray files;
    QJsonObject counts;
    for (const Outcome outcome : ImportReport::outcomes())
        counts.insert(ImportReport::outcomeName(outcome), 0);
    for (const ImportReport::Entry& entry : entries) {
        const QString name = ImportReport::outcomeName(entry.outcome);
        QJsonObject file{{QStringLiteral("path"), entry.path}, {QStringLiteral("outcome"), name}};
        file.insert(entry.outcome == Outcome::Filed ? QStringLiteral("destination")
                                                    : QStringLiteral("reason"),
                    entry.detail.isEmpty() ? QJsonValue(QJsonValue::Null)
                                           : QJsonValue(entry.detail));
        files.append(file);
        counts.insert(name, counts.value(name).toInt() + 1);
    }
    return {
        {QStringLiteral("source"), source},
        {QStringLiteral("failure"), failure ? QJsonValue(*failure) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("counts"), counts},
        {QStringLiteral("files"), files}};
}

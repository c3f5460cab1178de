#pragma once

#include "importer/importreport.h"

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>
#include <optional>

// What talvoren-cli import says at the end of a run: every file it met under its
// outcome, in plain words or as one JSON document for scripts.
class ImportReportPrinter
{
public:
    // files: every file below the source. Those the run did not report are placed
    // here: a movie follows the picture it belongs to, anything else was not taken.
    ImportReportPrinter(const QString& source, const QStringList& files,
                        const ImportReport& report);

    void printText(QTextStream& out) const;
    QJsonObject json(const std::optional<QString>& failure) const;

private:
    QString shownPath(const QString& path) const;
    QString source;
    QList<ImportReport::Entry> entries;
};

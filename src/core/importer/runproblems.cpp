#include "importer/runproblems.h"

#include "common/log.h"

void RunProblems::clear()
{
    refused.clear();
    vanished.clear();
}

void RunProblems::pictureRefused(const QString& path, const QString& reason)
{
    Log::error(QStringLiteral("The picture is not imported and stays in its source: [%1] %2")
                   .arg(path, reason));
    refused.append(QStringLiteral("\"%1\" (%2)").arg(path, reason));
}

void RunProblems::sourceVanished(const QString& path)
{
    Log::error(QStringLiteral("The source disappeared during the import: [%1]").arg(path));
    vanished.append(path);
}

QString RunProblems::report(qint64 filed) const
{
    QStringList parts;
    if (!vanished.isEmpty())
        parts.append(QStringLiteral("The source disappeared during the import (card removed, or "
                                    "folder renamed or deleted): \"%1\". %2 picture(s) were "
                                    "filed; the rest stay in the source.")
                         .arg(vanished.first(), QString::number(filed)));
    if (!refused.isEmpty())
        parts.append(QStringLiteral("%1 picture(s) could not be filed and stay in the source: %2. "
                                    "%3 other picture(s) were filed.")
                         .arg(QString::number(refused.size()), refused.join(QStringLiteral("; ")),
                              QString::number(filed)));
    return parts.join(QLatin1Char(' '));
}

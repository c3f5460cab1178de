#include "importer/importreport.h"

#include <QDir>

namespace {
// A staged file's shot: its cleaned path without the extension, as the filing names it.
QString shotOf(const QString& stagedPath)
{
    const QString path = QDir::cleanPath(stagedPath);
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > path.lastIndexOf(QLatin1Char('/')) + 1 ? path.left(dot) : path;
}
} // namespace

void ImportReport::started(const QString& path)
{
    current = path;
}

void ImportReport::handled(const QString& path, Outcome outcome, const QString& detail)
{
    if (path == current)
        current.clear();
    const auto found = positions.constFind(path);
    const qsizetype position = found != positions.cend() ? *found : list.size();
    if (found == positions.cend()) {
        positions.insert(path, position);
        list.append({path, outcome, detail});
    } else {
        list[position] = {path, outcome, detail};
        staged.removeAll(position);
    }
    if (outcome == Outcome::Filed)
        staged.append(position);
    if (changed)
        changed(list.at(position));
}

void ImportReport::stagedAs(const QString& path, const QString& stagedPath)
{
    sourcesOfShot[shotOf(stagedPath)].append(path);
}

void ImportReport::stagedCopyDropped(const QString& stagedShot)
{
    const QStringList sources = sourcesOfShot.take(QDir::cleanPath(stagedShot));
    for (const QString& path : sources) {
        if (const auto found = positions.constFind(path);
            found != positions.cend() && staged.contains(*found))
            handled(path, Outcome::AlreadyImported);
    }
}

void ImportReport::stagedFiled()
{
    staged.clear();
    sourcesOfShot.clear();
}

void ImportReport::runFailed(const QString& reason)
{
    for (const qsizetype position : std::as_const(staged)) {
        list[position].outcome = Outcome::Failed;
        list[position].detail =
            QStringLiteral("staged but not filed (the next run files it): %1").arg(reason);
    }
    staged.clear();
    sourcesOfShot.clear();
    if (!current.isEmpty())
        handled(current, Outcome::Failed, reason);
}

void ImportReport::setChangeHandler(std::function<void(const Entry&)> handler)
{
    changed = std::move(handler);
}

QString ImportReport::outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Filed:
        return QStringLiteral("filed");
    case Outcome::AlreadyImported:
        return QStringLiteral("already imported");
    case Outcome::NotCameraPicture:
        return QStringLiteral("not a camera picture or unreadable");
    case Outcome::LeftForLater:
        return QStringLiteral("left for later");
    case Outcome::NotSent:
        return QStringLiteral("not sent, as the settings ask");
    case Outcome::Failed:
        break;
    }
    return QStringLiteral("failed");
}

QList<ImportReport::Outcome> ImportReport::outcomes()
{
    return {Outcome::Filed,        Outcome::AlreadyImported, Outcome::NotCameraPicture,
            Outcome::LeftForLater, Outcome::NotSent,         Outcome::Failed};
}

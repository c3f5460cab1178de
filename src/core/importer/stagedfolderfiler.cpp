#include "importer/stagedfolderfiler.h"

#include "importer/filecopier.h"
#include "importer/filingfolderguard.h"
#include "platform/noreplacerename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <set>
#include <unistd.h>

namespace {
const QDir::Filters everyEntry =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(everyEntry, QDir::Name);
}

bool isSidecar(const QString& name)
{
    return name.size() > 5 && name.startsWith(QLatin1Char('.')) &&
           name.endsWith(QLatin1String(".xml"));
}

QString sidecarName(const QString& stem)
{
    return QStringLiteral(".%1.xml").arg(stem);
}

QString stemOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString extensionOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.mid(dot) : QString();
}

QString indexedStem(const QString& base, int index)
{
    return index <= 1 ? base : QStringLiteral("%1(%2)").arg(base, QString::number(index));
}

// One staged shot: the files sharing a stem (a picture, or a movie-index picture and
// its movie) and the hidden sidecar of that stem, with the stem split as the naming
// built it.
struct Shot
{
    StagedFolderFiler::NumberedStem stem;
    QStringList extensions;
    bool hasSidecar = false;
};

constexpr int maximumClaimAttempts = 1000;

// The names in a destination folder. Partial copies there are not names of pictures:
// the abandoned ones (their run was killed) are removed on the way.
QSet<QString> takenNames(const QString& folder)
{
    QSet<QString> taken;
    for (const QString& name : entriesOf(folder)) {
        if (FileCopier::isPartialCopy(name))
            FileCopier::removeAbandonedPartial(folder + QLatin1Char('/') + name);
        else
            taken.insert(name);
    }
    return taken;
}

// The shots below a staged folder: files of one stem count once, sidecars not.
int shotsBelow(const QString& folder)
{
    QSet<QString> stems;
    int count = 0;
    for (const QString& name : entriesOf(folder)) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo(path).isDir())
            count += shotsBelow(path);
        else if (!FileCopier::isPartialCopy(name) && !isSidecar(name))
            stems.insert(stemOf(name));
    }
    return count + static_cast<int>(stems.size());
}

class FolderMerger
{
public:
    QString firstError;
    int filedShots = 0;
    StagedFolderFiler::Listener listener;

    void mergeFolder(const QString& source, const QString& destination)
    {
        const QFileInfo target(destination);
        if (!target.exists() && !target.isSymLink()) {
            removePartialCopies(source);
            QDir().mkpath(target.absolutePath());
            const int shots = shotsBelow(source);
            if (!FileCopier::isAlwaysCopyingAcross() &&
                renameWithoutReplacing(QFile::encodeName(source), QFile::encodeName(destination)) ==
                    0) {
                filedShots += shots;
                return;
            }
            // Across file systems (or where the no-replace flag is unknown) the folder is
            // built at the destination and filled entry by entry.
            if (!QDir().mkpath(destination) && !QFileInfo(destination).isDir()) {
                note(QStringLiteral("Cannot create the folder \"%1\"").arg(destination));
                return;
            }
        } else if (!target.isDir()) {
            note(QStringLiteral("A file stands where the folder \"%1\" belongs").arg(destination));
            return;
        }
        mergeEntries(source, destination);
        QDir().rmdir(source);
    }

private:
    void note(const QString& error)
    {
        if (firstError.isEmpty())
            firstError = error;
    }

    static void removePartialCopies(const QString& folder)
    {
        for (const QString& name : entriesOf(folder)) {
            const QString path = folder + QLatin1Char('/') + name;
            if (QFileInfo(path).isDir())
                removePartialCopies(path);
            else if (FileCopier::isPartialCopy(name))
                QFile::remove(path);
        }
    }

    void mergeEntries(const QString& source, const QString& destination)
    {
        QMap<QString, Shot> shots;
        for (const QString& name : entriesOf(source)) {
            const QString path = source + QLatin1Char('/') + name;
            if (QFileInfo(path).isDir()) {
                mergeFolder(path, destination + QLatin1Char('/') + name);
            } else if (FileCopier::isPartialCopy(name)) {
                QFile::remove(path);
            } else if (isSidecar(name)) {
                const QString stem = name.mid(1, name.size() - 5);
                if (!shots.contains(stem))
                    shots.insert(stem, Shot{StagedFolderFiler::numberedStem(stem), {}, false});
                shots[stem].hasSidecar = true;
            } else {
                const QString stem = stemOf(name);
                if (!shots.contains(stem))
                    shots.insert(stem, Shot{StagedFolderFiler::numberedStem(stem), {}, false});
                shots[stem].extensions.append(extensionOf(name));
            }
        }
        QSet<QString> taken = takenNames(destination);
        for (auto it = shots.cbegin(); it != shots.cend(); ++it)
            fileShot(source, destination, it.key(), it.value(), taken);
    }

    // The collision numbers under which any file of the shot already stands.
    static std::set<int> usedIndexes(const Shot& shot, const QSet<QString>& taken)
    {
        std::set<int> indexes;
        for (const QString& name : taken) {
            for (const QString& extension : shot.extensions) {
                if (const std::optional<int> index =
                        StagedFolderFiler::collisionNumber(name, shot.stem.base, extension))
                    indexes.insert(*index);
            }
        }
        return indexes;
    }

    static bool isTakenAt(const Shot& shot, int index, const QSet<QString>& taken)
    {
        for (const QString& extension : shot.extensions) {
            if (taken.contains(indexedStem(shot.stem.base, index) + extension))
                return true;
        }
        return false;
    }

    // The number under which the same content is filed already: every file of the
    // shot stands there with the same bytes, or is missing there (and then joins it).
    static std::optional<int> filedIndex(const Shot& shot, const QString& stagedStem,
                                         const QString& source, const QString& destination,
                                         const QSet<QString>& taken)
    {
        for (const int index : usedIndexes(shot, taken)) {
            bool identical = false;
            bool differs = false;
            for (const QString& extension : shot.extensions) {
                const QString name = indexedStem(shot.stem.base, index) + extension;
                if (!taken.contains(name))
                    continue;
                const QString filed = destination + QLatin1Char('/') + name;
                if (QFileInfo(filed).isFile() &&
                    FileCopier::hasSameContent(source + QLatin1Char('/') + stagedStem + extension,
                                               filed))
                    identical = true;
                else
                    differs = true;
            }
            if (identical && !differs)
                return index;
        }
        return std::nullopt;
    }

    void fileShot(const QString& source, const QString& destination, const QString& stagedStem,
                  const Shot& shot, QSet<QString>& taken)
    {
        // Another process or machine may file into the same folder meanwhile: a name
        // it took first sends the shot on to the next free number.
        for (int attempt = 0; attempt < maximumClaimAttempts; ++attempt) {
            int index = shot.stem.index;
            const std::optional<int> filed =
                filedIndex(shot, stagedStem, source, destination, taken);
            if (filed) {
                index = *filed;
            } else if (isTakenAt(shot, index, taken)) {
                const std::set<int> used = usedIndexes(shot, taken);
                index = used.empty() ? 2 : std::max(*used.rbegin() + 1, 2);
                while (isTakenAt(shot, index, taken))
                    ++index;
            }
            const QString targetStem = indexedStem(shot.stem.base, index);
            const Placement placement =
                placeShot(source, destination, stagedStem, shot, targetStem, taken);
            if (placement == Placement::Failed)
                return;
            if (placement == Placement::Placed) {
                if (!filed)
                    ++filedShots;
                else if (listener.filedAlready)
                    listener.filedAlready(source + QLatin1Char('/') + stagedStem);
                if (shot.hasSidecar)
                    fileSidecar(source + QLatin1Char('/') + sidecarName(stagedStem),
                                destination + QLatin1Char('/') + sidecarName(targetStem), taken);
                return;
            }
            taken = takenNames(destination);
        }
        note(QStringLiteral("No free name for \"%1\" in \"%2\"").arg(stagedStem, destination));
    }

    enum class Placement
    {
        Placed,
        NameTaken,
        Failed
    };

    // Moves every file of the shot to the target stem. When a name turns out taken,
    // the files moved so far go back to the staging folder, so that the shot stays
    // together under its next number.
    Placement placeShot(const QString& source, const QString& destination,
                        const QString& stagedStem, const Shot& shot, const QString& targetStem,
                        QSet<QString>& taken)
    {
        QStringList placed;
        for (const QString& extension : shot.extensions) {
            const QString staged = source + QLatin1Char('/') + stagedStem + extension;
            const QString targetName = targetStem + extension;
            if (taken.contains(targetName)) {
                // Only reached for a shot filed already: this very content stands there.
                QFile::remove(staged);
                continue;
            }
            QString error;
            bool nameTaken = false;
            if (FileCopier::moveFile(staged, destination + QLatin1Char('/') + targetName, &error,
                                     &nameTaken)) {
                taken.insert(targetName);
                placed.append(extension);
                continue;
            }
            if (!nameTaken) {
                note(error);
                return Placement::Failed;
            }
            for (const QString& back : placed) {
                if (!FileCopier::moveFile(destination + QLatin1Char('/') + targetStem + back,
                                          source + QLatin1Char('/') + stagedStem + back, &error)) {
                    note(error);
                    return Placement::Failed;
                }
            }
            return Placement::NameTaken;
        }
        // The records name the files as they stand in the destination.
        if (targetStem != stagedStem && listener.filedUnderOtherName) {
            for (const QString& extension : shot.extensions)
                listener.filedUnderOtherName(destination, stagedStem + extension,
                                             targetStem + extension);
        }
        return Placement::Placed;
    }

    // A sidecar is made from the picture it describes, so the one staged with the
    // picture replaces whatever stands under its name.
    void fileSidecar(const QString& staged, const QString& target, QSet<QString>& taken)
    {
        if (::rename(QFile::encodeName(staged).constData(),
                     QFile::encodeName(target).constData()) != 0) {
            QString error;
            if (errno != EXDEV || !FileCopier::copyOnto(staged, target, &error)) {
                note(error.isEmpty()
                         ? QStringLiteral("Cannot move \"%1\" to \"%2\": %3")
                               .arg(staged, target, QString::fromLocal8Bit(std::strerror(errno)))
                         : error);
                return;
            }
            QFile::remove(staged);
        }
        taken.insert(QFileInfo(target).fileName());
    }
};
} // namespace

StagedFolderFiler::NumberedStem StagedFolderFiler::numberedStem(const QString& stem)
{
    static const QRegularExpression numbered(QStringLiteral("^(.+)\\((\\d+)\\)$"));
    const QRegularExpressionMatch match = numbered.match(stem);
    bool ok = false;
    const int index = match.hasMatch() ? match.captured(2).toInt(&ok) : 0;
    if (ok && index >= 2)
        return {match.captured(1), index};
    return {stem, 1};
}

std::optional<int> StagedFolderFiler::collisionNumber(const QString& name, const QString& base,
                                                      const QString& extension)
{
    if (name == base + extension)
        return 1;
    const QString prefix = base + QLatin1Char('(');
    if (!name.startsWith(prefix) || !name.endsWith(QLatin1Char(')') + extension))
        return std::nullopt;
    bool ok = false;
    const int index =
        name.mid(prefix.size(), name.size() - prefix.size() - extension.size() - 1).toInt(&ok);
    return ok && index >= 2 ? std::optional<int>(index) : std::nullopt;
}

bool StagedFolderFiler::fileStagedFolders(const QString& stagingFolder,
                                          const QString& destinationFolder, QString* error,
                                          int* filedShots, const Listener& listener)
{
    FolderMerger merger;
    merger.listener = listener;
    for (const QString& name : entriesOf(stagingFolder)) {
        const QString path = stagingFolder + QLatin1Char('/') + name;
        const QString target = destinationFolder + QLatin1Char('/') + name;
        if (QFileInfo(path).isDir() && FilingFolderGuard::isInside(target, destinationFolder))
            merger.mergeFolder(path, target);
    }
    if (filedShots)
        *filedShots += merger.filedShots;
    if (merger.firstError.isEmpty())
        return true;
    if (error)
        *error = merger.firstError;
    return false;
}

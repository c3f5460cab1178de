#include "importer/importpreview.h"

#include "common/talvorencommon.h"
#include "importer/basewatchfolderoperator.h"
#include "importer/filecopier.h"
#include "importer/importfolderwalk.h"
#include "importer/importrunsettings.h"
#include "importer/sourcefilestate.h"
#include "importer/stagedfolderfiler.h"
#include "metadata/exifoperator.h"
#include "records/importedfiledao.h"
#include "records/importhistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <set>

namespace {
// The head that holds the Exif block and maker note of a camera picture; the run's
// own read limit when it does not.
constexpr qint64 headSize = 64 * 1024;
constexpr qint64 wholeReadLimit = 64 * 1024 * 1024;

QString textOf(const std::optional<QString>& text)
{
    return text.value_or(QString());
}

std::optional<ExifEntity> readExif(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<ExifEntity> exif = ExifOperator().getExifData(file.read(headSize), path, true);
    if (!exif && size > headSize && file.seek(0))
        exif = ExifOperator().getExifData(file.read(wholeReadLimit), path, true);
    if (exif)
        exif->fileSize = static_cast<quint64>(size);
    return exif;
}

// The names the run would stage, folder by folder, on top of what stands staged
// already: the same choice of a free name as the run's, over these names.
class SimulatedStaging
{
public:
    std::optional<QString> chooseName(const QString& folder, const QString& path,
                                      const ExifEntity& exif)
    {
        const QString extension = QFileInfo(path).suffix();
        Folder& staged = folderAt(folder);
        QStringList names = staged.onDisk;
        names.append(staged.shots.keys());
        const DestinationFileNaming::StagedNames listing{
            names, [&](const QString& name) {
                if (const auto shot = staged.shots.constFind(name); shot != staged.shots.cend())
                    return shot->first == textOf(exif.dateTimeOriginal) &&
                           shot->second == textOf(exif.productNumber);
                return DestinationFileNaming::checkNewImageFileExif(
                    exif, folder + QLatin1Char('/') + name);
            }};
        return DestinationFileNaming::chooseNewImageFileName(
            folder, extension.isEmpty() ? std::nullopt : std::optional<QString>(extension), exif,
            listing);
    }

    void stage(const QString& newPath, const ExifEntity& exif)
    {
        const qsizetype slash = newPath.lastIndexOf(QLatin1Char('/'));
        folderAt(newPath.left(slash))
            .shots.insert(newPath.mid(slash + 1),
                          {textOf(exif.dateTimeOriginal), textOf(exif.productNumber)});
    }

private:
    struct Folder
    {
        QStringList onDisk;
        QHash<QString, std::pair<QString, QString>> shots;
    };

    Folder& folderAt(const QString& folder)
    {
        auto found = folders.find(folder);
        if (found == folders.end())
            found = folders.insert(
                folder, Folder{QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System |
                                                      QDir::NoDotAndDotDot),
                               {}});
        return *found;
    }

    QHash<QString, Folder> folders;
};

// The names the final filing gives: a staged name taken in the destination by a
// different file moves on to the next free "(n)"; a picture whose content stands
// there under its name or one of its numbers is filed already.
class SimulatedFiling
{
public:
    QString file(const QString& destination, const QString& stagedName, const QString& source)
    {
        QHash<QString, QString>& taken = takenAt(destination);
        const qsizetype dot = stagedName.lastIndexOf(QLatin1Char('.'));
        const QString extension = dot > 0 ? stagedName.mid(dot) : QString();
        const StagedFolderFiler::NumberedStem stem =
            StagedFolderFiler::numberedStem(dot > 0 ? stagedName.left(dot) : stagedName);
        const QString& base = stem.base;
        int index = stem.index;
        const auto nameAt = [&](int number) {
            return (number <= 1 ? base : QStringLiteral("%1(%2)").arg(base).arg(number)) +
                   extension;
        };
        std::set<int> used;
        for (auto it = taken.cbegin(); it != taken.cend(); ++it) {
            if (const std::optional<int> number =
                    StagedFolderFiler::collisionNumber(it.key(), base, extension))
                used.insert(*number);
        }
        for (const int number : used) {
            if (FileCopier::hasSameContent(source, taken.value(nameAt(number))))
                return destination + QLatin1Char('/') + nameAt(number);
        }
        if (taken.contains(nameAt(index))) {
            index = used.empty() ? 2 : std::max(*used.rbegin() + 1, 2);
            while (taken.contains(nameAt(index)))
                ++index;
        }
        taken.insert(nameAt(index), source);
        return destination + QLatin1Char('/') + nameAt(index);
    }

private:
    // Name -> the file whose content stands (or will stand) under it.
    QHash<QString, QString>& takenAt(const QString& destination)
    {
        auto found = folders.find(destination);
        if (found == folders.end()) {
            QHash<QString, QString> taken;
            for (const QString& name : QDir(destination)
                                           .entryList(QDir::AllEntries | QDir::Hidden |
                                                      QDir::System | QDir::NoDotAndDotDot))
                taken.insert(name, destination + QLatin1Char('/') + name);
            found = folders.insert(destination, taken);
        }
        return *found;
    }

    QHash<QString, QHash<QString, QString>> folders;
};

class PreviewRun
{
public:
    PreviewRun(const SettingsDictionary& settings, const std::atomic<bool>* cancelled)
        : settings(ImportRunSettings::read(settings, settings)), cancelled(cancelled),
          hasRecords(QFileInfo::exists(TalvorenCommon::getDBFilePath()))
    {
        formats.prepareDateFormatters(settings);
    }

    // Each run files what it staged when it ends: the next one starts on empty
    // staging folders.
    void walkTopFolder(const QString& folder)
    {
        staging = SimulatedStaging();
        sourceRoot = QFileInfo(folder).canonicalFilePath();
        walk(folder);
    }

    ImportPreview::Result result;

private:
    void walk(const QString& folder)
    {
        for (const ImportFolderWalk::Entry& entry : ImportFolderWalk::entries(folder, sourceRoot)) {
            if (cancelled && cancelled->load())
                return;
            if (entry.kind == ImportFolderWalk::Kind::Folder)
                walk(entry.path);
            else if (entry.kind == ImportFolderWalk::Kind::Picture)
                preview(entry.path, ImportDecision::Kind::Picture);
            else if (entry.kind == ImportFolderWalk::Kind::MovieIndex)
                preview(entry.path, ImportDecision::Kind::MovieIndex);
        }
    }

    void preview(const QString& path, ImportDecision::Kind kind)
    {
        const std::optional<SourceFileState> state = SourceFileState::of(path);
        if (!state)
            return;
        ImportPreview::Item item;
        item.sourcePath = path;
        if (state->isSettled()) {
            const std::optional<ExifEntity> exif = readExif(path, state->size());
            const ImportDecision decision(settings, formats.originalDateFormatter(),
                                          formats.folderDateFormatter());
            const ImportDecision::Verdict verdict = decision.decide(
                path, kind, exif,
                [this](const QString& folder, const QString& picture, const ExifEntity& shot) {
                    return staging.chooseName(folder, picture, shot);
                },
                [this, &path](const QString& fileName, const ExifEntity& shot) {
                    return hasRecords && isRecorded(path, fileName, shot);
                });
            item.outcome = verdict.outcome;
            item.relativeFolder = verdict.relativeFolder;
            if (verdict.outcome == ImportDecision::Outcome::File) {
                staging.stage(verdict.newPath, *exif);
                item.filedPath = filing.file(verdict.destinationFolder,
                                             ImportDecision::fileNameOf(verdict.newPath), path);
                result.filing.add(verdict.relativeFolder, verdict.destinationFolder);
            }
        }
        result.items.append(item);
    }

    // The run's duplicate test, with the hash taken only when a record could match:
    // a broad look first (the name with any collision number, the hash left out).
    static bool isRecorded(const QString& path, const QString& fileName, const ExifEntity& exif)
    {
        const ExtendedMakerNoteEntity maker =
            exif.extendedMakerNoteEntity.value_or(ExtendedMakerNoteEntity());
        static const QRegularExpression collisionNumber(QStringLiteral("\\(\\d+\\)$"));
        const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
        const QString pattern = dot > 0 ? fileName.left(dot).remove(collisionNumber) +
                                              QLatin1Char('%') + fileName.mid(dot)
                                        : fileName;
        if (ImportHistory()
                .hashesOfLikeFileName(pattern, textOf(maker.serial), textOf(maker.flipDirection),
                                      textOf(exif.drawFlag), textOf(exif.shootingMode))
                .isEmpty())
            return false;
        const std::optional<QString> hash = TalvorenCommon::sha1Hash(path);
        return hash && !ImportedFileDao()
                            .findByLikeFileNameOrNumbered(
                                fileName, textOf(maker.serial), textOf(maker.flipDirection),
                                textOf(exif.drawFlag), textOf(exif.shootingMode), *hash)
                            .isEmpty();
    }

    const ImportRunSettings settings;
    const std::atomic<bool>* cancelled;
    // Asking a database that is not there would create it.
    const bool hasRecords;
    BaseWatchFolderOperator formats;
    SimulatedStaging staging;
    SimulatedFiling filing;
    QString sourceRoot;
};
} // namespace

ImportPreview::Result ImportPreview::previewFolders(const QStringList& folders,
                                                    const SettingsDictionary& settings,
                                                    const std::atomic<bool>* cancelled)
{
    PreviewRun run(settings, cancelled);
    for (const QString& folder : folders)
        run.walkTopFolder(folder);
    return run.result;
}

ImportPreview::Result ImportPreview::previewSource(const QString& source,
                                                   const SettingsDictionary& settings)
{
    return previewFolders(
        BaseWatchFolderOperator::topFolders(BaseWatchFolderOperator::deepEnumeration(source)),
        settings);
}

QString ImportPreview::outcomeName(const std::optional<ImportDecision::Outcome>& outcome)
{
    using Outcome = ImportDecision::Outcome;
    if (!outcome)
        return QStringLiteral("still being written");
    switch (*outcome) {
    case Outcome::NotCameraPicture:
        return QStringLiteral("refused: not a picture of an accepted camera");
    case Outcome::NoDateTime:
        return QStringLiteral("refused: no usable original date-time");
    case Outcome::NotSent:
        return QStringLiteral("not filed: no patient ID");
    case Outcome::DuplicateInRun:
        return QStringLiteral("duplicate in this run");
    case Outcome::AlreadyImported:
        return QStringLiteral("already imported");
    case Outcome::RecordOnly:
        return QStringLiteral("recorded only: patient information");
    case Outcome::File:
        return QStringLiteral("file");
    }
    return {};
}

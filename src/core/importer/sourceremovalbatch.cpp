#include "importer/sourceremovalbatch.h"

#include "common/log.h"
#include "importer/copyfailedexception.h"
#include "importer/filecopier.h"

#include <QFile>

SourceRemovalBatch::SourceRemovalBatch(QString stagingRoot) : stagingRoot(std::move(stagingRoot)) {}

SourceRemovalBatch::~SourceRemovalBatch()
{
    try {
        removeSources();
    } catch (const CopyFailedException& failure) {
        Log::error(QStringLiteral("Sources kept: %1").arg(failure.reason()));
    }
}

void SourceRemovalBatch::add(const QString& source, const SourceFileState& sourceState,
                             const QString& stagedCopy, qint64 copySize)
{
    pending.append({source, sourceState, stagedCopy, copySize});
}

void SourceRemovalBatch::removeSources()
{
    if (pending.isEmpty())
        return;
    const QList<Removal> removals = std::exchange(pending, {});
    QString error;
    if (!FileCopier::flushFileSystemOf(stagingRoot, &error))
        throw CopyFailedException(error);
    for (const Removal& removal : removals) {
        if (!FileCopier::hasSize(removal.stagedCopy, removal.copySize, &error))
            throw CopyFailedException(error);
        if (SourceFileState::of(removal.source) != removal.sourceState) {
            Log::debug(
                QStringLiteral("File changed after it was copied, kept: [%1]").arg(removal.source));
            continue;
        }
        QFile file(removal.source);
        if (!file.remove())
            throw CopyFailedException(
                QStringLiteral("Cannot remove \"%1\": %2").arg(removal.source, file.errorString()));
    }
}

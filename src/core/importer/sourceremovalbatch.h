#pragma once

#include "importer/sourcefilestate.h"

#include <QList>
#include <QString>

// The sources of one folder of a moving run, removed together once their staged
// copies are on disk: one syncfs of the staging file system for the whole folder
// instead of a flush per picture, then each copy's size is checked and its source
// deleted. A source is never deleted before its copy is written back and complete,
// nor when it changed since it was copied. A batch that is dropped unflushed (the
// run failed) still removes what it safely can.
class SourceRemovalBatch
{
public:
    explicit SourceRemovalBatch(QString stagingRoot);
    ~SourceRemovalBatch();
    SourceRemovalBatch(const SourceRemovalBatch&) = delete;
    SourceRemovalBatch& operator=(const SourceRemovalBatch&) = delete;

    void add(const QString& source, const SourceFileState& sourceState, const QString& stagedCopy,
             qint64 copySize);
    // Flushes and removes; throws CopyFailedException on the first failure (the
    // sources not yet removed then stay).
    void removeSources();

private:
    struct Removal
    {
        QString source;
        SourceFileState sourceState;
        QString stagedCopy;
        qint64 copySize = 0;
    };

    QString stagingRoot;
    QList<Removal> pending;
};

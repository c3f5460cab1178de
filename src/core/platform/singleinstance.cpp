#include "platform/singleinstance.h"

#include <QDir>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& applicationId)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    path = QDir(folder).filePath(applicationId + QStringLiteral(".lock"));
}

bool SingleInstance::tryAcquire()
{
    if (lock && lock->isLocked())
        return true;
    lock = std::make_unique<QLockFile>(path);
    // A stale lock (its process is gone) is removed by QLockFile itself.
    lock->setStaleLockTime(0);
    return lock->tryLock(0);
}

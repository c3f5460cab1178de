#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Tells whether another copy of the application runs for this user: the first
// copy holds a lock file named after the application id in the runtime folder
// for as long as it lives. A lock left by a crashed copy is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& applicationId);

    // True when this process now holds the lock (it is the only copy).
    bool tryAcquire();
    QString lockFilePath() const { return path; }

private:
    QString path;
    std::unique_ptr<QLockFile> lock;
};

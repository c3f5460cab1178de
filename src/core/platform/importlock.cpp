#include "platform/importlock.h"

#include "common/log.h"
#include "common/talvorencommon.h"
#include "platform/terminationrequest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
// How often a waiting import looks again; short against a run, long against a spin.
constexpr unsigned long waitStepMilliseconds = 100;

// The holders of this thread: the first takes the file lock, later ones share it.
thread_local int holdersOnThisThread = 0;
} // namespace

ImportLock::ImportLock(WhenHeld whenHeld, const std::function<void()>& whileWaiting)
{
    if (holdersOnThisThread > 0) {
        held = true;
        ++holdersOnThisThread;
        return;
    }
    bool announced = false;
    while (!tryTake()) {
        if (descriptor < 0) {
            // Without a lock file imports still run, as they did before there was one.
            Log::error(QStringLiteral("Cannot open the import lock \"%1\"").arg(lockFilePath()));
            break;
        }
        if (whenHeld == WhenHeld::Skip || TerminationRequest::signal() != 0)
            return;
        if (!announced && whileWaiting)
            whileWaiting();
        announced = true;
        QThread::msleep(waitStepMilliseconds);
    }
    held = true;
    ++holdersOnThisThread;
}

ImportLock::~ImportLock()
{
    if (held)
        --holdersOnThisThread;
    if (descriptor >= 0)
        ::close(descriptor); // releases the flock
}

bool ImportLock::tryTake()
{
    if (descriptor < 0) {
        const QString path = lockFilePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        descriptor =
            ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (descriptor < 0)
            return false;
    }
    return ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
}

QString ImportLock::lockFilePath()
{
    return QDir(TalvorenCommon::getApplicationDataDirectory())
        .filePath(QStringLiteral("import.lock"));
}

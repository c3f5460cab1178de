#include "watch/lmrsdmanager.h"

#include "platform/volumeroots.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
std::optional<QDateTime> modificationDate(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return info.lastModified();
}

void setModificationDate(const QString& path, const QDateTime& date)
{
    const qint64 milliseconds = date.toMSecsSinceEpoch();
    qint64 seconds = milliseconds / 1000;
    qint64 remainder = milliseconds % 1000;
    if (remainder < 0) {
        remainder += 1000;
        --seconds;
    }
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = static_cast<long>(remainder * 1000000);
    // A write-protected card refuses; the date is remembered all the same.
    utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}
} // namespace

LMRSDManager* LMRSDManager::sharedInstance()
{
    static LMRSDManager* const instance = new LMRSDManager;
    return instance;
}

void LMRSDManager::setTarget(const QString& marker)
{
    if (const std::optional<QDateTime> date = modificationDate(marker))
        setTarget(marker, *date);
}

void LMRSDManager::setTarget(const QString& marker, const QDateTime& timestamp)
{
    const std::lock_guard lock(mutex);
    targets.insert(marker, timestamp);
}

bool LMRSDManager::checkUpdate(const QString& marker) const
{
    const std::optional<QDateTime> date = modificationDate(marker);
    if (!date)
        return false;
    const std::lock_guard lock(mutex);
    const auto remembered = targets.constFind(marker);
    return remembered == targets.cend() || *date > remembered.value();
}

void LMRSDManager::modifyTimestamp(const QString& marker, const QDateTime& timestamp)
{
    setModificationDate(marker, timestamp);
    setTarget(marker, timestamp);
}

bool LMRSDManager::checkUnmount(const QString& marker) const
{
    const std::optional<QString> volume =
        VolumeRoots::volumeFolderOf(marker, VolumeRoots::current());
    if (!volume)
        return false;
    return !QFileInfo(*volume).isDir();
}

void LMRSDManager::removeUnmountTarget()
{
    const QStringList markers = targetDictionary().keys();
    for (const QString& marker : markers) {
        if (checkUnmount(marker)) {
            const std::lock_guard lock(mutex);
            targets.remove(marker);
        }
    }
}

QMap<QString, QDateTime> LMRSDManager::targetDictionary() const
{
    const std::lock_guard lock(mutex);
    return targets;
}

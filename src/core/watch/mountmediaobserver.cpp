#include "watch/mountmediaobserver.h"

#include "platform/volumeroots.h"
#include "watch/mountmediamanager.h"

#include <QDir>
#include <QFileInfo>

namespace {
// Only volumes below the volume roots can be handed to the eject, and looking into
// other mount points (an automount point, a network share) could mount or wake them.
void didMountBelowVolumeRoots(const QString& mountPoint)
{
    if (VolumeRoots::rootContaining(mountPoint, VolumeRoots::current()))
        MountMediaObserver::didMount(mountPoint);
}
} // namespace

MountMediaObserver::MountMediaObserver(QObject* parent) : QObject(parent)
{
    connect(&monitor, &MountTableMonitor::mounted, this, &didMountBelowVolumeRoots);
    connect(&monitor, &MountTableMonitor::unmounted, this, &MountMediaObserver::didUnmount);
}

bool MountMediaObserver::start()
{
    if (!monitor.start())
        return false;
    for (const MountEntry& entry : monitor.entries())
        didMountBelowVolumeRoots(entry.mountPoint);
    return true;
}

void MountMediaObserver::didMount(const QString& devicePath)
{
    const QFileInfo marker(QDir(devicePath).filePath(QStringLiteral("LMR_SD")));
    if (marker.exists() && !marker.isDir())
        MountMediaManager::sharedInstance()->setMedia(devicePath);
}

void MountMediaObserver::didUnmount(const QString& devicePath)
{
    MountMediaManager::sharedInstance()->removeMedia(devicePath);
}

#include "mountmediaobserver.h"

#include "watch/mountmediamanager.h"

#include <QDir>
#include <QFileInfo>

MountMediaObserver::MountMediaObserver(QObject* parent) : QObject(parent)
{
    connect(&monitor, &MountTableMonitor::mounted, this, &MountMediaObserver::didMount);
    connect(&monitor, &MountTableMonitor::unmounted, this, &MountMediaObserver::didUnmount);
}

bool MountMediaObserver::start()
{
    if (!monitor.start())
        return false;
    for (const MountEntry& entry : monitor.entries())
        didMount(entry.mountPoint);
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

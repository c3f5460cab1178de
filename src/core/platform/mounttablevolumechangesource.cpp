#include "platform/mounttablevolumechangesource.h"

#include "platform/volumeroots.h"

#include <QFileInfo>

MountTableVolumeChangeSource::MountTableVolumeChangeSource(const QStringList& roots,
                                                           std::chrono::milliseconds latency,
                                                           QObject* parent)
    : VolumeChangeSource(parent), roots(roots)
{
    latencyTimer.setSingleShot(true);
    latencyTimer.setInterval(latency);
    connect(&latencyTimer, &QTimer::timeout, this, &MountTableVolumeChangeSource::deliver);
    connect(&monitor, &MountTableMonitor::mounted, this,
            &MountTableVolumeChangeSource::noteMountChange);
    connect(&monitor, &MountTableMonitor::unmounted, this,
            &MountTableVolumeChangeSource::noteMountChange);
    // A root that did not exist yet may have been made by the mount.
    connect(&monitor, &MountTableMonitor::changed, this,
            &MountTableVolumeChangeSource::watchExistingRoots);
    connect(&rootWatcher, &QFileSystemWatcher::directoryChanged, this,
            &MountTableVolumeChangeSource::noteEvent);
}

void MountTableVolumeChangeSource::start(quint64 sinceEventId)
{
    stop();
    lastEventId = sinceEventId;
    monitor.start();
    watchExistingRoots();
    // What happened before the start cannot be replayed from the mount table, so the
    // first batch names every root, standing for that replay.
    for (const QString& root : roots)
        noteEvent(root);
}

void MountTableVolumeChangeSource::stop()
{
    monitor.stop();
    if (!rootWatcher.directories().isEmpty())
        rootWatcher.removePaths(rootWatcher.directories());
    latencyTimer.stop();
    pendingPaths.clear();
}

void MountTableVolumeChangeSource::watchExistingRoots()
{
    const QStringList watched = rootWatcher.directories();
    for (const QString& root : roots) {
        if (!watched.contains(root) && QFileInfo(root).isDir())
            rootWatcher.addPath(root);
    }
}

void MountTableVolumeChangeSource::noteMountChange(const QString& mountPoint)
{
    if (const std::optional<QString> root = VolumeRoots::rootContaining(mountPoint, roots))
        noteEvent(*root);
}

void MountTableVolumeChangeSource::noteEvent(const QString& root)
{
    ++lastEventId;
    if (!pendingPaths.contains(root))
        pendingPaths << root;
    if (!latencyTimer.isActive())
        latencyTimer.start();
}

void MountTableVolumeChangeSource::deliver()
{
    if (pendingPaths.isEmpty())
        return;
    VolumeChangeBatch batch{std::exchange(pendingPaths, {}), lastEventId};
    emit batchReady(batch);
}

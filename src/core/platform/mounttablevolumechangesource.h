#pragma once

#include "platform/mounttablemonitor.h"
#include "platform/volumechangesource.h"

#include <QFileSystemWatcher>
#include <QTimer>
#include <chrono>

// Volume-change batches on Linux: a change of the mount table below a volume root,
// or of a root folder's listing, is an event on that root. Events are gathered
// for the latency, then delivered as one batch whose identifier is a counter
// that goes on from the identifier the watch was started after. The first batch
// after a start names every root: it stands for the events before the start,
// which a watch keyed by event identifiers would replay.
class MountTableVolumeChangeSource : public VolumeChangeSource
{
    Q_OBJECT
public:
    MountTableVolumeChangeSource(const QStringList& roots, std::chrono::milliseconds latency,
                                 QObject* parent = nullptr);

    void start(quint64 sinceEventId) override;
    void stop() override;
    bool isMountTableFollowed() const { return monitor.isRunning(); }

private:
    void noteEvent(const QString& root);
    void noteMountChange(const QString& mountPoint);
    void watchExistingRoots();
    void deliver();

    QStringList roots;
    MountTableMonitor monitor;
    QFileSystemWatcher rootWatcher;
    QTimer latencyTimer;
    QStringList pendingPaths;
    quint64 lastEventId = 0;
};

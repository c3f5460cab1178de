#pragma once

#include <QObject>
#include <QStringList>

// The changes gathered over one latency period: the parent folders of the volumes
// that changed (normally a volume root) and the identifier of the last change.
struct VolumeChangeBatch
{
    QStringList eventPaths;
    quint64 lastEventId = 0;
};

// A source of volume-change batches for the camera-card watch. The Linux source
// follows the mount table and the volume roots; tests feed batches of their own.
class VolumeChangeSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts delivering batches; identifiers continue to grow after sinceEventId.
    virtual void start(quint64 sinceEventId) = 0;
    virtual void stop() = 0;

signals:
    void batchReady(const VolumeChangeBatch& batch);
};

#pragma once

#include "platform/mounttable.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QSocketNotifier;

// Follows the kernel's mount table: /proc/self/mountinfo signals POLLPRI on every
// mount and unmount, so a socket notifier of the exception kind wakes the event
// loop, and the table is read again and compared with the last snapshot.
class MountTableMonitor : public QObject
{
    Q_OBJECT
public:
    explicit MountTableMonitor(QObject* parent = nullptr);
    ~MountTableMonitor() override;

    // Opens the table and takes the first snapshot (no signals for it). False when
    // the table cannot be opened.
    bool start(const QString& path = QString::fromLatin1(MountTable::processMountInfoPath));
    void stop();
    bool isRunning() const { return descriptor >= 0; }
    const std::vector<MountEntry>& entries() const { return snapshot; }

    // Reads the table again and reports what changed since the last snapshot.
    void refresh();

signals:
    void mounted(const QString& mountPoint);
    void unmounted(const QString& mountPoint);
    // After the mounted/unmounted signals of one change.
    void changed();

private:
    int descriptor = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    std::vector<MountEntry> snapshot;
};

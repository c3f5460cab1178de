#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <atomic>

// A dbus-daemon of the test's own: services take well-known names off the machine's buses.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    bool isRunning() const { return !busAddress.isEmpty(); }
    QString address() const { return busAddress; }
    // A new connection to the bus under a unique connection name.
    QDBusConnection connect(const QString& name) const;

private:
    QProcess daemon;
    QString busAddress;
    mutable QStringList connectionNames;
};

// The UDisks2 objects the eject uses (file systems, mount points, drives that eject or
// power off), answering on a thread of its own so that the caller may block on the reply.
class FakeUDisks2 : public QDBusVirtualObject
{
public:
    struct Volume
    {
        QString mountPoint;
        QString blockName; // e.g. "sdb1": /org/freedesktop/UDisks2/block_devices/sdb1
        QString driveName; // empty: the file system has no drive
        bool ejectable = true;
        bool canPowerOff = false;
    };

    FakeUDisks2();
    ~FakeUDisks2() override;

    // Registers the service on the connection and starts answering.
    bool serve(QDBusConnection connection);
    void addVolume(const Volume& volume);
    // "Unmount sdb1", "Eject CardReader", "PowerOff Stick", in the order asked.
    QStringList calls() const;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

    // Unmount answers "Target is busy".
    std::atomic_bool refuseUnmount = false;

private:
    // The answer to GetManagedObjects (called with the mutex held).
    QVariant managedObjects() const;

    mutable QMutex mutex;
    std::vector<Volume> volumes;
    QStringList recorded;
    QThread thread;
};

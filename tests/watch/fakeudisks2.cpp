#include "fakeudisks2.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QMap>
#include <QMutexLocker>
#include <QUuid>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {
using InterfaceProperties = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, InterfaceProperties>;

const QString root = u"/org/freedesktop/UDisks2"_s;
const QString blockPrefix = root + u"/block_devices/"_s;
const QString drivePrefix = root + u"/drives/"_s;
} // namespace

PrivateSessionBus::PrivateSessionBus()
{
    daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
    // Not started: nothing can be read, and the address stays empty.
    while (!daemon.canReadLine() && daemon.waitForReadyRead(10000)) {
    }
    busAddress = QString::fromUtf8(daemon.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const QString& name : connectionNames)
        QDBusConnection::disconnectFromBus(name);
    daemon.terminate();
    daemon.waitForFinished(10000);
}

QDBusConnection PrivateSessionBus::connect(const QString& name) const
{
    const QString unique = name + QUuid::createUuid().toString(QUuid::WithoutBraces);
    connectionNames << unique;
    return QDBusConnection::connectToBus(busAddress, unique);
}

FakeUDisks2::FakeUDisks2()
{
    qDBusRegisterMetaType<QList<QByteArray>>();
    qDBusRegisterMetaType<InterfaceProperties>();
    qDBusRegisterMetaType<ManagedObjects>();
}

FakeUDisks2::~FakeUDisks2()
{
    thread.quit();
    thread.wait();
}

bool FakeUDisks2::serve(QDBusConnection connection)
{
    // Registered before the move, so D-Bus's helper object is made its child and moves too.
    const bool registered =
        connection.registerVirtualObject(root, this, QDBusConnection::SubPath) &&
        connection.registerService(u"org.freedesktop.UDisks2"_s);
    moveToThread(&thread);
    thread.start();
    return registered;
}

void FakeUDisks2::addVolume(const Volume& volume)
{
    QMutexLocker lock(&mutex);
    volumes.push_back(volume);
}

QStringList FakeUDisks2::calls() const
{
    QMutexLocker lock(&mutex);
    return recorded;
}

bool FakeUDisks2::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    QMutexLocker lock(&mutex);
    const QString member = message.member();
    if (member == QLatin1String("GetManagedObjects")) {
        connection.send(message.createReply(managedObjects()));
        return true;
    }
    const QString name = message.path().section(QLatin1Char('/'), -1);
    recorded << member + QLatin1Char(' ') + name;
    if (member == QLatin1String("Unmount") && refuseUnmount) {
        connection.send(message.createErrorReply(u"org.freedesktop.UDisks2.Error.DeviceBusy"_s,
                                                 "Target is busy"));
        return true;
    }
    for (Volume& volume : volumes)
        if (member == QLatin1String("Unmount") && volume.blockName == name)
            volume.mountPoint.clear();
    connection.send(message.createReply());
    return true;
}

QVariant FakeUDisks2::managedObjects() const
{
    ManagedObjects objects;
    for (const Volume& volume : volumes) {
        QList<QByteArray> points;
        if (!volume.mountPoint.isEmpty())
            points << volume.mountPoint.toUtf8() + '\0';
        InterfaceProperties& block = objects[QDBusObjectPath(blockPrefix + volume.blockName)];
        block[u"org.freedesktop.UDisks2.Filesystem"_s][u"MountPoints"_s] =
            QVariant::fromValue(points);
        block[u"org.freedesktop.UDisks2.Block"_s][u"Drive"_s] = QVariant::fromValue(
            QDBusObjectPath(volume.driveName.isEmpty() ? u"/"_s : drivePrefix + volume.driveName));
        if (!volume.driveName.isEmpty())
            objects[QDBusObjectPath(drivePrefix + volume.driveName)]
                   [u"org.freedesktop.UDisks2.Drive"_s] = {{u"Ejectable"_s, volume.ejectable},
                                                           {u"CanPowerOff"_s, volume.canPowerOff}};
    }
    return QVariant::fromValue(objects);
}

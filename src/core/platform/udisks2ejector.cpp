#include "platform/udisks2ejector.h"

#include "common/log.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDir>
#include <QMap>
#include <QVariantMap>
#include <algorithm>
#include <mutex>

namespace {
using InterfaceProperties = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, InterfaceProperties>;

const QString rootObject = QStringLiteral("/org/freedesktop/UDisks2");
const QString filesystemInterface = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString blockInterface = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString driveInterface = QStringLiteral("org.freedesktop.UDisks2.Drive");
// Unmounting flushes what is still cached for the card, which can take a while.
constexpr int callTimeoutMilliseconds = 60000;

void registerTypes()
{
    static std::once_flag once;
    std::call_once(once, [] { qDBusRegisterMetaType<ManagedObjects>(); });
}

// "MountPoints" is an array of NUL-terminated byte strings.
QStringList mountPointsOf(const QVariant& value)
{
    QList<QByteArray> raw;
    if (value.canConvert<QDBusArgument>())
        value.value<QDBusArgument>() >> raw;
    else
        raw = value.value<QList<QByteArray>>();
    QStringList points;
    for (QByteArray point : raw) {
        const qsizetype end = point.indexOf('\0');
        if (end >= 0)
            point.truncate(end);
        points << QDir::cleanPath(QString::fromLocal8Bit(point));
    }
    return points;
}

QString objectPathOf(const QVariant& value)
{
    return value.value<QDBusObjectPath>().path();
}

// A call to the UDisks2 service that waits for its answer.
QDBusMessage callUDisks2(const QDBusConnection& bus, const QString& object,
                         const QString& interface, const QString& method,
                         const QVariantList& arguments)
{
    QDBusMessage request = QDBusMessage::createMethodCall(
        QString::fromLatin1(UDisks2Ejector::serviceName), object, interface, method);
    request.setArguments(arguments);
    return bus.call(request, QDBus::Block, callTimeoutMilliseconds);
}

// The file system object whose mount points include the path, if UDisks2 knows one.
ManagedObjects::const_iterator filesystemMountedAt(const ManagedObjects& objects,
                                                   const QString& mountPoint)
{
    const QString wanted = QDir::cleanPath(mountPoint);
    return std::find_if(objects.cbegin(), objects.cend(), [&](const InterfaceProperties& object) {
        return object.contains(filesystemInterface) &&
               mountPointsOf(object[filesystemInterface].value(QStringLiteral("MountPoints")))
                   .contains(wanted);
    });
}

// Ejects the drive, or powers it off when it cannot be ejected; the file system
// on it is unmounted already, so a failure here is only logged.
void ejectDrive(const QDBusConnection& bus, const QString& mountPoint, const QString& drivePath,
                const QVariantMap& driveProperties)
{
    QString method;
    if (driveProperties.value(QStringLiteral("Ejectable")).toBool())
        method = QStringLiteral("Eject");
    else if (driveProperties.value(QStringLiteral("CanPowerOff")).toBool())
        method = QStringLiteral("PowerOff");
    if (!method.isEmpty()) {
        const QDBusMessage reply =
            callUDisks2(bus, drivePath, driveInterface, method, {QVariantMap()});
        if (reply.type() != QDBusMessage::ReplyMessage) {
            Log::error(QStringLiteral("ejectMedia: %1 is unmounted, but its drive did not %2: %3")
                           .arg(mountPoint, method, reply.errorMessage()));
            return;
        }
    }
    Log::info(QStringLiteral("ejectMedia: %1 unmounted and ejected").arg(mountPoint));
}
} // namespace

UDisks2Ejector::UDisks2Ejector(const QDBusConnection& bus) : bus(bus)
{
    registerTypes();
}

bool UDisks2Ejector::eject(const QString& mountPoint)
{
    const QDBusMessage objectsReply =
        callUDisks2(bus, rootObject, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                    QStringLiteral("GetManagedObjects"), {});
    if (objectsReply.type() != QDBusMessage::ReplyMessage || objectsReply.arguments().isEmpty()) {
        Log::error(QStringLiteral("ejectMedia: UDisks2 is not reachable, %1 stays mounted: %2")
                       .arg(mountPoint, objectsReply.errorMessage()));
        return false;
    }
    ManagedObjects objects;
    objectsReply.arguments().constFirst().value<QDBusArgument>() >> objects;
    const ManagedObjects::const_iterator filesystem = filesystemMountedAt(objects, mountPoint);
    if (filesystem == objects.cend()) {
        Log::error(QStringLiteral("ejectMedia: UDisks2 knows no file system mounted at %1")
                       .arg(mountPoint));
        return false;
    }

    const QDBusMessage unmount = callUDisks2(bus, filesystem.key().path(), filesystemInterface,
                                             QStringLiteral("Unmount"), {QVariantMap()});
    if (unmount.type() != QDBusMessage::ReplyMessage) {
        Log::error(QStringLiteral("ejectMedia: unmounting %1 failed: %2")
                       .arg(mountPoint, unmount.errorMessage()));
        return false;
    }
    const QString drivePath =
        objectPathOf(filesystem.value().value(blockInterface).value(QStringLiteral("Drive")));
    const ManagedObjects::const_iterator drive =
        objects.constFind(QDBusObjectPath(drivePath.isEmpty() ? QStringLiteral("/") : drivePath));
    if (drive == objects.cend() || !drive.value().contains(driveInterface)) {
        Log::info(QStringLiteral("ejectMedia: %1 unmounted").arg(mountPoint));
        return true;
    }
    ejectDrive(bus, mountPoint, drivePath, drive.value()[driveInterface]);
    return true;
}

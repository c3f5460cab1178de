#include "platform/udisks2ejector.h"

#include "common/log.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDir>
#include <QMap>
#include <QVariantMap>
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
} // namespace

UDisks2Ejector::UDisks2Ejector(const QDBusConnection& bus) : bus(bus)
{
    registerTypes();
}

bool UDisks2Ejector::eject(const QString& mountPoint)
{
    const QString service = QString::fromLatin1(serviceName);
    QDBusMessage request = QDBusMessage::createMethodCall(
        service, rootObject, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
        QStringLiteral("GetManagedObjects"));
    const QDBusMessage objectsReply = bus.call(request, QDBus::Block, callTimeoutMilliseconds);
    if (objectsReply.type() != QDBusMessage::ReplyMessage || objectsReply.arguments().isEmpty()) {
        Log::error(QStringLiteral("ejectMedia: UDisks2 is not reachable, %1 stays mounted: %2")
                       .arg(mountPoint, objectsReply.errorMessage()));
        return false;
    }
    ManagedObjects objects;
    objectsReply.arguments().constFirst().value<QDBusArgument>() >> objects;

    const QString wanted = QDir::cleanPath(mountPoint);
    for (auto object = objects.cbegin(); object != objects.cend(); ++object) {
        const InterfaceProperties& interfaces = object.value();
        if (!interfaces.contains(filesystemInterface) ||
            !mountPointsOf(interfaces[filesystemInterface].value(QStringLiteral("MountPoints")))
                 .contains(wanted))
            continue;

        const QString filesystemPath = object.key().path();
        const QDBusMessage unmount =
            bus.call(QDBusMessage::createMethodCall(service, filesystemPath, filesystemInterface,
                                                    QStringLiteral("Unmount"))
                         << QVariantMap(),
                     QDBus::Block, callTimeoutMilliseconds);
        if (unmount.type() != QDBusMessage::ReplyMessage) {
            Log::error(QStringLiteral("ejectMedia: unmounting %1 failed: %2")
                           .arg(mountPoint, unmount.errorMessage()));
            return false;
        }

        const QString drivePath =
            objectPathOf(interfaces.value(blockInterface).value(QStringLiteral("Drive")));
        const ManagedObjects::const_iterator drive = objects.constFind(
            QDBusObjectPath(drivePath.isEmpty() ? QStringLiteral("/") : drivePath));
        if (drive == objects.cend() || !drive.value().contains(driveInterface)) {
            Log::info(QStringLiteral("ejectMedia: %1 unmounted").arg(mountPoint));
            return true;
        }
        const QVariantMap driveProperties = drive.value()[driveInterface];
        QString method;
        if (driveProperties.value(QStringLiteral("Ejectable")).toBool())
            method = QStringLiteral("Eject");
        else if (driveProperties.value(QStringLiteral("CanPowerOff")).toBool())
            method = QStringLiteral("PowerOff");
        if (!method.isEmpty()) {
            const QDBusMessage reply =
                bus.call(QDBusMessage::createMethodCall(service, drivePath, driveInterface, method)
                             << QVariantMap(),
                         QDBus::Block, callTimeoutMilliseconds);
            if (reply.type() != QDBusMessage::ReplyMessage) {
                Log::error(
                    QStringLiteral("ejectMedia: %1 is unmounted, but its drive did not %2: %3")
                        .arg(mountPoint, method, reply.errorMessage()));
                return true;
            }
        }
        Log::info(QStringLiteral("ejectMedia: %1 unmounted and ejected").arg(mountPoint));
        return true;
    }
    Log::error(
        QStringLiteral("ejectMedia: UDisks2 knows no file system mounted at %1").arg(mountPoint));
    return false;
}

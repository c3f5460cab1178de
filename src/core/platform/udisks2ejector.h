#pragma once

#include <QDBusConnection>
#include <QString>

// Unmounts and ejects a removable volume through the UDisks2 service: finds the
// file system mounted at the path, unmounts it, then ejects its drive (or powers
// it off when it cannot be ejected). Every failure is logged and leaves the
// volume as it is; nothing is raised.
class UDisks2Ejector
{
public:
    static constexpr const char* serviceName = "org.freedesktop.UDisks2";

    // The system bus by default; tests give a private bus with a service of their own.
    explicit UDisks2Ejector(const QDBusConnection& bus = QDBusConnection::systemBus());

    // True when the file system was unmounted (and its drive ejected, if it has one).
    bool eject(const QString& mountPoint);

private:
    QDBusConnection bus;
};

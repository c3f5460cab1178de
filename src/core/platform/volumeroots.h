#pragma once

#include <QCommandLineOption>
#include <QString>
#include <QStringList>
#include <optional>

// The folders under which removable volumes are mounted: "/media/$USER" and
// "/run/media/$USER" (udisks creates them on the first mount, so they count even
// before they exist) and "/Volumes" where it exists. The command line can replace
// them (--volume-root), for tests and for practices that mount cards elsewhere.
class VolumeRoots
{
public:
    static QStringList defaultRoots();
    // The roots in use: the replacement when one is set, else the defaults.
    static QStringList current();
    static void setReplacement(const QStringList& roots);
    static void clearReplacement();
    // "--volume-root DIR" (repeatable), the same in both executables.
    static QCommandLineOption commandLineOption();

    // The root that the path lies below (not the root itself), if any.
    static std::optional<QString> rootContaining(const QString& path, const QStringList& roots);
    // The volume folder of a path below a root: the root joined with the path's
    // next component.
    static std::optional<QString> volumeFolderOf(const QString& path, const QStringList& roots);

    static QString userName();
};

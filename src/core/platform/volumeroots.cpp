#include "platform/volumeroots.h"

#include <QDir>
#include <QFileInfo>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

namespace {
std::mutex replacementMutex;
std::optional<QStringList> replacement;

QString withoutTrailingSlash(const QString& path)
{
    QString cleaned = QDir::cleanPath(path);
    return cleaned == QLatin1String("/") ? QString() : cleaned;
}
} // namespace

QString VolumeRoots::userName()
{
    const QString fromEnvironment = qEnvironmentVariable("USER");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (const passwd* entry = getpwuid(getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return {};
}

QStringList VolumeRoots::defaultRoots()
{
    QStringList roots;
    const QString user = userName();
    if (!user.isEmpty()) {
        roots << QStringLiteral("/media/") + user << QStringLiteral("/run/media/") + user;
    }
    const QString macStyle = QStringLiteral("/Volumes");
    if (QFileInfo(macStyle).isDir())
        roots << macStyle;
    return roots;
}

QStringList VolumeRoots::current()
{
    const std::lock_guard lock(replacementMutex);
    return replacement ? *replacement : defaultRoots();
}

void VolumeRoots::setReplacement(const QStringList& roots)
{
    QStringList cleaned;
    for (const QString& root : roots) {
        if (!root.isEmpty())
            cleaned << QDir::cleanPath(QDir(root).absolutePath());
    }
    const std::lock_guard lock(replacementMutex);
    replacement = cleaned;
}

void VolumeRoots::clearReplacement()
{
    const std::lock_guard lock(replacementMutex);
    replacement.reset();
}

std::optional<QString> VolumeRoots::rootContaining(const QString& path, const QStringList& roots)
{
    const QString cleanedPath = QDir::cleanPath(path);
    for (const QString& root : roots) {
        const QString prefix = withoutTrailingSlash(root) + QLatin1Char('/');
        if (cleanedPath.startsWith(prefix) && cleanedPath.size() > prefix.size())
            return root;
    }
    return std::nullopt;
}

std::optional<QString> VolumeRoots::volumeFolderOf(const QString& path, const QStringList& roots)
{
    const std::optional<QString> root = rootContaining(path, roots);
    if (!root)
        return std::nullopt;
    const QString cleanedPath = QDir::cleanPath(path);
    const QString prefix = withoutTrailingSlash(*root) + QLatin1Char('/');
    const QString volumeName = cleanedPath.mid(prefix.size()).section(QLatin1Char('/'), 0, 0);
    return prefix + volumeName;
}

QCommandLineOption VolumeRoots::commandLineOption()
{
    return {QStringLiteral("volume-root"),
            QStringLiteral("Look for camera cards below DIR instead of /media/$USER, "
                           "/run/media/$USER and /Volumes (repeatable)."),
            QStringLiteral("DIR")};
}

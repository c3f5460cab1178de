#include "common/applicationresources.h"

#include "buildinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString overrideDirectory;
}

QStringList ApplicationResources::searchDirectories()
{
    QStringList directories;
    if (!overrideDirectory.isEmpty())
        directories << overrideDirectory;
    const QString executableDir = QCoreApplication::applicationDirPath();
    if (!executableDir.isEmpty())
        directories << QDir(executableDir).absoluteFilePath(QStringLiteral("../share/talvoren"));
    directories << QString::fromUtf8(BuildInfo::installedResourceDir);
    return directories;
}

QString ApplicationResources::path(const QString& name, const QString& type)
{
    const QString fileName = type.isEmpty() ? name : QStringLiteral("%1.%2").arg(name, type);
    for (const QString& directory : searchDirectories()) {
        const QString candidate = QDir(directory).filePath(fileName);
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

void ApplicationResources::setOverrideDirectory(const QString& directory)
{
    overrideDirectory = directory;
}

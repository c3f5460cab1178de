#include "watch/mountmediamanager.h"

#include <QDir>

MountMediaManager* MountMediaManager::sharedInstance()
{
    // Created once, on first use, and kept until the process ends.
    static MountMediaManager* const instance = new MountMediaManager;
    return instance;
}

void MountMediaManager::setMedia(const QString& media)
{
    setMedia(media, media);
}

void MountMediaManager::setMedia(const QString& media, const QString& name)
{
    const std::lock_guard lock(mutex);
    mediaDictionary.insert(name, media);
}

void MountMediaManager::removeMedia(const QString& name)
{
    const std::lock_guard lock(mutex);
    mediaDictionary.remove(name);
}

QStringList MountMediaManager::getMediaArray() const
{
    const std::lock_guard lock(mutex);
    return mediaDictionary.values();
}

std::optional<QString> MountMediaManager::mediumHolding(const QString& path) const
{
    // Matched at a folder boundary: "/media/a/CARD" does not hold "/media/a/CARD2/DCIM".
    const QString cleanedPath = QDir::cleanPath(path);
    std::optional<QString> best;
    for (const QString& media : getMediaArray()) {
        const QString cleanedMedia = QDir::cleanPath(media);
        const bool holds = cleanedPath == cleanedMedia ||
                           cleanedPath.startsWith(cleanedMedia + QLatin1Char('/')) ||
                           cleanedMedia == QLatin1String("/");
        if (holds && (!best || cleanedMedia.size() > best->size()))
            best = cleanedMedia;
    }
    return best;
}

void MountMediaManager::setEjector(std::shared_ptr<UDisks2Ejector> replacement)
{
    const std::lock_guard lock(mutex);
    ejector = std::move(replacement);
}

std::shared_ptr<UDisks2Ejector> MountMediaManager::currentEjector()
{
    const std::lock_guard lock(mutex);
    if (!ejector)
        ejector = std::make_shared<UDisks2Ejector>();
    return ejector;
}

void MountMediaManager::ejectMedia(const QStringList& paths)
{
    MountMediaManager* manager = sharedInstance();
    const std::shared_ptr<UDisks2Ejector> ejector = manager->currentEjector();
    for (const QString& path : paths) {
        if (const std::optional<QString> medium = manager->mediumHolding(path))
            ejector->eject(*medium);
    }
}

#pragma once

#include "platform/udisks2ejector.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

// The mounted volumes that are camera cards, so that a card can be ejected after
// its pictures were imported. Filled from the mount and unmount notifications.
class MountMediaManager
{
public:
    static MountMediaManager* sharedInstance();

    void setMedia(const QString& media);
    void setMedia(const QString& media, const QString& name);
    void removeMedia(const QString& name);
    QStringList getMediaArray() const;

    // The registered medium that holds the path: the longest one that is the path
    // itself or one of its parent folders.
    std::optional<QString> mediumHolding(const QString& path) const;

    // Unmounts and ejects, for each path in order, the medium that holds it; a path
    // on no registered medium is skipped. Failures are logged, never raised.
    static void ejectMedia(const QStringList& paths);
    // The system bus's UDisks2 unless replaced (tests use a private bus).
    void setEjector(std::shared_ptr<UDisks2Ejector> replacement);

private:
    MountMediaManager() = default;
    std::shared_ptr<UDisks2Ejector> currentEjector();

    mutable std::mutex mutex;
    QMap<QString, QString> mediaDictionary;
    std::shared_ptr<UDisks2Ejector> ejector;
};

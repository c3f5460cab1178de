#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>
#include <mutex>

// Remembers, for each camera card seen since the start, the date at which it was
// last imported or first seen, keyed by the path of its marker "LMR_SD". Kept in
// memory only: after a restart every card counts as new.
class LMRSDManager
{
public:
    static LMRSDManager* sharedInstance();

    // Remembers the marker's current modification date.
    void setTarget(const QString& marker);
    void setTarget(const QString& marker, const QDateTime& timestamp);
    // True when the card is new or its marker was modified after the remembered date.
    bool checkUpdate(const QString& marker) const;
    // Sets the marker's modification date (a failure is ignored) and remembers it.
    void modifyTimestamp(const QString& marker, const QDateTime& timestamp);
    // True when the marker lies below a volume root and its volume folder is gone.
    bool checkUnmount(const QString& marker) const;
    void removeUnmountTarget();

    QMap<QString, QDateTime> targetDictionary() const;

private:
    LMRSDManager() = default;

    mutable std::mutex mutex;
    QMap<QString, QDateTime> targets;
};

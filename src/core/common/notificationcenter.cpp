#include "common/notificationcenter.h"

#include <algorithm>

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const QString& name, QObject* owner, Handler handler)
{
    observers.push_back({name, owner, std::move(handler)});
}

void NotificationCenter::removeObserver(QObject* owner)
{
    std::erase_if(observers, [owner](const Observer& o) { return o.owner == owner; });
}

void NotificationCenter::post(const QString& name, const QVariantMap& userInfo)
{
    std::erase_if(observers, [](const Observer& o) { return o.owner.isNull(); });
    // Copy first: a handler may add or remove observers while we deliver.
    const std::vector<Observer> current = observers;
    for (const Observer& observer : current) {
        if (observer.name == name && !observer.owner.isNull())
            observer.handler(userInfo);
    }
}

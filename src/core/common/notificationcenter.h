#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <vector>

// Named notifications delivered synchronously on the posting thread, so that the
// core can tell the windows about progress without knowing any window class.
class NotificationCenter
{
public:
    using Handler = std::function<void(const QVariantMap& userInfo)>;

    static NotificationCenter& defaultCenter();

    // The observer is forgotten when `owner` is destroyed or removeObserver is called.
    void addObserver(const QString& name, QObject* owner, Handler handler);
    void removeObserver(QObject* owner);
    void post(const QString& name, const QVariantMap& userInfo = {});

private:
    struct Observer
    {
        QString name;
        QPointer<QObject> owner;
        Handler handler;
    };
    std::vector<Observer> observers;
};

#pragma once

#include "platform/mounttablemonitor.h"

#include <QObject>
#include <QString>

// Hands camera cards to the mounted-media registry as volumes come and go: a
// volume mounted below a volume root with a file "LMR_SD" at its top is registered,
// an unmounted one is forgotten. Cards already mounted when the observer starts
// count as mounted.
class MountMediaObserver : public QObject
{
    Q_OBJECT
public:
    explicit MountMediaObserver(QObject* parent = nullptr);

    // Follows this process's mount table; false when it cannot be read.
    bool start();

    static void didMount(const QString& devicePath);
    static void didUnmount(const QString& devicePath);

private:
    MountTableMonitor monitor;
};

#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>

// Serves the event loop until the condition holds; the limit makes a broken notifier
// fail the test instead of hanging it.
inline bool processEventsUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer limit(20000);
    while (!condition() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

#include "common/logfilerotation.h"

#include <algorithm>

LogFileRotation::LogFileRotation(Rotation rotation, Clock clock, QObject* parent)
    : QObject(parent), rotation(std::move(rotation)), clock(std::move(clock))
{
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &LogFileRotation::timerFired);
}

QDateTime LogFileRotation::comingMidnight(const QDateTime& now)
{
    // The start of the day, not 86400 seconds on: days around a daylight-saving
    // change are 23 or 25 hours long.
    return QDateTime(now.toLocalTime().date().addDays(1), QTime(0, 0));
}

void LogFileRotation::start()
{
    midnight = comingMidnight(clock());
    arm();
}

void LogFileRotation::timerFired()
{
    const QDateTime now = clock();
    if (now < midnight) {
        arm();
        return;
    }
    const QDateTime rotatedAt = midnight;
    // The next midnight after the later of the two: a clock that jumped ahead by
    // days rotates once, not once per missed day.
    midnight = comingMidnight(std::max(now, rotatedAt));
    arm();
    if (rotation)
        rotation(rotatedAt);
}

void LogFileRotation::arm()
{
    // At least a millisecond: the timer then always waits for the event loop once.
    timer.start(static_cast<int>(std::clamp<qint64>(clock().msecsTo(midnight), 1, 86400LL * 1000)));
}

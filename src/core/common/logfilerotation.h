#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <functional>

// Fires the daily log rotation at or after each coming local midnight, never
// before: the timer is precise, a wake-up that comes early (timers may fire a
// little before their time, and the clock can be set back) only waits for the
// rest, and the rotation is handed the scheduled midnight so that the new file
// is named after the day that has begun, whatever the clock says a moment later.
class LogFileRotation : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    using Rotation = std::function<void(const QDateTime& midnight)>;

    explicit LogFileRotation(Rotation rotation, Clock clock = &QDateTime::currentDateTime,
                             QObject* parent = nullptr);

    // Schedules the coming local midnight.
    void start();
    QDateTime scheduledMidnight() const { return midnight; }
    qint64 remainingMsecs() const { return timer.remainingTime(); }

    // What the timer does when it fires: rotates when the midnight has come, and
    // schedules the next one; before that, waits for the rest.
    void timerFired();

    // The start of the day after the one of now, in local time.
    static QDateTime comingMidnight(const QDateTime& now);

private:
    void arm();

    Rotation rotation;
    Clock clock;
    QDateTime midnight;
    QTimer timer;
};

#include "common/runloop.h"

#include <QEventLoop>
#include <QTimer>

void runLoopFor(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

#include "platform/terminationrequest.h"

#include "common/log.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <fcntl.h>
#include <unistd.h>

namespace {
std::atomic<int> requestedSignal{0};
int pipeEnds[2] = {-1, -1};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

void onSignal(int signalNumber)
{
    TerminationRequest::request(signalNumber);
}
} // namespace

void TerminationRequest::install()
{
    if (pipeEnds[0] >= 0)
        return;
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        pipeEnds[0] = pipeEnds[1] = -1;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and writes go on: the picture in hand is finished.
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void TerminationRequest::quitEventLoopOnRequest(QObject* owner)
{
    install();
    if (pipeEnds[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        Log::info(QStringLiteral("Ending on signal %1.").arg(signal()));
        QCoreApplication::quit();
    });
}

int TerminationRequest::signal()
{
    return requestedSignal.load();
}

int TerminationRequest::notifierDescriptor()
{
    return pipeEnds[0];
}

void TerminationRequest::request(int signalNumber)
{
    // Only async-signal-safe calls: an atomic store and write(2).
    int expected = 0;
    requestedSignal.compare_exchange_strong(expected, signalNumber);
    if (pipeEnds[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    }
}

void TerminationRequest::reset()
{
    requestedSignal.store(0);
}

#pragma once

#include <csignal>

class QObject;

// SIGTERM (logout, shutdown) and SIGINT (Ctrl-C) ask the process to end. An import
// run looks at the request between pictures: it finishes the picture in hand,
// removes the sources it has filed, files what it staged and returns, so that
// nothing is left half-written. The event loop learns of the request through a
// descriptor that becomes readable (a signal handler may only write).
class TerminationRequest
{
public:
    // Installs the handlers for SIGTERM and SIGINT (once; later calls do nothing).
    static void install();
    // The signal that asked to end, 0 while none did.
    static int signal();
    // Readable once a signal arrived; -1 before install or when no pipe could be made.
    static int notifierDescriptor();
    // Installs the handlers and quits the application's event loop once a signal
    // arrives (an import in progress returns first); the watcher lives with owner.
    static void quitEventLoopOnRequest(QObject* owner);
    // The exit status of a command ended by the signal: 128 + its number.
    static int exitStatus() { return 128 + signal(); }

    // Tests ask as a signal would, and forget the request again.
    static void request(int signalNumber);
    static void reset();
};

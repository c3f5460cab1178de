#pragma once

// Lets the current thread's event loop run for the given time, so that timers,
// file-system events and windows are served while the caller waits.
void runLoopFor(double seconds);

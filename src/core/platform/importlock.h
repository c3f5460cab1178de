#pragma once

#include <QString>
#include <functional>

// One import at a time per user, across processes: the application's polls and card
// imports, talvoren-cli import and talvoren-cli watch share the staging folders and
// the records, so an outermost import run holds this lock for its whole length.
//
// The lock is an flock(2) on a file in the application data folder. The kernel
// drops it when its holder ends, however it ends, so a lock left by a killed
// process is taken over at once. Within one thread the lock nests: an outermost run
// inside a card import that holds it already shares it.
class ImportLock
{
public:
    enum class WhenHeld
    {
        // Give up at once (a poll skips its tick).
        Skip,
        // Wait until the other import ends, or until a termination signal arrives.
        Wait
    };

    // Takes the lock; waiting calls whileWaiting once, when the lock is found held.
    explicit ImportLock(WhenHeld whenHeld, const std::function<void()>& whileWaiting = {});
    ~ImportLock();
    ImportLock(const ImportLock&) = delete;
    ImportLock& operator=(const ImportLock&) = delete;

    bool isHeld() const { return held; }

    // "import.lock" in the application data folder.
    static QString lockFilePath();

private:
    bool tryTake();

    bool held = false;
    int descriptor = -1;
};

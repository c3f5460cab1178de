#pragma once

#include <QString>

// The empty file "$TMP" that exists while a folder-tree run or a card import is in
// progress; the watch-folder poll skips its ticks while it stands. It lives in the
// application data folder: the executable's folder is not writable for users, and
// every run of the application (the watch, the card import, talvoren-cli) finds it
// there.
class TransferringMarker
{
public:
    static QString path();
    // Creates the empty marker (replacing one that stands there); failures ignored.
    static void create();
    // Removes the marker; failures ignored.
    static void remove();
};

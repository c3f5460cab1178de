#pragma once

#include <QColor>
#include <QIcon>

// The application's images from its resource folder. A missing or unreadable image
// never stops the application: the tray gets a plain drawn mark instead, so that
// its menu stays reachable.
class ApplicationIcons
{
public:
    // The monochrome tray image ("TalvorenStatusBarIconTemplate") drawn in `color`.
    static QIcon statusBarIcon(const QColor& color);
    // The application icon ("talvoren"); empty when missing.
    static QIcon applicationIcon();

    static constexpr const char* statusBarIconName = "TalvorenStatusBarIconTemplate";
    static constexpr const char* applicationIconName = "talvoren";
};

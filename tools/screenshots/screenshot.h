#pragma once

#include "basewindowcontroller.h"

#include <QString>
#include <QWidget>
#include <functional>

// Where the pictures go: <build>/screenshots, created on first use.
QString screenshotFolder();

// Waits until the window is painted (and waitMs more, for content drawn in the
// background), then saves it as "<language>-<name>.png" with a title bar.
void saveScreenshot(QWidget* window, const QString& language, const QString& name, int waitMs = 50);

// Shows the controller's window as its caller would, runs afterShowing, saves
// the picture and closes the window.
void captureAndClose(BaseWindowController* controller, const QString& language, const QString& name,
                     const std::function<void()>& afterShowing = {}, int waitMs = 50);

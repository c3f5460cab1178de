#pragma once

#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// A virtual display (Xvfb) with a tray host (trayer), and the tools a person's
// hands and eyes stand in for: xdotool for keys, clicks and finding windows by
// title, xwininfo for the tray, xwd for screenshots. Programs started through it
// see the display, the C locale and the process's (temporary) home.
class DesktopSession
{
public:
    DesktopSession();
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // Empty when everything is there; else what is missing (the test is skipped).
    static QString missingTools();
    bool isRunning() const { return !display.isEmpty(); }
    QProcessEnvironment environment() const;

    // The visible windows whose title matches the regular expression.
    QStringList windows(const QString& title) const;
    // The first visible window with the title, once it is there (then a screenshot is
    // taken when named); empty on time-out.
    QString waitForWindow(const QString& title, const QString& screenshotName = {}) const;
    bool waitUntilNoWindow(const QString& title) const;
    // Gives the window the keyboard focus and types the keys (xdotool key names).
    void pressKeys(const QString& window, const QStringList& keys) const;
    void typeText(const QString& window, const QString& text) const;
    // The tray icon of the application inside the tray host, if it is there.
    std::optional<QRect> trayIcon() const;
    void clickAt(const QPoint& point, int button) const;
    // Opens the tray icon's menu (screenshot taken when named) and picks the item that
    // many places down.
    void chooseTrayMenuItem(int position, const QString& screenshotName = {}) const;
    // Writes the whole screen to build/screenshots/e2e-NAME.png.
    void screenshot(const QString& name) const;

private:
    // Runs a tool on the display to its end; its standard output.
    QString run(const QString& program, const QStringList& arguments) const;
    QString xdotool(const QStringList& arguments) const;
    QString windowTree() const;

    QString display;
    std::unique_ptr<QProcess> xvfb;
    std::unique_ptr<QProcess> trayer;
};

// Waits for the condition, letting this process's events run meanwhile; false
// when it did not become true within the time.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 60000);

// The application under test, started from the build tree on the session's display,
// in the working folder given (else in this process's).
class TalvorenProcess
{
public:
    TalvorenProcess(const DesktopSession& session, const QStringList& arguments,
                    const QProcessEnvironment& extra = {}, const QString& workingFolder = {});
    ~TalvorenProcess();
    bool isRunning() const { return process.state() == QProcess::Running; }
    bool waitForEnd(int timeoutMs = 30000);
    QString output();

private:
    QProcess process;
    QByteArray collected;
};

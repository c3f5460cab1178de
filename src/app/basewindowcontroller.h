#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

class TalvorenWindowManager;

// The owner of one dialog window built from the interface file named like the
// controller class. The window is built on first use (`window()`), so that the
// fields a caller sets before showing it are in place when `windowDidLoad` runs.
// Closing the window takes the controller out of its manager and frees it.
class BaseWindowController : public QObject
{
    Q_OBJECT

public:
    BaseWindowController();
    ~BaseWindowController() override;

    // The window id the manager keys this controller by; -1 for the base.
    virtual int getTalvorenWindow() const { return -1; }

    QWidget* window();
    bool isWindowLoaded() const { return loadedWindow != nullptr; }

    virtual void showWindow();
    // Brings the application and this window in front of other applications' windows.
    void orderFront();
    // Hides the window; the controller and its state stay.
    void orderOut();
    // Closes the window: the controller leaves its manager and is freed.
    void close();

    TalvorenWindowManager* talvorenWindowManager() const;
    void setTalvorenWindowManager(TalvorenWindowManager* windowManager);

signals:
    void windowClosed();

protected:
    // Builds the widgets from the controller's interface file onto `window`.
    virtual void setupWindow(QWidget* window) = 0;
    virtual void windowWillLoad() {}
    virtual void windowDidLoad() {}
    // The window is closing; the base removes the controller from its manager and
    // schedules its deletion. Overrides call the base last.
    virtual void windowWillClose();
    // The manager to ask for other windows: the one that handed this controller
    // out, else the shared one (for controllers made directly).
    TalvorenWindowManager& requestManager() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handleWindowClose();

    std::unique_ptr<QWidget> loadedWindow;
    QPointer<TalvorenWindowManager> manager;
    bool closing = false;
};

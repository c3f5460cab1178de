#include "basewindowcontroller.h"

#include "talvorenwindowmanager.h"

#include <QCloseEvent>
#include <QDialog>

BaseWindowController::BaseWindowController() = default;

BaseWindowController::~BaseWindowController()
{
    if (loadedWindow)
        loadedWindow->removeEventFilter(this);
}

QWidget* BaseWindowController::window()
{
    if (!loadedWindow) {
        windowWillLoad();
        auto dialog = std::make_unique<QDialog>();
        // A background application: closing one of its dialogs must never end it.
        dialog->setAttribute(Qt::WA_QuitOnClose, false);
        setupWindow(dialog.get());
        // The title bar's close button arrives as a close event; Escape (and any other
        // way a dialog is dismissed) ends with finished.
        dialog->installEventFilter(this);
        connect(dialog.get(), &QDialog::finished, this, &BaseWindowController::handleWindowClose);
        loadedWindow = std::move(dialog);
        windowDidLoad();
    }
    return loadedWindow.get();
}

void BaseWindowController::showWindow()
{
    QWidget* shown = window();
    shown->show();
    shown->raise();
}

void BaseWindowController::orderFront()
{
    QWidget* front = window();
    front->raise();
    front->activateWindow();
}

void BaseWindowController::orderOut()
{
    window()->hide();
}

void BaseWindowController::close()
{
    if (loadedWindow)
        loadedWindow->close();
    // A window that was never built (or hidden without a close event) still closes.
    handleWindowClose();
}

TalvorenWindowManager* BaseWindowController::talvorenWindowManager() const
{
    return manager;
}

void BaseWindowController::setTalvorenWindowManager(TalvorenWindowManager* windowManager)
{
    manager = windowManager;
}

TalvorenWindowManager& BaseWindowController::requestManager() const
{
    return manager ? *manager : TalvorenWindowManager::sharedInstance();
}

void BaseWindowController::windowWillClose()
{
    if (manager)
        manager->removeWindow(getTalvorenWindow(), this);
    deleteLater();
}

bool BaseWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == loadedWindow.get() && event->type() == QEvent::Close)
        handleWindowClose();
    return QObject::eventFilter(watched, event);
}

void BaseWindowController::handleWindowClose()
{
    if (closing)
        return;
    closing = true;
    windowWillClose();
    emit windowClosed();
}

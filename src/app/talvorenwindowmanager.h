#pragma once

#include "basewindowcontroller.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRecursiveMutex>

// The one owner of the application's dialogs: at most one controller per window id
// is out at a time, from the first request until its window closes; the next
// request after that builds a fresh controller.
class TalvorenWindowManager : public QObject
{
    Q_OBJECT

public:
    TalvorenWindowManager();
    ~TalvorenWindowManager() override;

    // The process-wide manager, made on first use and kept until the process ends.
    static TalvorenWindowManager& sharedInstance();

    // The controller out for the id, made when there is none; null for an id outside
    // 0 to 11.
    BaseWindowController* getWindowController(int windowId);
    template <class Controller> Controller* windowController(int windowId)
    {
        return qobject_cast<Controller*>(getWindowController(windowId));
    }
    void setWindow(int windowId);
    void removeWindow(int windowId);
    // Removes the id's entry only while it is this controller: a controller that
    // closes late must not take out the one that replaced it.
    void removeWindow(int windowId, const BaseWindowController* controller);
    // True while a controller for the id is out, that is until its window closes.
    bool checkWindow(int windowId) const;

private:
    static BaseWindowController* makeWindowController(int windowId);

    QHash<int, QPointer<BaseWindowController>> windowDictionary;
    mutable QRecursiveMutex lock;
};

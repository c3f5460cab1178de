#include "talvorenwindowmanager.h"

#include "alertwindowcontroller.h"
#include "configwindowcontroller.h"
#include "copyresultwindowcontroller.h"
#include "detailconfigwindowcontroller.h"
#include "duplicatewindowcontroller.h"
#include "helpwindowcontroller.h"
#include "informationcheckwindowcontroller.h"
#include "progresswindowcontroller.h"
#include "readconfirmwindowcontroller.h"
#include "recentimportswindowcontroller.h"
#include "sdcopyconfirmwindowcontroller.h"
#include "talvorenwindowid.h"
#include "updatecheckwindowcontroller.h"
#include "versioninformationwindowcontroller.h"

#include <QMutexLocker>

TalvorenWindowManager::TalvorenWindowManager() = default;

TalvorenWindowManager::~TalvorenWindowManager()
{
    // Controllers still out close with their windows; they must not call back here.
    for (const QPointer<BaseWindowController>& controller : std::as_const(windowDictionary)) {
        if (controller)
            controller->setTalvorenWindowManager(nullptr);
    }
}

TalvorenWindowManager& TalvorenWindowManager::sharedInstance()
{
    // Never destroyed: windows may still close while the process winds down.
    static TalvorenWindowManager* const instance = new TalvorenWindowManager;
    return *instance;
}

BaseWindowController* TalvorenWindowManager::getWindowController(int windowId)
{
    if (windowId < TalvorenWindowId::first || windowId > TalvorenWindowId::last)
        return nullptr;
    QMutexLocker locker(&lock);
    QPointer<BaseWindowController>& controller = windowDictionary[windowId];
    if (!controller)
        controller = makeWindowController(windowId);
    controller->setTalvorenWindowManager(this);
    return controller;
}

void TalvorenWindowManager::setWindow(int windowId)
{
    getWindowController(windowId);
}

void TalvorenWindowManager::removeWindow(int windowId)
{
    QMutexLocker locker(&lock);
    windowDictionary.remove(windowId);
}

void TalvorenWindowManager::removeWindow(int windowId, const BaseWindowController* controller)
{
    QMutexLocker locker(&lock);
    const auto entry = windowDictionary.constFind(windowId);
    if (entry != windowDictionary.cend() && entry.value() == controller)
        windowDictionary.remove(windowId);
}

bool TalvorenWindowManager::checkWindow(int windowId) const
{
    QMutexLocker locker(&lock);
    return !windowDictionary.value(windowId).isNull();
}

BaseWindowController* TalvorenWindowManager::makeWindowController(int windowId)
{
    switch (windowId) {
    case TalvorenWindowId::ConfigWindow:
        return new ConfigWindowController;
    case TalvorenWindowId::CopyResultWindow:
        return new CopyResultWindowController;
    case TalvorenWindowId::HelpWindow:
        return new HelpWindowController;
    case TalvorenWindowId::SDCopyConfirmWindow:
        return new SDCopyConfirmWindowController;
    case TalvorenWindowId::UpdateCheckWindow:
        return new UpdateCheckWindowController;
    case TalvorenWindowId::VersionInformationWindow:
        return new VersionInformationWindowController;
    case TalvorenWindowId::AlertWindow:
        return new AlertWindowController;
    case TalvorenWindowId::DetailConfigWindow:
        return new DetailConfigWindowController;
    case TalvorenWindowId::DuplicateWindow:
        return new DuplicateWindowController;
    case TalvorenWindowId::InformationCheckWindow:
        return new InformationCheckWindowController;
    case TalvorenWindowId::ProgressWindow:
        return new ProgressWindowController;
    case TalvorenWindowId::ReadConfirmWindow:
        return new ReadConfirmWindowController;
    case TalvorenWindowId::RecentImportsWindow:
        return new RecentImportsWindowController;
    default:
        return nullptr;
    }
}

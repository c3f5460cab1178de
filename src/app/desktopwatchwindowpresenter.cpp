#include "desktopwatchwindowpresenter.h"

#include "alertwindowcontroller.h"
#include "common/log.h"
#include "copyresultwindowcontroller.h"
#include "localizedstrings.h"
#include "progresswindowcontroller.h"
#include "sdcopyconfirmwindowcontroller.h"
#include "talvorenwindowmanager.h"
#include "watch/watchsdcardoperator.h"

DesktopWatchWindowPresenter::DesktopWatchWindowPresenter(TalvorenWindowManager& windowManager)
    : windowManager(windowManager)
{
}

void DesktopWatchWindowPresenter::install()
{
    TalvorenWindowManager& shared = TalvorenWindowManager::sharedInstance();
    WatchWindowPresenter::setShared(std::make_shared<DesktopWatchWindowPresenter>(shared));
    BaseWatchFolderOperator::setProgressWindowCheck(
        [&shared] { return shared.checkWindow(TalvorenWindowId::ProgressWindow); });
}

bool DesktopWatchWindowPresenter::checkWindow(WatchWindow window) const
{
    return windowManager.checkWindow(static_cast<int>(window));
}

void DesktopWatchWindowPresenter::showCopyFailedAlert(const QString& reason)
{
    auto* alert =
        windowManager.windowController<AlertWindowController>(TalvorenWindowId::AlertWindow);
    if (!alert)
        return;
    alert->setMessage(LocalizedStrings::format(QStringLiteral("ApplicationMessage27"), {reason}));
    alert->showWindow();
    alert->orderFront();
}

void DesktopWatchWindowPresenter::showCardCopyConfirmation(
    std::shared_ptr<WatchSDCardOperator> cardOperator, const QStringList& folders)
{
    auto* confirmation = windowManager.windowController<SDCopyConfirmWindowController>(
        TalvorenWindowId::SDCopyConfirmWindow);
    if (!confirmation || !cardOperator)
        return;
    confirmation->setWatchSDCardOperator([cardOperator](const QStringList& cardFolders) {
        cardOperator->copyImage(cardFolders, *cardOperator);
    });
    confirmation->setFolderArray(folders);
    confirmation->showWindow();
}

BaseWindowController* DesktopWatchWindowPresenter::windowIfOut(int windowId) const
{
    return windowManager.checkWindow(windowId) ? windowManager.getWindowController(windowId)
                                               : nullptr;
}

void DesktopWatchWindowPresenter::bringCardCopyConfirmationToFront()
{
    if (BaseWindowController* confirmation = windowIfOut(TalvorenWindowId::SDCopyConfirmWindow))
        confirmation->orderFront();
}

void DesktopWatchWindowPresenter::hideProgressWindow()
{
    // Only a progress window that is out is hidden. Making one here would leave a
    // hidden window counting the files of every later import, and the next card
    // import would start its percentage from that count.
    if (BaseWindowController* progress = windowIfOut(TalvorenWindowId::ProgressWindow))
        progress->orderOut();
}

void DesktopWatchWindowPresenter::showProgressWindow(const QStringList& folders)
{
    ProgressWindowController::openFor(windowManager, folders);
}

void DesktopWatchWindowPresenter::showCopyResult(qint64 fileCount)
{
    showCopyResult(fileCount, PatientFolderTally());
}

void DesktopWatchWindowPresenter::showCopyResult(qint64 fileCount, const PatientFolderTally& filed)
{
    auto* result = windowManager.windowController<CopyResultWindowController>(
        TalvorenWindowId::CopyResultWindow);
    if (!result)
        return;
    Log::info(QStringLiteral("The copy result window shows %1 file(s).").arg(fileCount));
    result->setFileCount(fileCount);
    result->setFiledFolders(filed.entries());
    result->showWindow();
    result->orderFront();
}

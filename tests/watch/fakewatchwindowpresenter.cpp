#include "fakewatchwindowpresenter.h"

#include "common/notificationcenter.h"

FakeWatchWindowPresenter::FakeWatchWindowPresenter()
{
    NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("notificationNameCloseProgressWindow"), &observer,
        [this](const QVariantMap&) {
            calls << QStringLiteral("close progress");
            open.remove(WatchWindow::Progress);
        });
}

FakeWatchWindowPresenter::~FakeWatchWindowPresenter()
{
    NotificationCenter::defaultCenter().removeObserver(&observer);
}

void FakeWatchWindowPresenter::showCopyFailedAlert(const QString& reason)
{
    calls << QStringLiteral("alert");
    alerts << reason;
    open.insert(WatchWindow::Alert);
    if (duringAlert)
        duringAlert();
}

void FakeWatchWindowPresenter::showCardCopyConfirmation(
    std::shared_ptr<WatchSDCardOperator> cardOperator, const QStringList& folders)
{
    calls << QStringLiteral("confirm");
    open.insert(WatchWindow::SDCopyConfirm);
    confirmationOperator = std::move(cardOperator);
    confirmationFolders = folders;
}

void FakeWatchWindowPresenter::showCopyResult(qint64 fileCount)
{
    calls << QStringLiteral("result");
    results << fileCount;
    open.insert(WatchWindow::CopyResult);
}

void FakeWatchWindowPresenter::pressOk()
{
    open.insert(WatchWindow::Progress);
    confirmationOperator->copyImage(confirmationFolders, *confirmationOperator);
    open.remove(WatchWindow::SDCopyConfirm);
    confirmationOperator.reset();
}

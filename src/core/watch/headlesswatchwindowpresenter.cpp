#include "watch/headlesswatchwindowpresenter.h"

#include "common/log.h"
#include "watch/watchsdcardoperator.h"

bool HeadlessWatchWindowPresenter::checkWindow(WatchWindow window) const
{
    return window == WatchWindow::SDCopyConfirm && confirming;
}

void HeadlessWatchWindowPresenter::showCopyFailedAlert(const QString& reason)
{
    ++failures;
    Log::error(QStringLiteral("The pictures could not be copied: %1").arg(reason));
}

void HeadlessWatchWindowPresenter::showCardCopyConfirmation(
    std::shared_ptr<WatchSDCardOperator> cardOperator, const QStringList& folders)
{
    Log::info(QStringLiteral("No window to confirm the camera card copy: importing %1")
                  .arg(folders.join(QStringLiteral(", "))));
    confirming = true;
    struct ConfirmationEnd
    {
        bool& confirming;
        ~ConfirmationEnd() { confirming = false; }
    } confirmationEnd{confirming};
    cardOperator->copyImage(folders, *cardOperator);
}

void HeadlessWatchWindowPresenter::showCopyResult(qint64 fileCount)
{
    Log::info(QStringLiteral("%1 files were copied from the camera card").arg(fileCount));
}

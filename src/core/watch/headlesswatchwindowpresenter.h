#pragma once

#include "watch/watchwindowpresenter.h"

// The windows of a watch without a display (talvoren-cli watch, the app without a
// tray): nothing is shown. A card that would be confirmed is imported at once, as
// if OK had been pressed, since nobody is there to answer; alerts and results go
// to the log.
class HeadlessWatchWindowPresenter : public WatchWindowPresenter
{
public:
    // Only the card confirmation is ever "out": while its import runs.
    bool checkWindow(WatchWindow window) const override;
    void showCopyFailedAlert(const QString& reason) override;
    void showCardCopyConfirmation(std::shared_ptr<WatchSDCardOperator> cardOperator,
                                  const QStringList& folders) override;
    void bringCardCopyConfirmationToFront() override {}
    void hideProgressWindow() override {}
    void showProgressWindow(const QStringList&) override {}
    void showCopyResult(qint64 fileCount) override;

    // How many alerts were raised: the runs that failed.
    int failureCount() const { return failures; }

private:
    bool confirming = false;
    int failures = 0;
};

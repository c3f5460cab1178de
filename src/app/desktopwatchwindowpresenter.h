#pragma once

#include "watch/watchwindowpresenter.h"

class BaseWindowController;
class TalvorenWindowManager;

// The windows the folder polls and the card watch open, shown for real through
// the window manager: the copy-failure alert, the card-copy confirmation, the
// progress and copy result windows.
class DesktopWatchWindowPresenter : public WatchWindowPresenter
{
public:
    explicit DesktopWatchWindowPresenter(TalvorenWindowManager& windowManager);

    // Makes this presenter (on the shared window manager) the one the watch sources
    // use, and lets the import engine ask whether the progress window is open.
    static void install();

    bool checkWindow(WatchWindow window) const override;
    void showCopyFailedAlert(const QString& reason) override;
    void showCardCopyConfirmation(std::shared_ptr<WatchSDCardOperator> cardOperator,
                                  const QStringList& folders) override;
    void bringCardCopyConfirmationToFront() override;
    void hideProgressWindow() override;
    void showProgressWindow(const QStringList& folders) override;
    void showCopyResult(qint64 fileCount) override;
    void showCopyResult(qint64 fileCount, const PatientFolderTally& filed) override;

private:
    // The window's controller while the window is out; null otherwise, never made.
    BaseWindowController* windowIfOut(int windowId) const;

    TalvorenWindowManager& windowManager;
};

#pragma once

#include "watch/watchsdcardoperator.h"
#include "watch/watchwindowpresenter.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>

// Records what the watch asks of the windows and keeps the windows "open" the way
// real ones stay open until the user closes them (the alert, the confirmation, the
// progress and result windows).
class FakeWatchWindowPresenter : public WatchWindowPresenter
{
public:
    FakeWatchWindowPresenter();
    ~FakeWatchWindowPresenter() override;

    bool checkWindow(WatchWindow window) const override { return open.contains(window); }
    void showCopyFailedAlert(const QString& reason) override;
    void showCardCopyConfirmation(std::shared_ptr<WatchSDCardOperator> cardOperator,
                                  const QStringList& folders) override;
    void bringCardCopyConfirmationToFront() override { calls << QStringLiteral("front"); }
    void hideProgressWindow() override { calls << QStringLiteral("hide progress"); }
    void showProgressWindow(const QStringList&) override
    {
        open.insert(WatchWindow::Progress);
        calls << QStringLiteral("progress");
    }
    void showCopyResult(qint64 fileCount) override;

    // What the confirmation's OK button does: the progress window opens, the card
    // import runs with the operator and folders the dialog was given, the dialog closes.
    void pressOk();

    QSet<WatchWindow> open;
    QStringList calls;
    QStringList alerts;
    QList<qint64> results;
    QStringList confirmationFolders;
    std::shared_ptr<WatchSDCardOperator> confirmationOperator;
    // Runs inside the alert call, while the caller is still in its poll.
    std::function<void()> duringAlert;

private:
    QObject observer;
};

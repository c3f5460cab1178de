#pragma once

#include "common/notificationcenter.h"
#include "watch/watchsdcardoperator.h"
#include "watch/watchwindowpresenter.h"

#include <QSet>
#include <functional>

// Records what the watch asks of the windows and keeps each window "open" the way a
// real one stays open until the user closes it.
class FakeWatchWindowPresenter : public WatchWindowPresenter
{
public:
    FakeWatchWindowPresenter()
    {
        NotificationCenter::defaultCenter().addObserver(
            QStringLiteral("notificationNameCloseProgressWindow"), &observer,
            [this](const QVariantMap&) {
                calls << QStringLiteral("close progress");
                open.remove(WatchWindow::Progress);
            });
    }
    ~FakeWatchWindowPresenter() override
    {
        NotificationCenter::defaultCenter().removeObserver(&observer);
    }

    bool checkWindow(WatchWindow window) const override { return open.contains(window); }
    void showCopyFailedAlert(const QString& reason) override
    {
        alerts << reason;
        opened(WatchWindow::Alert, "alert");
        if (duringAlert)
            duringAlert();
    }
    void showCardCopyConfirmation(std::shared_ptr<WatchSDCardOperator> cardOperator,
                                  const QStringList& folders) override
    {
        confirmationOperator = std::move(cardOperator);
        confirmationFolders = folders;
        opened(WatchWindow::SDCopyConfirm, "confirm");
    }
    void bringCardCopyConfirmationToFront() override { calls << QStringLiteral("front"); }
    void hideProgressWindow() override { calls << QStringLiteral("hide progress"); }
    void showProgressWindow(const QStringList&) override
    {
        opened(WatchWindow::Progress, "progress");
    }
    void showCopyResult(qint64 fileCount) override
    {
        results << fileCount;
        opened(WatchWindow::CopyResult, "result");
    }

    // The OK button: progress opens, the dialog's operator imports its folders, the dialog closes.
    void pressOk()
    {
        open.insert(WatchWindow::Progress);
        confirmationOperator->copyImage(confirmationFolders, *confirmationOperator);
        open.remove(WatchWindow::SDCopyConfirm);
        confirmationOperator.reset();
    }

    QSet<WatchWindow> open;
    QStringList calls;
    QStringList alerts;
    QList<qint64> results;
    QStringList confirmationFolders;
    std::shared_ptr<WatchSDCardOperator> confirmationOperator;
    // Runs inside the alert call, while the caller is still in its poll.
    std::function<void()> duringAlert;

private:
    void opened(WatchWindow window, const char* call)
    {
        open.insert(window);
        calls << QString::fromLatin1(call);
    }

    QObject observer;
};

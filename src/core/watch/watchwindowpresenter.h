#pragma once

#include "importer/patientfoldertally.h"

#include <QString>
#include <QStringList>
#include <memory>

class WatchSDCardOperator;

// The windows that the watch sources open or ask about, by their window ids.
enum class WatchWindow
{
    CopyResult = 1,
    SDCopyConfirm = 3,
    Alert = 6,
    Progress = 10
};

// What the watch sources need of the windows. The application shows real
// windows; the headless watch answers from the settings and writes to the log.
// The progress window is closed through the notification
// "notificationNameCloseProgressWindow", which the watch posts.
class WatchWindowPresenter
{
public:
    virtual ~WatchWindowPresenter() = default;

    // True while a window of that kind is out (the window manager's checkWindow:).
    virtual bool checkWindow(WatchWindow window) const = 0;
    // The alert (window 6) with the localised "ApplicationMessage27" and the reason.
    virtual void showCopyFailedAlert(const QString& reason) = 0;
    // The card-copy confirmation (window 3), given the operator that will import
    // the folders when the user agrees. Called only while it is not out.
    virtual void showCardCopyConfirmation(std::shared_ptr<WatchSDCardOperator> cardOperator,
                                          const QStringList& folders) = 0;
    virtual void bringCardCopyConfirmationToFront() = 0;
    virtual void hideProgressWindow() = 0;
    // The progress window (window 10) for a card import that starts without asking.
    virtual void showProgressWindow(const QStringList& folders) = 0;
    // The copy result window (window 1) with the number of files imported.
    virtual void showCopyResult(qint64 fileCount) = 0;
    // The same with the folders the pictures were filed into; presenters that list
    // no folders show the count alone.
    virtual void showCopyResult(qint64 fileCount, const PatientFolderTally& filed)
    {
        Q_UNUSED(filed);
        showCopyResult(fileCount);
    }

    // The presenter the watch sources use: the headless one until the application
    // installs its own.
    static std::shared_ptr<WatchWindowPresenter> shared();
    static void setShared(std::shared_ptr<WatchWindowPresenter> presenter);
};

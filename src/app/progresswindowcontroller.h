#pragma once

#include "basewindowcontroller.h"
#include "talvorenwindowid.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace Ui {
class ProgressWindowController;
}

// The bar and percentage shown while a camera card is imported. The import code
// never calls it: it posts "notificationNameUpdateProgress" once per imported file
// and "notificationNameCloseProgressWindow" at the end, and this window follows.
class ProgressWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    static const QString notificationNameUpdateProgress;
    static const QString notificationNameCloseProgressWindow;

    ProgressWindowController();
    ~ProgressWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::ProgressWindow; }

    int totalCount() const { return total; }
    void setTotalCount(int totalCount) { total = totalCount; }
    // Files counted since the last progress window was made.
    static int processedCount();

    // One more file done: the percentage of the total, at most 100.
    void updateProgress();
    static int percentage(int processed, int totalCount);

    // Takes the progress window from the manager with the number of pictures in the
    // folders (and their sub-folders) as its total, shows it and brings it to the front.
    static void openFor(TalvorenWindowManager& windowManager, const QStringList& folders);

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;
    void windowWillClose() override;

private:
    void zero();

    int total = 0;
    std::unique_ptr<Ui::ProgressWindowController> ui;
};

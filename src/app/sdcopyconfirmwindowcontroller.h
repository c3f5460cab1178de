#pragma once

#include "basewindowcontroller.h"
#include "talvorenwindowid.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace Ui {
class SDCopyConfirmWindowController;
}
class CardPreviewPanel;

// Asks before the pictures of a freshly inserted camera card are imported. OK
// hides the dialog, opens the progress window sized to the card's pictures, runs
// the card import and waits for it, then closes; Cancel imports nothing.
class SDCopyConfirmWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    // The card import of the removable-media importer the dialog was given
    // (copyImage:selfInstance: with the folders and the importer itself).
    using CardImport = std::function<void(const QStringList& folders)>;

    SDCopyConfirmWindowController();
    ~SDCopyConfirmWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::SDCopyConfirmWindow; }

    void setWatchSDCardOperator(CardImport watchSDCardOperator);
    QStringList folderArray() const { return folders; }
    void setFolderArray(const QStringList& folderArray) { folders = folderArray; }

    void okButtonClick();
    void cancelButtonClick();
    // Sums the pictures of every card folder and shows the progress window with it.
    void openProgressWindow();
    // Under the question: what the card holds and the patients its pictures go to.
    CardPreviewPanel* previewPanel() const { return preview; }

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    CardImport watchSDCardOperator;
    QStringList folders;
    std::unique_ptr<Ui::SDCopyConfirmWindowController> ui;
    CardPreviewPanel* preview = nullptr;
};

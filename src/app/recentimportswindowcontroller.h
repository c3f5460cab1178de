#pragma once

#include "basewindowcontroller.h"
#include "records/importedfileentity.h"
#include "talvorenwindowid.h"

#include <QList>
#include <QTimer>
#include <memory>

namespace Ui {
class RecentImportsWindowController;
}

// The latest filed pictures from the records, newest first: when, into which
// patient folder, under which name, from which original, a thumbnail, and whether
// the file still stands there. A filter narrows them to a patient ID or name; a
// double-click opens the picture's folder. Thumbnails are decoded after the window
// is out, a few at a time and scaled while decoding, so it opens at once.
class RecentImportsWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    static constexpr int recordLimit = 200;

    RecentImportsWindowController();
    ~RecentImportsWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::RecentImportsWindow; }

    void showWindow() override;
    // Shows the records whose patient folder holds the text (all for an empty text).
    void setFilterText(const QString& text);
    int shownRecordCount() const;
    // Decodes every thumbnail still waiting (tests and screenshots).
    void loadAllThumbnails();
    void openFolderOfRow(int row) const;

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    void reload();
    void loadNextThumbnail();

    QList<ImportedFileEntity> records;
    QString filterText;
    int nextThumbnail = 0;
    QTimer filterDelay;
    QTimer thumbnailTimer;
    std::unique_ptr<Ui::RecentImportsWindowController> ui;
};

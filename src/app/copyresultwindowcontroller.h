#pragma once

#include "basewindowcontroller.h"
#include "importer/patientfoldertally.h"
#include "talvorenwindowid.h"

#include <QTimer>
#include <chrono>
#include <memory>

namespace Ui {
class CopyResultWindowController;
}
class SoundPlayer;
class FiledFoldersList;

// Tells how many files a camera-card import brought in, with a chime, and closes
// itself after a while unless the user closes it first.
class CopyResultWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds defaultCloseInterval{20000};

    CopyResultWindowController();
    ~CopyResultWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::CopyResultWindow; }

    qint64 fileCount() const { return count; }
    void setFileCount(qint64 fileCount) { count = fileCount; }
    // The folders the pictures went into, each listed with a button that opens it.
    void setFiledFolders(const QList<PatientFolderTally::Count>& folders) { filed = folders; }
    FiledFoldersList* filedFoldersList() const { return folderList; }
    // How long the window stays before it closes itself (tests shorten it).
    void setCloseInterval(std::chrono::milliseconds interval) { closeInterval = interval; }

    // Shows the count, plays the sound once and starts the close timer; showing an
    // open result window again shows the new count and starts over.
    void showWindow() override;
    void closeButtonClick();
    bool isCloseTimerActive() const { return closeTimer.isActive(); }
    const SoundPlayer* soundPlayer() const { return player.get(); }

    static QString messageText(qint64 fileCount);

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    void timerCloseWindow();
    void releasePlayer();

    qint64 count = 0;
    QList<PatientFolderTally::Count> filed;
    FiledFoldersList* folderList = nullptr;
    std::chrono::milliseconds closeInterval = defaultCloseInterval;
    QTimer closeTimer;
    std::unique_ptr<SoundPlayer> player;
    std::unique_ptr<Ui::CopyResultWindowController> ui;
};

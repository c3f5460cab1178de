#include "copyresultwindowcontroller.h"

#include "common/applicationresources.h"
#include "filedfolderslist.h"
#include "localizedstrings.h"
#include "soundplayer.h"
#include "ui_copyresultwindowcontroller.h"

CopyResultWindowController::CopyResultWindowController()
{
    closeTimer.setSingleShot(true);
    connect(&closeTimer, &QTimer::timeout, this, &CopyResultWindowController::timerCloseWindow);
}

CopyResultWindowController::~CopyResultWindowController() = default;

QString CopyResultWindowController::messageText(qint64 fileCount)
{
    if (fileCount == 0)
        return LocalizedStrings::string(QStringLiteral("CopyResultWindow_NoImageMessageLabel"));
    return QString::number(fileCount) +
           LocalizedStrings::string(QStringLiteral("CopyResultWindow_MessageLabel"));
}

void CopyResultWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::CopyResultWindowController>();
    ui->setupUi(window);
    folderList = new FiledFoldersList(window);
    ui->windowLayout->insertWidget(1, folderList);
    connect(ui->closeButton, &QPushButton::clicked, this,
            &CopyResultWindowController::closeButtonClick);
}

void CopyResultWindowController::windowDidLoad()
{
    window()->setWindowTitle(LocalizedStrings::string(QStringLiteral("CopyResultWindow_Title")));
    ui->closeButton->setText(
        LocalizedStrings::string(QStringLiteral("CopyResultWindow_CloseButton")));
}

void CopyResultWindowController::showWindow()
{
    BaseWindowController::showWindow();
    ui->messageLabel->setText(messageText(count));
    folderList->setFolders(filed);
    player = std::make_unique<SoundPlayer>();
    player->playMP3(ApplicationResources::path(QStringLiteral("sound"), QStringLiteral("mp3")));
    closeTimer.start(closeInterval);
}

void CopyResultWindowController::timerCloseWindow()
{
    releasePlayer();
    close();
}

void CopyResultWindowController::closeButtonClick()
{
    closeTimer.stop();
    releasePlayer();
    close();
}

void CopyResultWindowController::releasePlayer()
{
    player.reset();
}

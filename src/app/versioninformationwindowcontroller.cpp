#include "versioninformationwindowcontroller.h"

#include "applicationicons.h"
#include "common/talvorencommon.h"
#include "localizedstrings.h"
#include "ui_versioninformationwindowcontroller.h"

namespace {
constexpr int iconSize = 72;
}

VersionInformationWindowController::VersionInformationWindowController() = default;

VersionInformationWindowController::~VersionInformationWindowController() = default;

void VersionInformationWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::VersionInformationWindowController>();
    ui->setupUi(window);
}

void VersionInformationWindowController::windowDidLoad()
{
    const auto text = &LocalizedStrings::text;
    window()->setWindowTitle(text("VersionInformationWindow_Title"));
    ui->applicationNameLabel->setText(text("VersionInformationWindow_ApplicationNameLabel"));
    ui->detailLabel->setText(text("VersionInformationWindow_DetailLabel"));
    ui->descriptionLabel->setText(text("VersionInformationWindow_DescriptionLabel"));
    ui->versionLabel->setText(text("VersionInformationWindow_VersionLabel"));
    ui->copyrightLabel->setText(text("VersionInformationWindow_CopyrightLabel"));
    ui->versionNumberTextField->setText(TalvorenCommon::getVersionNubmer());
    const QIcon icon = ApplicationIcons::applicationIcon();
    ui->iconLabel->setPixmap(icon.pixmap(iconSize, iconSize));
    ui->iconLabel->setVisible(!icon.isNull());
}

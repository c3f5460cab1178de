#include "updatecheckwindowcontroller.h"

#include "common/talvorencommon.h"
#include "linkoverlay.h"
#include "localizedstrings.h"
#include "network/updatechecker.h"
#include "settings/usersettings.h"
#include "ui_updatecheckwindowcontroller.h"

namespace {
constexpr auto text = &LocalizedStrings::text;
} // namespace

UpdateCheckWindowController::UpdateCheckWindowController() = default;

UpdateCheckWindowController::~UpdateCheckWindowController() = default;

UpdateCheckResult UpdateCheckWindowController::checkUpdate()
{
    return replacedOr([] {
        return UpdateChecker(
                   UserSettings::getUserSettingDictionary().value_or(SettingsDictionary()))
            .checkUpdate();
    });
}

void UpdateCheckWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::UpdateCheckWindowController>();
    ui->setupUi(window);
    connect(ui->closeButton, &QPushButton::clicked, this, &UpdateCheckWindowController::close);
}

void UpdateCheckWindowController::windowDidLoad()
{
    window()->setWindowTitle(text("UpdateCheckWindow_Title"));
    ui->applicationNameLabel->setText(text("UpdateCheckWindow_ApplicationNameLabel"));
    ui->message_1->setText(text("UpdateCheckWindow_Message1"));
    ui->message_2->setText(text("UpdateCheckWindow_Message2"));
    ui->closeButton->setText(text("UpdateCheckWindow_CloseButton"));
    showResult(runCheck(&UpdateCheckWindowController::checkUpdate));
    ui->versionNumberTextField->setText(TalvorenCommon::getVersionNubmer());
    linkField = LinkOverlay::addOver(ui->lastVersionUrlTextField);
    window()->adjustSize();
}

void UpdateCheckWindowController::showResult(const UpdateCheckResult& result)
{
    ui->message_1->setVisible(result.newer);
    ui->message_2->setVisible(result.newer);
    ui->message_3->setVisible(!result.newer);
    // An empty frame says nothing: the box shows only with a newer version.
    ui->lastVersionBox->setVisible(result.newer);
    if (result.newer) {
        ui->lastVersionNameTextField->setText(result.name);
        ui->lastVersionDateTextField->setText(result.date);
        ui->lastVersionNumberTextField->setText(QStringLiteral("Ver %1").arg(result.version));
        ui->lastVersionUrlTextField->setText(result.address);
    } else {
        ui->lastVersionNameTextField->clear();
        ui->lastVersionDateTextField->clear();
        ui->lastVersionNumberTextField->clear();
        ui->lastVersionUrlTextField->clear();
        ui->message_3->setText(result.failed ? text("ApplicationMessage19")
                                             : text("UpdateCheckWindow_Message3"));
    }
}

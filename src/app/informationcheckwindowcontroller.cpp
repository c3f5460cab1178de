#include "informationcheckwindowcontroller.h"

#include "linkoverlay.h"
#include "localizedstrings.h"
#include "network/informationchecker.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "ui_informationcheckwindowcontroller.h"

namespace {
constexpr auto text = &LocalizedStrings::text;
qint32 lastShownId = -1;
QString replacedLanguage;

} // namespace

InformationCheckWindowController::InformationCheckWindowController() = default;

InformationCheckWindowController::~InformationCheckWindowController() = default;

InformationCheckResult InformationCheckWindowController::checkInformation()
{
    return replacedOr([] {
        return InformationChecker(
                   UserSettings::getUserSettingDictionary().value_or(SettingsDictionary()))
            .setFirstPreferredLanguage(firstPreferredLanguage())
            .checkInformation();
    });
}

QString InformationCheckWindowController::firstPreferredLanguage()
{
    return replacedLanguage.isEmpty() ? InformationChecker::systemFirstPreferredLanguage()
                                      : replacedLanguage;
}

void InformationCheckWindowController::setFirstPreferredLanguage(const QString& language)
{
    replacedLanguage = language;
}

qint32 InformationCheckWindowController::shownInformationId()
{
    return lastShownId;
}

void InformationCheckWindowController::setupWindow(QWidget* window)
{
    ui = std::make_unique<Ui::InformationCheckWindowController>();
    ui->setupUi(window);
    connect(ui->OKButton, &QPushButton::clicked, this,
            &InformationCheckWindowController::closeButtonClick);
    connect(ui->laterButton, &QPushButton::clicked, this,
            &InformationCheckWindowController::laterButtonClick);
}

void InformationCheckWindowController::windowDidLoad()
{
    window()->setWindowTitle(text("InformationCheckWindow_Title"));
    ui->laterButton->setText(text("InformationCheckWindow_AfterButton"));
    ui->OKButton->setText(text("InformationCheckWindow_OKButton"));
    showResult(runCheck(&InformationCheckWindowController::checkInformation));
    linkField = LinkOverlay::addOver(ui->lastVersionUrlTextField);
    window()->adjustSize();
}

void InformationCheckWindowController::showResult(const InformationCheckResult& result)
{
    if (result.id < 0) {
        // The title keeps the interface file's text.
        ui->lastVersionNameTextField->clear();
        ui->lastVersionUrlTextField->clear();
    } else {
        const QString language = firstPreferredLanguage();
        ui->applicationNameLabel->setText(result.title(language));
        ui->lastVersionNameTextField->setText(result.text(language));
        ui->lastVersionUrlTextField->setText(result.link(language));
    }
    lastShownId = result.id;
}

void InformationCheckWindowController::closeButtonClick()
{
    const qint32 acknowledged = lastShownId;
    UserSettings::update([acknowledged](SettingsDictionary& settings) {
        // A notice that could not be fetched again (-1), or an older one than was
        // acknowledged before, must not bring the acknowledged notices back.
        if (acknowledged > settings.integerValue(SettingKeys::checkedInformationId))
            settings.setValue(SettingKeys::checkedInformationId, acknowledged);
    });
    close();
}

void InformationCheckWindowController::laterButtonClick()
{
    close();
}

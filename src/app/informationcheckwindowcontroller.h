#pragma once

#include "network/informationcheckresult.h"
#include "networkcheckwindowcontroller.h"
#include "talvorenwindowid.h"

#include <QString>
#include <memory>

namespace Ui {
class InformationCheckWindowController;
}

// The notice window: checks the notice list again when it loads and shows the
// newest notice in the user's language with its link. OK acknowledges the notice
// (it is not shown again); Later leaves it to be shown at the next start.
class InformationCheckWindowController
    : public ReplaceableCheckWindowController<InformationCheckResult>
{
    Q_OBJECT

public:
    InformationCheckWindowController();
    ~InformationCheckWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::InformationCheckWindow; }

    // The notice check on the current settings in the user's language; blocks in a
    // local event loop.
    static InformationCheckResult checkInformation();
    // The user's first preferred language, which picks the list and the texts; the
    // system's unless set (an empty text restores it).
    static QString firstPreferredLanguage();
    static void setFirstPreferredLanguage(const QString& language);
    // The id of the notice the window showed last (-1: none); OK acknowledges it.
    static qint32 shownInformationId();

    // OK: stores the shown notice's id in "checked information id", then closes.
    void closeButtonClick();
    // Later: closes; nothing is stored.
    void laterButtonClick();

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;

private:
    void showResult(const InformationCheckResult& result);

    std::unique_ptr<Ui::InformationCheckWindowController> ui;
};

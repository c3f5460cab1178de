#pragma once

#include "basewindowcontroller.h"
#include "detailconfigvalues.h"
#include "talvorenwindowid.h"

#include <memory>
#include <optional>

namespace Ui {
class DetailConfigWindowController;
}

// The detail configuration window: file-naming and import options that are rarely
// changed. It saves nothing itself; the configuration window reads its controls on
// OK and Apply. Six options are shown only when the application was started with
// "--show-all-items"; hidden, they still carry their loaded values.
class DetailConfigWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    DetailConfigWindowController();
    ~DetailConfigWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::DetailConfigWindow; }

    // Whether the six rarely used options are shown; the launch option by default.
    // Takes effect when the window is loaded.
    void setShowAllItems(bool show) { showAllItems = show; }

    // The options as the controls show them now (the controls are named like the
    // settings fields in the interface file).
    DetailConfigValues values() const;
    // What the window showed when it was closed by OK or the title bar; none when it
    // is still open or was closed by Cancel.
    std::optional<DetailConfigValues> valuesKeptAtClose() const { return keptValues; }
    bool getState() const;

    void zeroPaddingButtonClick();
    // Hides the window; the controller and the values stay for the next save.
    void closeButtonClick();
    // Closes the window; the values shown are kept for the next save.
    void okButtonClick();
    // Closes the window; the next save keeps the stored options.
    void cancelButtonClick();

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;
    void windowWillClose() override;

private:
    void setTexts();
    void loadSettings();

    bool showAllItems;
    bool discardOnClose = false;
    std::optional<DetailConfigValues> keptValues;
    std::unique_ptr<Ui::DetailConfigWindowController> ui;
};

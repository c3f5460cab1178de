#pragma once

#include "basewindowcontroller.h"
#include "detailconfigvalues.h"
#include "settings/settingvalue.h"
#include "talvorenwindowid.h"

#include <QPointer>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class DetailConfigWindowController;
class QAbstractButton;
class QFileDialog;
class QLineEdit;
class SettingsDictionary;

namespace Ui {
class ConfigWindowController;
}

// The configuration window: login start, what is watched, how card imports behave,
// where pictures and movies go, the day folders. OK and Apply check the entries,
// save the whole settings file together with the detail window's options, and
// restart the watchers and the login item at once; Cancel closes without saving.
class ConfigWindowController : public BaseWindowController
{
    Q_OBJECT

public:
    // Carried in the OK button's tag while OK runs Apply: set before the check, and
    // replaced by the failure value when the check finds a fault (the window then
    // stays open).
    static constexpr int okButtonTag = 9190919;
    static constexpr int validationFailedTag = -9190919;
    // The watch folder is polled at this interval after Apply, whatever
    // "file detection wait time" says (the launch uses the setting).
    static constexpr std::chrono::milliseconds appliedWatchFolderInterval{15000};
    // Posted after every save so that the tray menu shows the right destination items.
    static const QString settingsSavedNotification;

    // Shows a file panel and answers the chosen path; none when the user cancels.
    using PanelRunner = std::function<std::optional<QString>(QFileDialog& panel)>;

    ConfigWindowController();
    ~ConfigWindowController() override;

    int getTalvorenWindow() const override { return TalvorenWindowId::ConfigWindow; }

    // Replaces the modal run of the folder and save panels (tests answer for the user).
    void setPanelRunner(PanelRunner runner) { runPanel = std::move(runner); }

    void okButtonClick();
    void cancelButtonClick();
    void applyButtonClick(QAbstractButton* button);
    void detailButtonClick();
    void exportSettingFileButtonClick();
    void watchRemovableDiskDriveButtonClick();
    void watchFolderButtonClick();
    void exportMOVButtonClick();
    void saveDayFolderButtonClick();
    void watchFolderTextButtonClick();
    void destinationFolderButtonClick();
    void destinationFolderMOVButtonClick();

    // The message of the first fault in the entries; none when they are valid.
    std::optional<QString> checkSetting() const;
    // False when the settings file could not be written.
    bool saveSettings();

    // The value's text read as a whole number: true is 1, false 0; 0 when the value
    // is missing or its text is empty or not all digits.
    static qint64 getIntegerSettingValue(const std::optional<SettingValue>& value);
    static QString getDefaultDestinationDirectory();
    static QString getDefaultDestinationDirectoryMovie();
    // A panel for one folder; new folders can be made in it.
    std::unique_ptr<QFileDialog> getFileOpenPanel();

    // The button tag the OK and Apply sequence works with.
    static int tag(const QAbstractButton* button);
    static void setTag(QAbstractButton* button, int tag);

protected:
    void setupWindow(QWidget* window) override;
    void windowDidLoad() override;
    void windowWillClose() override;

private:
    void connectActions();
    void setTexts();
    void loadSettings();
    void chooseFolderInto(QLineEdit* field);
    void showSheet(const QString& message);
    void storeControls(SettingsDictionary& settings) const;
    void storeDetailOptions(SettingsDictionary& settings) const;
    void forgetDetailWindow();
    // Restarts the watch-folder poll and the card watch and registers the login
    // item as the saved settings say.
    static void applyWatchersAndLoginItem(const SettingsDictionary& settings);

    PanelRunner runPanel;
    // The detail window while it is out, and whether it was opened since this
    // window was loaded; what it showed when it was closed is kept for the save.
    QPointer<DetailConfigWindowController> detailWindow;
    bool detailOpened = false;
    std::optional<DetailConfigValues> closedDetailValues;
    std::unique_ptr<Ui::ConfigWindowController> ui;
};

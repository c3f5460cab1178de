#pragma once

#include "configwindowcontroller.h"
#include "detailconfigwindowcontroller.h"
#include "platform/volumechangesource.h"
#include "settings/settingsdictionary.h"
#include "windowtestsupport.h"

#include <QCheckBox>
#include <QMessageBox>
#include <functional>

inline QCheckBox* checkBox(BaseWindowController* controller, const char* name)
{
    return field<QCheckBox>(controller, name);
}

// A card watch that watches nothing: Apply may start it without touching the
// machine's mounts.
class QuietVolumeChangeSource : public VolumeChangeSource
{
    Q_OBJECT
public:
    void start(quint64) override {}
    void stop() override {}
};

// The configuration windows on a settings file of the test's own: every test starts
// from the shipped defaults, changed by what the test needs.
class ConfigWindowTest : public WindowTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the shipped defaults with the test's folders and the change applied.
    void writeSettings(const std::function<void(SettingsDictionary&)>& change = {});
    static SettingsDictionary storedSettings();
    // Expects each key's value (nullopt: absent) in the settings file, the key named on a mismatch.
    static void expectStored(
        std::initializer_list<std::pair<QLatin1String, std::optional<SettingValue>>> expected);

    ConfigWindowController* openConfigWindow();
    DetailConfigWindowController* openDetailWindow(ConfigWindowController* config);
    static QMessageBox* sheetOf(BaseWindowController* controller);
    static void dismissSheet(BaseWindowController* controller);

    // The destination and watch folders of the plain settings.
    QString clinicFolder;
    QString dropFolder;
};

#pragma once

#include "camerapicturebuilder.h"
#include "fakewatchwindowpresenter.h"
#include "filesbelow.h"
#include "importer/transferringmarker.h"
#include "platform/volumechangesource.h"
#include "settings/settingkeys.h"
#include "settings/settingsdictionary.h"
#include "settings/usersettings.h"
#include "temphome.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

// Delivers the batches a test makes, in place of the mount table.
class FakeVolumeChangeSource : public VolumeChangeSource
{
public:
    void start(quint64 sinceEventId) override { startedAfter = sinceEventId; }
    void stop() override { stopped = true; }
    void deliver(const QStringList& eventPaths, quint64 lastEventId)
    {
        emit batchReady(VolumeChangeBatch{eventPaths, lastEventId});
    }

    quint64 startedAfter = 0;
    bool stopped = false;
};

// A temporary home with the watch, Import, destination and temporary folders, a fresh
// database, a volume root, settings the test shapes, a window fake, and no waits.
class WatchFixture : public ::testing::Test
{
protected:
    WatchFixture();
    ~WatchFixture() override;

    TempHome home;
    QString watchFolder, importFolder, destination, temporary, volumeRoot;
    SettingsDictionary settings;
    std::shared_ptr<FakeWatchWindowPresenter> windows;

    void writeSettings(std::initializer_list<std::pair<QString, SettingValue>> changes)
    {
        for (const auto& [key, value] : changes)
            settings.setValue(key, value);
        ASSERT_TRUE(UserSettings::write(settings));
    }
    // The destination lies below a file: filing the staged folders fails.
    void blockDestination();
    // Writes an aged camera picture of the patient, shot at a fixed time, to folder/relativePath.
    static void put(const QString& folder, const QString& relativePath, int patientID);
    // One picture of a patient of its own at each path below the folder.
    void putEach(const QString& folder, const QStringList& paths)
    {
        for (const QString& path : paths)
            put(folder, path, ++patients);
    }
    int patients = 0;
    // A volume with the card marker (dated an hour ago) below the volume root.
    QString insertCard(const QString& name) const;
    static QString markerOf(const QString& volume) { return volume + QStringLiteral("/LMR_SD"); }
    static QDateTime modificationTime(const QString& path)
    {
        return QFileInfo(path).lastModified();
    }
    static void setModificationTime(const QString& path, const QDateTime& time);

    static std::string logOf(const std::function<void()>& action)
    {
        testing::internal::CaptureStderr();
        action();
        return testing::internal::GetCapturedStderr();
    }
    // Serves the event loop until the condition holds or a generous limit passes.
    static bool processEventsUntil(const std::function<bool()>& condition);
};

#pragma once

#include "camerapicturebuilder.h"
#include "filesbelow.h"
#include "importer/basewatchfolderoperator.h"
#include "settings/settingsdictionary.h"
#include "stderrcapture.h"
#include "temphome.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// An import engine that calls back once a staged copy is written, before the run
// looks at its source again: tests change or remove the source meanwhile.
class WatchedImporter : public BaseWatchFolderOperator
{
public:
    std::function<void(const QString& sourcePath)> onStaged;

protected:
    void stagedCopyWritten(const QString& sourcePath) override
    {
        if (onStaged)
            onStaged(sourcePath);
    }
};

// A temporary home with a source folder, picture and movie destinations, the
// temporary folder, a fresh database and a settings file the test shapes before
// each run. Pictures are written with a modification time in the past, as a file
// that has finished arriving has.
class ImportFixture : public ::testing::Test
{
public:
    ImportFixture();

    TempHome home;
    QString source;
    QString destination;
    QString movies;
    QString temporary;
    SettingsDictionary settings;
    WatchedImporter importer;

    static CameraPictureBuilder
    shot(const QString& patientID, const QString& patientName,
         const QString& dateTime = QStringLiteral("2024:05:01 10:15:30"));
    QString put(const CameraPictureBuilder& picture, const QString& relativePath) const;
    MovieIndexPair putPair(const CameraPictureBuilder& picture, const QString& relativeBase) const;

    // Writes the settings file and runs one outermost import run on the folder
    // (the source when none is given).
    void run(bool isMove = false, bool isImport = false, const QString& folder = {});
    // Writes the settings file and files the source as a poll does, top folder by top folder.
    std::optional<QString> poll(bool isForceMove = true);

    QStringList trashed() const;
    static void age(const QString& path);
};

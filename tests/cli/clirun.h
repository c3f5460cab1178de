#pragma once

#include "camerapicturebuilder.h"
#include "settings/settingsdictionary.h"
#include "temphome.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

// The real talvoren-cli of this build.
inline const QString cliPath = QStringLiteral(TALVOREN_BINARY_DIR "/bin/talvoren-cli");

// One finished run of an executable; exitCode is -1 when it crashed.
struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program to its end while this process's event loop goes on, so that a
// server of the test keeps answering it.
CliRun
runExecutable(const QString& program, const QStringList& arguments,
              const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
CliRun runCli(const QStringList& arguments);
// Runs talvoren-cli and expects its exit status and, when given, a part of its
// standard error.
CliRun expectCli(const QStringList& arguments, int exitCode, const QString& errorPart = {});
// The system environment with HOME pointed elsewhere.
QProcessEnvironment environmentWithHome(const QString& home);

// A temporary home for the commands, with the folders the default settings name.
class CliTest : public testing::Test
{
protected:
    TempHome home;
    QString source = home.filePath("camera");
    QString destination = home.filePath("Pictures/Talvoren");
    QString temporary = home.filePath(".local/share/Talvoren/temp");

    // An import of a missing folder: it prepares the application data folder and
    // the settings, as the application's start does, and then refuses the folder.
    static void prepareApplicationData(const QString& homePath);
    // Sets the keys in the settings file, starting from an empty one when none stands.
    static void changeSettings(const QList<std::pair<QString, SettingValue>>& values);
    // Writes the picture into the folder as one that finished arriving a while ago.
    static QString putPicture(const QString& folder, const QString& name,
                              const CameraPictureBuilder& picture);
};

// Passes when the text holds the part; a failure shows the whole text.
testing::AssertionResult contains(const QString& text, const QString& part);

#pragma once

#include "camerapicturebuilder.h"
#include "settings/usersettings.h"
#include "temphome.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

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
CliRun expectCli(const QStringList& arguments, int exitCode, const QString& errorPart = {});
testing::AssertionResult contains(const QString& text, const QString& part);
QJsonDocument parsedJson(const QString& text);

// A temporary home for the commands, with the folders the default settings name.
class CliTest : public testing::Test
{
protected:
    TempHome home;
    QString source = home.filePath("camera");
    QString destination = home.filePath("Pictures/Talvoren");
    QString temporary = home.filePath(".local/share/Talvoren/temp");

    // An import of a missing folder prepares the application data folder and the
    // settings in HOME, as the application's start does.
    static void prepareApplicationData() { expectCli({"import", "/nonexistent"}, 2); }

    // Sets the keys in the settings file, starting from an empty one when none stands.
    static void changeSettings(const QList<std::pair<QString, SettingValue>>& values)
    {
        SettingsDictionary settings =
            UserSettings::getUserSettingDictionary().value_or(SettingsDictionary());
        for (const auto& [key, value] : values)
            settings.setValue(key, value);
        ASSERT_TRUE(UserSettings::write(settings));
    }

    // Writes the picture into the folder as one that finished arriving a while ago.
    static QString putPicture(const QString& folder, const QString& name,
                              const CameraPictureBuilder& picture)
    {
        QFile file(picture.write(folder, name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) &&
                    file.setFileTime(QDateTime::currentDateTime().addSecs(-600),
                                     QFileDevice::FileModificationTime));
        return file.fileName();
    }
};

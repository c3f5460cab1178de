#pragma once

#include <QString>
#include <QStringList>

// The real talvoren-cli of this build.
inline const QString cliPath = QStringLiteral(TALVOREN_BINARY_DIR "/bin/talvoren-cli");

// One finished run of talvoren-cli; exitCode is -1 when it crashed.
struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& arguments);
CliRun runExecutable(const QString& program, const QStringList& arguments);

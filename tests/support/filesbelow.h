#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Every file below the folder (hidden ones too), as sorted paths relative to it.
QStringList filesBelow(const QString& folder);
// The SHA-1 of a file's bytes; empty when it cannot be read.
QByteArray fileSha1(const QString& path);
// How often each content (by SHA-1) stands below the folder.
QMap<QByteArray, int> contentsBelow(const QString& folder);

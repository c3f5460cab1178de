#pragma once

#include "platform/posixerror.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Reads extended attributes through listxattr/getxattr. With traverseLink off
// the link itself is asked, not the file it points to. On failure the optional
// error receives errno with the call ("listxattr" or "getxattr") and the arguments
// under ":path", ":name" and ":traverseLink".
class ExtendedAttributes
{
public:
    // False when the file has no such attribute or the call fails.
    static bool hasExtendedAttribute(const QString& name, const QString& path, bool traverseLink,
                                     PosixError* error = nullptr);
    static std::optional<QByteArray> extendedAttribute(const QString& name, const QString& path,
                                                       bool traverseLink,
                                                       PosixError* error = nullptr);
};

#pragma once

#include <QString>
#include <QVariantMap>

// A failed system call: its errno and what was asked. userInfo holds the strerror
// text under "error", the call under "function" and its arguments under keys that
// begin with ":" (":path", ":name", ...).
struct PosixError
{
    int code = 0;
    QVariantMap userInfo;

    static PosixError fromErrno(int code, const QString& function, const QVariantMap& arguments);
    // "No such file or directory (rename /a/b -> /c/d)": for alerts and log lines.
    QString localizedDescription() const;
};

#include "platform/posixerror.h"

#include <cstring>

PosixError PosixError::fromErrno(int code, const QString& function, const QVariantMap& arguments)
{
    PosixError error;
    error.code = code;
    error.userInfo = arguments;
    error.userInfo.insert(QStringLiteral("error"), QString::fromLocal8Bit(std::strerror(code)));
    error.userInfo.insert(QStringLiteral("function"), function);
    return error;
}

QString PosixError::localizedDescription() const
{
    QString call = userInfo.value(QStringLiteral("function")).toString();
    const QString path = userInfo.value(QStringLiteral(":path")).toString();
    const QString toPath = userInfo.value(QStringLiteral(":toPath")).toString();
    if (!path.isEmpty())
        call += QLatin1Char(' ') + path;
    if (!toPath.isEmpty())
        call += QStringLiteral(" -> ") + toPath;
    return QStringLiteral("%1 (%2)").arg(userInfo.value(QStringLiteral("error")).toString(), call);
}

#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The one failure an import run reports to its caller. The watch sources turn it
// into the alert window; its reason is the text shown there.
class CopyFailedException : public std::exception
{
public:
    explicit CopyFailedException(const QString& reason);

    static QString exceptionName() { return QStringLiteral("copyFailedException"); }
    QString name() const { return exceptionName(); }
    QString reason() const { return failureReason; }
    const char* what() const noexcept override { return utf8Reason.constData(); }

private:
    QString failureReason;
    QByteArray utf8Reason;
};

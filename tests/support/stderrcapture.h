#pragma once

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <optional>

// What the process writes to standard error (the log lines) from construction
// until the first call of text() or lines().
class StderrCapture
{
public:
    StderrCapture() { testing::internal::CaptureStderr(); }
    ~StderrCapture() { text(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    const QString& text()
    {
        if (!captured)
            captured = QString::fromStdString(testing::internal::GetCapturedStderr());
        return *captured;
    }
    int count(const QString& fragment) { return int(text().count(fragment)); }
    // Every log message with its level, "[error]: text", in order.
    QStringList lines()
    {
        QStringList messages;
        for (const QString& line : text().split(u'\n')) {
            const qsizetype level = line.indexOf(QLatin1String(" ["));
            if (level >= 0 && line.indexOf(QLatin1String("]: "), level) > level)
                messages << line.mid(level + 1);
        }
        return messages;
    }

private:
    std::optional<QString> captured;
};

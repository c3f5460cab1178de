#pragma once

#include "camerapicturebuilder.h"
#include "settings/settingsdictionary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <utility>

namespace SettingsTestFiles {
constexpr auto writeBytes = &CameraPictureBuilder::writeFile;
QByteArray readBytes(const QString& path);

using Entries = QList<std::pair<QString, SettingValue>>;
SettingsDictionary dictionaryOf(const Entries& entries);

// A settings file as another program writes it: DOCTYPE, CRLF line ends, escaped
// text, Japanese, every value type, and a date and an array that this
// application never writes itself.
QByteArray appleStyleSettings();

// While it lives, no process file may grow beyond `bytes` (a full disk, also for
// root, who ignores folder permissions). Writes that would grow a file fail with
// EFBIG instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

// Collects what the process writes to standard error (the log lines) from
// construction until the first call of lines().
class LogCapture
{
public:
    LogCapture() { testing::internal::CaptureStderr(); }
    ~LogCapture() { lines(); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Every message with its level, "[error]: text", in order.
    const QStringList& lines();

private:
    std::optional<QStringList> captured;
};
} // namespace SettingsTestFiles

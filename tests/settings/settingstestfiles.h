#pragma once

#include "camerapicturebuilder.h"
#include "settings/settingsdictionary.h"
#include "stderrcapture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
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

} // namespace SettingsTestFiles

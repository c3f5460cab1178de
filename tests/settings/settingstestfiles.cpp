#include "settingstestfiles.h"

#include <QFile>
#include <csignal>

namespace SettingsTestFiles {
QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

SettingsDictionary dictionaryOf(const Entries& entries)
{
    SettingsDictionary dictionary;
    for (const auto& [key, value] : entries)
        dictionary.setValue(key, value);
    return dictionary;
}

QByteArray appleStyleSettings()
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                      "<plist version=\"1.0\">\n<dict>\n"
                      "\t<key>auto start up</key>\n\t<true/>\n"
                      "\t<key>chop count</key>\n\t<false/>\n"
                      "\t<key>confirm before sending</key>\n\t<integer>1001</integer>\n"
                      "\t<key>checked information id</key>\n\t<integer>-3</integer>\n"
                      "\t<key>file detection wait time</key>\n\t<real>15000.5</real>\n"
                      "\t<key>watch folder path</key>\n"
                      "\t<string>/Users/歯科 &amp; 矯正/&lt;写真&gt;</string>\n"
                      "\t<key>display desktop notice</key>\n\t<string>1</string>\n"
                      "\t<key>last build number</key>\n\t<string>9</string>\n"
                      "\t<key>saved at</key>\n\t<date>2024-01-05T09:30:00Z</date>\n"
                      "\t<key>recent folders</key>\n"
                      "\t<array>\n\t\t<string>/a</string>\n\t\t<string>/b</string>\n\t</array>\n"
                      "</dict>\n</plist>\n")
        .replace("\n", "\r\n");
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
}
} // namespace SettingsTestFiles

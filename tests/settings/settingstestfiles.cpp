#include "settingstestfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace SettingsTestFiles {
bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

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

LogCapture::LogCapture()
{
    std::fflush(stderr);
    if (pipe2(pipeEnds, O_NONBLOCK) != 0)
        return;
    savedDescriptor = dup(STDERR_FILENO);
    dup2(pipeEnds[1], STDERR_FILENO);
}

LogCapture::~LogCapture()
{
    if (savedDescriptor < 0)
        return;
    std::fflush(stderr);
    dup2(savedDescriptor, STDERR_FILENO);
    close(savedDescriptor);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

QStringList LogCapture::lines() const
{
    std::fflush(stderr);
    char buffer[4096];
    for (ssize_t count; (count = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        captured.append(buffer, count);
    QStringList messages;
    for (const QString& line : QString::fromUtf8(captured).split(u'\n')) {
        const qsizetype level = line.indexOf(QLatin1String(" ["));
        if (level >= 0 && line.indexOf(QLatin1String("]: "), level) > level)
            messages << line.mid(level + 1);
    }
    return messages;
}

QStringList LogCapture::infoMessages() const
{
    QStringList messages;
    for (const QString& line : lines()) {
        if (line.startsWith(QLatin1String("[info]: ")))
            messages << line.mid(8);
    }
    return messages;
}
} // namespace SettingsTestFiles

#include "importprogress.h"

#include <QFileInfo>
#include <unistd.h>

namespace {
constexpr qint64 quietMilliseconds = 1000;
constexpr qint64 redrawMilliseconds = 100;
const QByteArray clearLine = "\r\033[K";
} // namespace

ImportProgress::ImportProgress()
{
    if (::isatty(STDERR_FILENO))
        terminal = ::dup(STDERR_FILENO);
    sinceStart.start();
}

ImportProgress::~ImportProgress()
{
    if (terminal < 0)
        return;
    if (shown)
        writeToTerminal(terminal, clearLine);
    ::close(terminal);
}

void ImportProgress::update(qsizetype done, const QString& currentFile)
{
    if (terminal < 0 || sinceStart.elapsed() < quietMilliseconds)
        return;
    if (shown && sinceShown.elapsed() < redrawMilliseconds && done < total)
        return;
    shown = true;
    sinceShown.start();
    writeToTerminal(terminal, clearLine + QStringLiteral("%1/%2 files  %3")
                                              .arg(done)
                                              .arg(total)
                                              .arg(QFileInfo(currentFile).path())
                                              .toUtf8());
}

void writeToTerminal(int descriptor, const QByteArray& text)
{
    for (qsizetype written = 0; written < text.size();) {
        const ssize_t count = ::write(descriptor, text.constData() + written,
                                      static_cast<size_t>(text.size() - written));
        if (count <= 0)
            return;
        written += count;
    }
}

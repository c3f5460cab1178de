#include "desktopsession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {
const QString trayHostClass = u"(\"panel\" \"trayer\")"_s;
const QString talvorenClass = u"(\"talvoren\" \"Talvoren\")"_s;

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(5000);
}

qsizetype indentation(const QString& line)
{
    qsizetype blanks = 0;
    while (blanks < line.size() && line[blanks] == QLatin1Char(' '))
        ++blanks;
    return blanks;
}
} // namespace

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(100);
    }
    return true;
}

QString DesktopSession::missingTools()
{
    QStringList missing;
    for (const char* tool : {"Xvfb", "trayer", "xdotool", "xwininfo", "xwd", "convert"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            missing << QString::fromLatin1(tool);
    }
    return missing.join(u", "_s);
}

DesktopSession::DesktopSession()
{
    // Xvfb picks a free display and writes its number on the descriptor given.
    xvfb = std::make_unique<QProcess>();
    xvfb->start(u"Xvfb"_s, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QByteArray number;
    while (!number.contains('\n') && xvfb->waitForReadyRead(20000))
        number += xvfb->readAllStandardOutput();
    if (number.trimmed().isEmpty())
        return;
    display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    trayer = std::make_unique<QProcess>();
    trayer->setProcessEnvironment(environment());
    trayer->start(u"trayer"_s, {"--edge", "top", "--align", "right", "--widthtype", "request"});
    if (!waitFor([this] { return windowTree().contains(trayHostClass); }))
        display.clear();
}

DesktopSession::~DesktopSession()
{
    if (trayer)
        stop(*trayer);
    if (xvfb)
        stop(*xvfb);
}

QProcessEnvironment DesktopSession::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, display);
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    // Window titles and texts in English, whatever the machine's language.
    environment.insert(u"LANG"_s, u"C.UTF-8"_s);
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    environment.insert(u"LANGUAGE"_s, u"en"_s);
    return environment;
}

QString DesktopSession::run(const QString& program, const QStringList& arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(program, arguments);
    tool.waitForFinished(20000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString DesktopSession::xdotool(const QStringList& arguments) const
{
    return run(u"xdotool"_s, arguments);
}

QString DesktopSession::windowTree() const
{
    return run(u"xwininfo"_s, {"-root", "-tree"});
}

QStringList DesktopSession::windows(const QString& title) const
{
    return xdotool({"search", "--onlyvisible", "--name", title})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString DesktopSession::waitForWindow(const QString& title, const QString& screenshotName) const
{
    QStringList found;
    if (waitFor([&] { return !(found = windows(title)).isEmpty(); }) && !screenshotName.isEmpty())
        screenshot(screenshotName);
    return found.value(0);
}

bool DesktopSession::waitUntilNoWindow(const QString& title) const
{
    return waitFor([&] { return windows(title).isEmpty(); });
}

void DesktopSession::pressKeys(const QString& window, const QStringList& keys) const
{
    xdotool({"windowfocus", window});
    xdotool(QStringList{"key", "--delay", "150"} + keys);
}

void DesktopSession::typeText(const QString& window, const QString& text) const
{
    xdotool({"windowfocus", window});
    xdotool({"type", "--delay", "20", text});
}

std::optional<QRect> DesktopSession::trayIcon() const
{
    // The icon is a window of the application nested inside the tray host's panel.
    const QStringList lines = windowTree().split(QLatin1Char('\n'));
    static const QRegularExpression geometry(
        u"(\\d+)x(\\d+)[+-]-?\\d+[+-]-?\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)"_s);
    qsizetype panelIndentation = -1;
    for (const QString& line : lines) {
        if (line.contains(trayHostClass)) {
            panelIndentation = indentation(line);
        } else if (panelIndentation >= 0 && indentation(line) <= panelIndentation) {
            panelIndentation = -1;
        } else if (panelIndentation >= 0 && line.contains(talvorenClass)) {
            const QRegularExpressionMatch match = geometry.match(line);
            if (match.hasMatch())
                return QRect(match.captured(3).toInt(), match.captured(4).toInt(),
                             match.captured(1).toInt(), match.captured(2).toInt());
        }
    }
    return std::nullopt;
}

void DesktopSession::clickAt(const QPoint& point, int button) const
{
    xdotool({"mousemove", QString::number(point.x()), QString::number(point.y()), "click",
             QString::number(button)});
}

void DesktopSession::chooseTrayMenuItem(int position, const QString& screenshotName) const
{
    clickAt(trayIcon().value_or(QRect()).center(), 3);
    xdotool({"sleep", "1"});
    if (!screenshotName.isEmpty())
        screenshot(screenshotName);
    QStringList keys = {"key", "--delay", "150"};
    for (int down = 0; down < position; ++down)
        keys << u"Down"_s;
    xdotool(keys << u"Return"_s);
}

void DesktopSession::screenshot(const QString& name) const
{
    const QString folder = QStringLiteral(TALVOREN_BINARY_DIR "/../screenshots");
    QDir().mkpath(folder);
    // A window just mapped is painted a moment later.
    waitFor([] { return false; }, 700);
    QProcess xwd;
    QProcess convert;
    xwd.setProcessEnvironment(environment());
    xwd.setStandardOutputProcess(&convert);
    xwd.start(u"xwd"_s, {"-root", "-silent"});
    convert.start(u"convert"_s, {"xwd:-", u"png:%1/e2e-%2.png"_s.arg(folder, name)});
    xwd.waitForFinished(20000);
    convert.waitForFinished(20000);
}

TalvorenProcess::TalvorenProcess(const DesktopSession& session, const QStringList& arguments,
                                 const QProcessEnvironment& extra, const QString& workingFolder)
{
    QProcessEnvironment environment = session.environment();
    environment.insert(extra);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(TALVOREN_BINARY_DIR "/bin/talvoren"), arguments);
    process.waitForStarted();
}

TalvorenProcess::~TalvorenProcess()
{
    stop(process);
}

bool TalvorenProcess::waitForEnd(int timeoutMs)
{
    return waitFor([this] { return process.state() == QProcess::NotRunning; }, timeoutMs);
}

QString TalvorenProcess::output()
{
    collected += process.readAll();
    return QString::fromUtf8(collected);
}

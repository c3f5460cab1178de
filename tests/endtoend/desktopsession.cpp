#include "desktopsession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace {
const QString trayHostClass = QStringLiteral("(\"panel\" \"trayer\")");
const QString talvorenClass = QStringLiteral("(\"talvoren\" \"Talvoren\")");

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
    return missing.join(QStringLiteral(", "));
}

DesktopSession::DesktopSession()
{
    if (!missingTools().isEmpty())
        return;
    // Xvfb picks a free display and writes its number on the descriptor given.
    xvfb = std::make_unique<QProcess>();
    xvfb->start(QStringLiteral("Xvfb"),
                {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                 QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                 QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && xvfb->waitForReadyRead(20000))
        number += xvfb->readAllStandardOutput();
    if (number.trimmed().isEmpty())
        return;
    display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    trayer = std::make_unique<QProcess>();
    trayer->setProcessEnvironment(environment());
    trayer->start(QStringLiteral("trayer"),
                  {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                   QStringLiteral("right"), QStringLiteral("--widthtype"),
                   QStringLiteral("request")});
    if (!waitFor([this] {
            return run(QStringLiteral("xwininfo"),
                       {QStringLiteral("-root"), QStringLiteral("-tree")})
                .contains(trayHostClass);
        }))
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
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // Window titles and texts in English, whatever the machine's language.
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
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

QStringList DesktopSession::windows(const QString& title) const
{
    return run(QStringLiteral("xdotool"),
               {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                title})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString DesktopSession::waitForWindow(const QString& title, int timeoutMs) const
{
    QStringList found;
    waitFor([&] { return !(found = windows(title)).isEmpty(); }, timeoutMs);
    return found.value(0);
}

bool DesktopSession::waitUntilNoWindow(const QString& title, int timeoutMs) const
{
    return waitFor([&] { return windows(title).isEmpty(); }, timeoutMs);
}

void DesktopSession::pressKeys(const QString& window, const QStringList& keys) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), window});
    run(QStringLiteral("xdotool"),
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("150")} +
            keys);
}

void DesktopSession::typeText(const QString& window, const QString& text) const
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), window});
    run(QStringLiteral("xdotool"),
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

std::optional<QRect> DesktopSession::trayIcon() const
{
    // The icon is a window of the application nested inside the tray host's panel.
    const QStringList lines =
        run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
            .split(QLatin1Char('\n'));
    static const QRegularExpression geometry(
        QStringLiteral("(\\d+)x(\\d+)[+-]-?\\d+[+-]-?\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)"));
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
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
         QStringLiteral("click"), QString::number(button)});
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
    xwd.start(QStringLiteral("xwd"), {QStringLiteral("-root"), QStringLiteral("-silent")});
    convert.start(QStringLiteral("convert"),
                  {QStringLiteral("xwd:-"), QStringLiteral("png:%1/e2e-%2.png").arg(folder, name)});
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

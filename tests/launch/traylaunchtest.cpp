// Starts the application on a virtual display with a real tray host (Xvfb and
// trayer) and looks for its icon in the tray.
#include "temphome.h"

#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {
constexpr int displayNumber = 93;

class Process
{
public:
    Process(const QString& program, const QStringList& arguments, const QString& display = {})
    {
        if (!display.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("DISPLAY"), display);
            environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
            process.setProcessEnvironment(environment);
        }
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        process.waitForStarted();
    }
    ~Process()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }
    QProcess process;
};

// The window tree of the display as xwininfo prints it.
QString windowTree(const QString& display)
{
    QProcess xwininfo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    xwininfo.setProcessEnvironment(environment);
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    xwininfo.waitForFinished(10000);
    return QString::fromUtf8(xwininfo.readAllStandardOutput());
}

// True once a window of class "talvoren" sits inside trayer's panel.
bool trayHoldsTalvoren(const QString& tree)
{
    const qsizetype panel = tree.indexOf(QStringLiteral("(\"panel\" \"trayer\")"));
    return panel >= 0 && tree.indexOf(QStringLiteral("(\"talvoren\" \"Talvoren\")"), panel) > panel;
}
} // namespace

TEST(TrayLaunch, TheIconAppearsInTheTrayAndASecondCopyStartsNoSecondIcon)
{
    for (const char* tool : {"Xvfb", "trayer", "xwininfo"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    }
    TempHome home;
    const QString display = QStringLiteral(":%1").arg(displayNumber);
    Process xvfb(QStringLiteral("Xvfb"), {display, QStringLiteral("-screen"), QStringLiteral("0"),
                                          QStringLiteral("1024x768x24"),
                                          QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QThread::msleep(1000);
    Process trayer(QStringLiteral("trayer"),
                   {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                    QStringLiteral("right"), QStringLiteral("--widthtype"),
                    QStringLiteral("request")},
                   display);
    QThread::msleep(1000);

    const QString talvoren = QStringLiteral(TALVOREN_BINARY_DIR "/bin/talvoren");
    Process first(talvoren, {}, display);
    QString tree;
    for (int waited = 0; waited < 30000 && !trayHoldsTalvoren(tree); waited += 250) {
        QThread::msleep(250);
        tree = windowTree(display);
    }
    ASSERT_TRUE(trayHoldsTalvoren(tree)) << tree.toStdString();

    // The second copy shows its notice and puts no icon of its own in the tray.
    Process second(talvoren, {}, display);
    QByteArray secondOutput;
    while (!secondOutput.contains("already running") && second.process.waitForReadyRead(10000))
        secondOutput += second.process.readAll();
    QThread::msleep(1000);
    EXPECT_EQ(second.process.state(), QProcess::Running);
    EXPECT_EQ(windowTree(display).count(QStringLiteral("(\"talvoren\" \"Talvoren\")")),
              tree.count(QStringLiteral("(\"talvoren\" \"Talvoren\")")) + 1)
        << "the notice window is the only new window";
    EXPECT_TRUE(secondOutput.contains("already running"));
}

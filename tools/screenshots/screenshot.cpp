#include "screenshot.h"

#include "windowtestsupport.h"

#include <QDir>
#include <QPainter>
#include <QTest>

namespace {
// The window's own pixels below a plain title bar carrying its title, which the
// window system would otherwise draw.
QImage pictureOf(QWidget* window)
{
    constexpr int titleBarHeight = 28;
    const QPixmap content = window->grab();
    QImage picture(content.width(), content.height() + titleBarHeight, QImage::Format_RGB32);
    picture.fill(QColor(0xd8, 0xd8, 0xd8));
    QPainter painter(&picture);
    painter.drawText(QRect(0, 0, picture.width(), titleBarHeight), Qt::AlignCenter,
                     window->windowTitle());
    painter.drawPixmap(0, titleBarHeight, content);
    return picture;
}
} // namespace

QString screenshotFolder()
{
    const QString folder = QStringLiteral(TALVOREN_BINARY_DIR "/screenshots");
    EXPECT_TRUE(QDir().mkpath(folder));
    return folder;
}

void saveScreenshot(QWidget* window, const QString& language, const QString& name, int waitMs)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QTest::qWait(waitMs);
    const QString path = QDir(screenshotFolder()).filePath(language + '-' + name + ".png");
    EXPECT_TRUE(pictureOf(window).save(path)) << path.toStdString();
}

void captureAndClose(BaseWindowController* controller, const QString& language, const QString& name,
                     const std::function<void()>& afterShowing, int waitMs)
{
    controller->showWindow();
    controller->orderFront();
    if (afterShowing)
        afterShowing();
    saveScreenshot(controller->window(), language, name, waitMs);
    controller->close();
    processDeferredDeletes();
}

#include "screenshot.h"

#include "windowtestsupport.h"

#include <QDir>
#include <QTest>

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

// Writes a picture of every window in each language to <build>/screenshots, for
// people to look at; nothing here compares pixels.
#include "alertwindowcontroller.h"
#include "copyresultwindowcontroller.h"
#include "duplicatewindowcontroller.h"
#include "localizedstrings.h"
#include "progresswindowcontroller.h"
#include "sdcopyconfirmwindowcontroller.h"
#include "windowtestsupport.h"

#include <QDir>
#include <QTest>
#include <functional>

class ScreenshotTest : public WindowTest
{
protected:
    void TearDown() override
    {
        LocalizedStrings::setLanguage({});
        WindowTest::TearDown();
    }

    // Shows the window as its caller would, waits until it is painted, saves it.
    void capture(const QString& language, const QString& name, BaseWindowController* controller,
                 const std::function<void()>& afterShowing = {})
    {
        controller->showWindow();
        controller->orderFront();
        if (afterShowing)
            afterShowing();
        QWidget* window = controller->window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        // The PDF view renders its pages in the background.
        QTest::qWait(name == QLatin1String("HelpWindowController") ? 1500 : 50);
        const QString path = folder.filePath(QStringLiteral("%1-%2.png").arg(language, name));
        EXPECT_TRUE(pictureOf(window).save(path)) << path.toStdString();
        controller->close();
        processDeferredDeletes();
    }

    QDir folder{QStringLiteral(TALVOREN_BINARY_DIR "/screenshots")};
};

TEST_F(ScreenshotTest, EveryWindowInEveryLanguage)
{
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    using namespace TalvorenWindowId;
    for (const QString& language : LocalizedStrings::availableLanguages()) {
        LocalizedStrings::setLanguage(language);

        auto* alert = manager.windowController<AlertWindowController>(AlertWindow);
        alert->setMessage(
            LocalizedStrings::format(QStringLiteral("ApplicationMessage26"),
                                     {QStringLiteral("/mnt/practice-server/Pictures/Talvoren")}));
        capture(language, QStringLiteral("AlertWindowController"), alert);

        auto* failure = manager.windowController<AlertWindowController>(AlertWindow);
        failure->setMessage(LocalizedStrings::format(
            QStringLiteral("ApplicationMessage27"),
            {QStringLiteral("Cannot write /home/dr/Pictures/Talvoren/000012_Yamada: No space "
                            "left on device")}));
        capture(language, QStringLiteral("AlertWindowController-copyFailed"), failure);

        auto* progress = manager.windowController<ProgressWindowController>(ProgressWindow);
        progress->setTotalCount(3);
        capture(language, QStringLiteral("ProgressWindowController"), progress, [progress] {
            progress->updateProgress();
            progress->updateProgress();
        });

        for (const qint64 count : {qint64(12), qint64(0)}) {
            auto* result = manager.windowController<CopyResultWindowController>(CopyResultWindow);
            result->setFileCount(count);
            capture(language,
                    QStringLiteral("CopyResultWindowController-%1").arg(count ? "count" : "none"),
                    result);
        }

        auto* card = manager.windowController<SDCopyConfirmWindowController>(SDCopyConfirmWindow);
        card->setFolderArray({QStringLiteral("/media/dr/LUMORA")});
        capture(language, QStringLiteral("SDCopyConfirmWindowController"), card);

        for (const auto& [id, name] :
             {std::pair{ReadConfirmWindow, "ReadConfirmWindowController"},
              std::pair{DuplicateWindow, "DuplicateWindowController"},
              std::pair{VersionInformationWindow, "VersionInformationWindowController"},
              std::pair{HelpWindow, "HelpWindowController"}}) {
            BaseWindowController* controller = manager.getWindowController(id);
            ASSERT_NE(controller, nullptr) << name;
            if (auto* notice = qobject_cast<DuplicateWindowController*>(controller))
                notice->setTerminateApplication([] {});
            capture(language, QString::fromLatin1(name), controller);
        }
    }
}

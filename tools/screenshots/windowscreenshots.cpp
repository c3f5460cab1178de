// Writes a picture of every window in each language to <build>/screenshots, for
// people to look at; nothing here compares pixels.
#include "alertwindowcontroller.h"
#include "copyresultwindowcontroller.h"
#include "duplicatewindowcontroller.h"
#include "localizedstrings.h"
#include "progresswindowcontroller.h"
#include "screenshot.h"
#include "sdcopyconfirmwindowcontroller.h"
#include "windowtestsupport.h"

class WindowScreenshots : public WindowTest
{
protected:
    void TearDown() override
    {
        LocalizedStrings::setLanguage({});
        WindowTest::TearDown();
    }
};

TEST_F(WindowScreenshots, EveryWindowInEveryLanguage)
{
    using namespace TalvorenWindowId;
    for (const QString& language : LocalizedStrings::availableLanguages()) {
        LocalizedStrings::setLanguage(language);

        auto* alert = manager.windowController<AlertWindowController>(AlertWindow);
        alert->setMessage(
            LocalizedStrings::format(QStringLiteral("ApplicationMessage26"),
                                     {QStringLiteral("/mnt/practice-server/Pictures/Talvoren")}));
        captureAndClose(alert, language, QStringLiteral("AlertWindowController"));

        auto* failure = manager.windowController<AlertWindowController>(AlertWindow);
        failure->setMessage(LocalizedStrings::format(
            QStringLiteral("ApplicationMessage27"),
            {QStringLiteral("Cannot write /home/dr/Pictures/Talvoren/000012_Yamada: No space "
                            "left on device")}));
        captureAndClose(failure, language, QStringLiteral("AlertWindowController-copyFailed"));

        auto* progress = manager.windowController<ProgressWindowController>(ProgressWindow);
        progress->setTotalCount(3);
        captureAndClose(progress, language, QStringLiteral("ProgressWindowController"), [progress] {
            progress->updateProgress();
            progress->updateProgress();
        });

        for (const qint64 count : {qint64(12), qint64(0)}) {
            auto* result = manager.windowController<CopyResultWindowController>(CopyResultWindow);
            result->setFileCount(count);
            captureAndClose(
                result, language,
                QStringLiteral("CopyResultWindowController-%1").arg(count ? "count" : "none"));
        }

        auto* card = manager.windowController<SDCopyConfirmWindowController>(SDCopyConfirmWindow);
        card->setFolderArray({QStringLiteral("/media/dr/LUMORA")});
        captureAndClose(card, language, QStringLiteral("SDCopyConfirmWindowController"));

        for (const auto& [id, name] :
             {std::pair{ReadConfirmWindow, "ReadConfirmWindowController"},
              std::pair{DuplicateWindow, "DuplicateWindowController"},
              std::pair{VersionInformationWindow, "VersionInformationWindowController"},
              std::pair{HelpWindow, "HelpWindowController"}}) {
            BaseWindowController* controller = manager.getWindowController(id);
            ASSERT_NE(controller, nullptr) << name;
            if (auto* notice = qobject_cast<DuplicateWindowController*>(controller))
                notice->setTerminateApplication([] {});
            // The PDF view renders its pages in the background.
            captureAndClose(controller, language, QString::fromLatin1(name), {},
                            id == HelpWindow ? 1500 : 50);
        }
    }
}

#include "alertwindowcontroller.h"
#include "talvorenwindowid.h"
#include "talvorenwindowmanager.h"
#include "windowtestsupport.h"

#include <QLabel>
#include <QPdfView>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <climits>

class WindowManagerTest : public WindowTest
{
};

TEST_F(WindowManagerTest, OneControllerPerIdUntilItsWindowCloses)
{
    using namespace TalvorenWindowId;
    EXPECT_FALSE(manager.checkWindow(VersionInformationWindow));

    BaseWindowController* first = manager.getWindowController(VersionInformationWindow);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(manager.checkWindow(VersionInformationWindow));
    EXPECT_EQ(manager.getWindowController(VersionInformationWindow), first);
    EXPECT_EQ(first->talvorenWindowManager(), &manager);
    // Another kind of window is another controller.
    EXPECT_NE(manager.getWindowController(HelpWindow), first);

    first->showWindow();
    QPointer<BaseWindowController> closed = first;
    first->close();
    EXPECT_FALSE(manager.checkWindow(VersionInformationWindow));
    EXPECT_TRUE(manager.checkWindow(HelpWindow));
    processDeferredDeletes();
    EXPECT_TRUE(closed.isNull());

    BaseWindowController* second = manager.getWindowController(VersionInformationWindow);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(manager.checkWindow(VersionInformationWindow));
    EXPECT_FALSE(second->isWindowLoaded());
}

TEST_F(WindowManagerTest, EveryIdOfTheTableHasItsTitledWindowAndNoOtherIdHasOne)
{
    for (int id = TalvorenWindowId::first; id <= TalvorenWindowId::last; ++id) {
        BaseWindowController* controller = manager.getWindowController(id);
        ASSERT_NE(controller, nullptr) << id;
        EXPECT_EQ(controller->getTalvorenWindow(), id);
        // The two network windows start their check when loaded.
        if (id != TalvorenWindowId::UpdateCheckWindow &&
            id != TalvorenWindowId::InformationCheckWindow) {
            EXPECT_FALSE(controller->window()->windowTitle().isEmpty()) << id;
        }
    }
    // The two widgets whose kind the controllers rely on beyond the generated code.
    EXPECT_NE(field<QProgressBar>(manager.getWindowController(TalvorenWindowId::ProgressWindow),
                                  "progressIndicator"),
              nullptr);
    EXPECT_NE(
        field<QPdfView>(manager.getWindowController(TalvorenWindowId::HelpWindow), "helpPDFView"),
        nullptr);
    for (const int id : {-1, TalvorenWindowId::last + 1, 1000, INT_MIN}) {
        EXPECT_EQ(manager.getWindowController(id), nullptr) << id;
        EXPECT_FALSE(manager.checkWindow(id)) << id;
        manager.setWindow(id);
        EXPECT_FALSE(manager.checkWindow(id)) << id;
    }
}

TEST_F(WindowManagerTest, EveryWayOfClosingAWindowTakesItOutOfTheManager)
{
    using namespace TalvorenWindowId;
    // The title bar's close button. Closing a dialog never ends this tray application.
    BaseWindowController* help = manager.getWindowController(HelpWindow);
    help->showWindow();
    EXPECT_FALSE(help->window()->testAttribute(Qt::WA_QuitOnClose));
    help->window()->close();
    EXPECT_FALSE(manager.checkWindow(HelpWindow));

    // Escape.
    BaseWindowController* version = manager.getWindowController(VersionInformationWindow);
    version->showWindow();
    QTest::keyClick(version->window(), Qt::Key_Escape);
    EXPECT_FALSE(manager.checkWindow(VersionInformationWindow));

    // A window that was only hidden, or never shown, is still out until closed.
    BaseWindowController* progress = manager.getWindowController(ProgressWindow);
    progress->orderOut();
    EXPECT_TRUE(manager.checkWindow(ProgressWindow));
    progress->close();
    EXPECT_FALSE(manager.checkWindow(ProgressWindow));
    BaseWindowController* neverShown = manager.getWindowController(CopyResultWindow);
    neverShown->close();
    EXPECT_FALSE(manager.checkWindow(CopyResultWindow));

    manager.setWindow(AlertWindow);
    EXPECT_TRUE(manager.checkWindow(AlertWindow));
    BaseWindowController* removed = manager.getWindowController(AlertWindow);
    manager.removeWindow(AlertWindow);
    EXPECT_FALSE(manager.checkWindow(AlertWindow));
    BaseWindowController* replacement = manager.getWindowController(AlertWindow);
    EXPECT_NE(replacement, removed);
    // The removed controller closing late leaves its replacement out.
    removed->close();
    EXPECT_TRUE(manager.checkWindow(AlertWindow));
    EXPECT_EQ(manager.getWindowController(AlertWindow), replacement);
}

TEST_F(WindowManagerTest, ADirectlyMadeControllerLeavesTheManagersWindowAlone)
{
    BaseWindowController* managed = manager.getWindowController(TalvorenWindowId::AlertWindow);
    auto* direct = new AlertWindowController;
    EXPECT_EQ(direct->talvorenWindowManager(), nullptr);
    direct->showWindow();
    direct->close();
    processDeferredDeletes();
    EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::AlertWindow));
    EXPECT_EQ(manager.getWindowController(TalvorenWindowId::AlertWindow), managed);
}

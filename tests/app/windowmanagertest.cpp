#include "talvorenwindowid.h"
#include "talvorenwindowmanager.h"
#include "windowtestsupport.h"

#include <QPointer>
#include <QTest>
#include <climits>

using WindowManagerTest = WindowTest;

TEST_F(WindowManagerTest, EveryIdOfTheTableHasOneTitledWindowAndNoOtherIdHasOne)
{
    for (int id = TalvorenWindowId::first; id <= TalvorenWindowId::last; ++id) {
        EXPECT_FALSE(manager.checkWindow(id)) << id;
        BaseWindowController* controller = manager.getWindowController(id);
        ASSERT_NE(controller, nullptr) << id;
        EXPECT_TRUE(manager.checkWindow(id)) << id;
        EXPECT_EQ(manager.getWindowController(id), controller) << "one controller per id";
        EXPECT_EQ(std::pair(controller->getTalvorenWindow(), controller->talvorenWindowManager()),
                  std::pair(id, &manager));
        // The two network windows start their check when loaded.
        if (id != TalvorenWindowId::UpdateCheckWindow &&
            id != TalvorenWindowId::InformationCheckWindow) {
            EXPECT_FALSE(controller->window()->windowTitle().isEmpty()) << id;
        }
    }
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

    // Escape; the closed controller is freed and the next request makes a fresh one.
    QPointer<BaseWindowController> version = manager.getWindowController(VersionInformationWindow);
    version->showWindow();
    QTest::keyClick(version->window(), Qt::Key_Escape);
    EXPECT_FALSE(manager.checkWindow(VersionInformationWindow));
    processDeferredDeletes();
    EXPECT_TRUE(version.isNull());
    EXPECT_FALSE(manager.getWindowController(VersionInformationWindow)->isWindowLoaded());

    // A window that was only hidden, or never shown, is still out until closed.
    BaseWindowController* progress = manager.getWindowController(ProgressWindow);
    progress->orderOut();
    EXPECT_TRUE(manager.checkWindow(ProgressWindow));
    progress->close();
    EXPECT_FALSE(manager.checkWindow(ProgressWindow));
    manager.getWindowController(CopyResultWindow)->close();
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

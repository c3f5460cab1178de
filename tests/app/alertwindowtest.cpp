#include "alertwindowcontroller.h"
#include "windowtestsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class AlertWindowTest : public WindowTest
{
protected:
    AlertWindowController* showAlert(const QString& message, bool showConfigWindow)
    {
        return open<AlertWindowController>(TalvorenWindowId::AlertWindow, [&](auto* alert) {
            alert->setMessage(message);
            alert->setShowConfigWindowFlag(showConfigWindow);
        });
    }
};

TEST_F(AlertWindowTest, ShowsTheNewestReasonAndOnlyTheFlagOpensTheSettingsWindowOnClose)
{
    AlertWindowController* plain = showAlert(u"disk full"_s, false);
    EXPECT_EQ(field<QLabel>(plain, "messageLabel")->text(), u"disk full"_s);
    // A second failure while the alert is out reuses it with the newer reason.
    EXPECT_EQ(showAlert(u"copy failed"_s, false), plain);
    EXPECT_EQ(field<QLabel>(plain, "messageLabel")->text(), u"copy failed"_s);
    QTest::mouseClick(field<QPushButton>(plain, "closeButton"), Qt::LeftButton);
    for (int id = TalvorenWindowId::first; id <= TalvorenWindowId::last; ++id)
        EXPECT_FALSE(manager.checkWindow(id)) << id;

    AlertWindowController* flagged = showAlert(u"no destination"_s, true);
    QTest::mouseClick(field<QPushButton>(flagged, "closeButton"), Qt::LeftButton);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::AlertWindow));
    ASSERT_TRUE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    EXPECT_TRUE(manager.getWindowController(TalvorenWindowId::ConfigWindow)->window()->isVisible());

    // Alerts made directly (at start-up) stand side by side outside the manager; the flag
    // opens the shared manager's settings window.
    manager.getWindowController(TalvorenWindowId::ConfigWindow)->close();
    auto* watchFolderAlert = new AlertWindowController;
    auto* destinationAlert = new AlertWindowController;
    EXPECT_EQ(watchFolderAlert->talvorenWindowManager(), nullptr);
    destinationAlert->setShowConfigWindowFlag(true);
    watchFolderAlert->showWindow();
    destinationAlert->showWindow();
    EXPECT_TRUE(watchFolderAlert->window()->isVisible());
    EXPECT_TRUE(destinationAlert->window()->isVisible());
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::AlertWindow));

    BaseWindowController* managed = manager.getWindowController(TalvorenWindowId::AlertWindow);
    watchFolderAlert->closeButtonClick();
    destinationAlert->closeButtonClick();
    processDeferredDeletes();
    EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::AlertWindow));
    EXPECT_EQ(manager.getWindowController(TalvorenWindowId::AlertWindow), managed);
}

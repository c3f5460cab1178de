#include "alertwindowcontroller.h"
#include "linktextfield.h"
#include "localizedstrings.h"
#include "windowtestsupport.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

class AlertWindowTest : public WindowTest
{
protected:
    AlertWindowController* showAlert(const QString& message, bool showConfigWindow)
    {
        auto* alert =
            manager.windowController<AlertWindowController>(TalvorenWindowId::AlertWindow);
        alert->setMessage(message);
        alert->setShowConfigWindowFlag(showConfigWindow);
        alert->showWindow();
        alert->orderFront();
        return alert;
    }
};

TEST_F(AlertWindowTest, ShowsItsMessageWithTheLocalisedTitleAndButton)
{
    const QString message = LocalizedStrings::format(QStringLiteral("ApplicationMessage27"),
                                                     {QStringLiteral("disk full")});
    AlertWindowController* alert = showAlert(message, false);
    EXPECT_FALSE(alert->showConfigWindowFlag());
    EXPECT_EQ(alert->window()->windowTitle(),
              LocalizedStrings::string(QStringLiteral("AlertWindow_Title")));
    EXPECT_EQ(field<QPushButton>(alert, "closeButton")->text(),
              LocalizedStrings::string(QStringLiteral("AlertWindow_CloseButton")));
    EXPECT_EQ(field<QLabel>(alert, "messageLabel")->text(), message);
    EXPECT_TRUE(message.contains(QStringLiteral("disk full")));

    // A second failure while the alert is out reuses it with the newer reason.
    AlertWindowController* again = showAlert(QStringLiteral("second"), false);
    EXPECT_EQ(again, alert);
    EXPECT_EQ(field<QLabel>(alert, "messageLabel")->text(), QStringLiteral("second"));
}

TEST_F(AlertWindowTest, ClosingWithTheFlagOpensTheSettingsWindowAndWithoutItNothing)
{
    AlertWindowController* plain = showAlert(QStringLiteral("copy failed"), false);
    QTest::mouseClick(field<QPushButton>(plain, "closeButton"), Qt::LeftButton);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::AlertWindow));
    for (int id = TalvorenWindowId::first; id <= TalvorenWindowId::last; ++id)
        EXPECT_FALSE(manager.checkWindow(id)) << id;

    AlertWindowController* flagged = showAlert(QStringLiteral("no destination"), true);
    QTest::mouseClick(field<QPushButton>(flagged, "closeButton"), Qt::LeftButton);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::AlertWindow));
    ASSERT_TRUE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
    EXPECT_TRUE(manager.getWindowController(TalvorenWindowId::ConfigWindow)->window()->isVisible());

    // An alert made directly (at start-up) opens the shared manager's settings window.
    manager.getWindowController(TalvorenWindowId::ConfigWindow)->close();
    auto* direct = new AlertWindowController;
    direct->setShowConfigWindowFlag(true);
    direct->showWindow();
    direct->closeButtonClick();
    EXPECT_TRUE(manager.checkWindow(TalvorenWindowId::ConfigWindow));
}

TEST_F(AlertWindowTest, StartUpAlertsMadeDirectlyCanBeOpenSideBySide)
{
    auto* watchFolderAlert = new AlertWindowController;
    auto* destinationAlert = new AlertWindowController;
    watchFolderAlert->setMessage(QStringLiteral("watch"));
    destinationAlert->setMessage(QStringLiteral("destination"));
    watchFolderAlert->showWindow();
    destinationAlert->showWindow();
    EXPECT_TRUE(watchFolderAlert->window()->isVisible());
    EXPECT_TRUE(destinationAlert->window()->isVisible());
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::AlertWindow));
    watchFolderAlert->closeButtonClick();
    destinationAlert->closeButtonClick();
}

// Records the addresses the link label hands to the desktop, per scheme.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

TEST(LinkTextFieldTest, OpensOnlyWebAddressesOnAClick)
{
    UrlRecorder recorder;
    const QStringList schemes = {"http", "https", "ftp", "file", "mailto", "javascript"};
    for (const QString& scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &recorder, "open");

    LinkTextField link;
    link.setText(QStringLiteral("Download"));
    link.resize(120, 20);
    const auto click = [&link](const QString& address) {
        link.setLink(address);
        QTest::mouseClick(&link, Qt::LeftButton);
    };
    click(QStringLiteral("https://example.com/notice"));
    click(QStringLiteral("http://example.com/update"));
    click(QString());
    click(QStringLiteral("ftp://example.com/file"));
    click(QStringLiteral("file:///etc/passwd"));
    click(QStringLiteral("javascript:alert(1)"));
    click(QStringLiteral("HTTPS://example.com/upper"));
    click(QStringLiteral(" https://example.com/leading-blank"));
    EXPECT_EQ(recorder.opened, QList<QUrl>({QUrl(QStringLiteral("https://example.com/notice")),
                                            QUrl(QStringLiteral("http://example.com/update"))}));
    // A right click opens nothing either.
    link.setLink(QStringLiteral("https://example.com/notice"));
    QTest::mouseClick(&link, Qt::RightButton);
    EXPECT_EQ(recorder.opened.size(), 2);

    EXPECT_EQ(link.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(link.frameShape(), QFrame::NoFrame);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(Qt::blue));

    for (const QString& scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

#include "alertwindowtest.moc"

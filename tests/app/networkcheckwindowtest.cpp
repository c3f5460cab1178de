#include "common/talvorencommon.h"
#include "informationcheckwindowcontroller.h"
#include "linktextfield.h"
#include "localhttpserver.h"
#include "localizedstrings.h"
#include "network/updatechecker.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "updatecheckwindowcontroller.h"
#include "windowtestsupport.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {
QLabel* label(BaseWindowController* controller, const char* name)
{
    return field<QLabel>(controller, name);
}

UpdateCheckResult newerVersion()
{
    UpdateCheckResult result;
    result.newer = true;
    result.name = QStringLiteral("Talvoren Spring");
    result.date = QStringLiteral("(2024/02/01)");
    result.version = QStringLiteral("1.50");
    result.address = QStringLiteral("https://updates.example/talvoren/1.5");
    return result;
}

InformationCheckResult notice(qint32 id)
{
    InformationCheckResult result;
    result.available = id >= 0;
    result.failed = id < 0;
    result.id = id;
    if (id < 0)
        return result;
    result.japaneseTitle = QStringLiteral("メンテナンスのお知らせ");
    result.japaneseText = QStringLiteral("サーバーを停止します。<br>ご注意ください。<BR>以上");
    result.japaneseLink = QStringLiteral("https://example.jp/notice");
    return result;
}
} // namespace

// Records the addresses handed to the desktop for the schemes it stands in for.
class OpenedLinkRecorder : public QObject
{
    Q_OBJECT
public:
    explicit OpenedLinkRecorder(const QStringList& schemes) : schemes(schemes)
    {
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~OpenedLinkRecorder() override
    {
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }

private:
    QStringList schemes;
};

class NetworkCheckWindowTest : public WindowTest
{
protected:
    void SetUp() override
    {
        SettingsDictionary settings;
        settings.setValue(SettingKeys::checkedInformationId, 3);
        ASSERT_TRUE(UserSettings::write(settings));
    }

    void TearDown() override
    {
        WindowTest::TearDown();
        UpdateCheckWindowController::setCheck({});
        InformationCheckWindowController::setCheck({});
        InformationCheckWindowController::setFirstPreferredLanguage({});
    }

    template <class Controller> Controller* open(int windowId)
    {
        auto* controller = manager.windowController<Controller>(windowId);
        controller->showWindow();
        controller->orderFront();
        return controller;
    }

    static qint64 checkedInformationId()
    {
        return UserSettings::getUserSettingDictionary()->integerValue(
            SettingKeys::checkedInformationId);
    }
};

TEST_F(NetworkCheckWindowTest, UpdateWindowShowsTheNewerVersionWithItsDownloadLink)
{
    UpdateCheckWindowController::setCheck(newerVersion);
    auto* update = open<UpdateCheckWindowController>(TalvorenWindowId::UpdateCheckWindow);
    const std::pair<const char*, QString> shown[] = {
        {"lastVersionNameTextField", QStringLiteral("Talvoren Spring")},
        {"lastVersionDateTextField", QStringLiteral("(2024/02/01)")},
        {"lastVersionNumberTextField", QStringLiteral("Ver 1.50")},
        {"versionNumberTextField", TalvorenCommon::getVersionNubmer()},
        {"lastVersionUrlTextField", newerVersion().address}};
    for (const auto& [name, text] : shown)
        EXPECT_EQ(label(update, name)->text(), text) << name;
    EXPECT_TRUE(label(update, "message_1")->isVisible());
    EXPECT_TRUE(label(update, "message_2")->isVisible());
    EXPECT_FALSE(label(update, "message_3")->isVisible());

    // The link area lies over the address and opens it.
    LinkTextField* link = update->linkTextField();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->geometry(), label(update, "lastVersionUrlTextField")->geometry());
    OpenedLinkRecorder recorder({QStringLiteral("https")});
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl(newerVersion().address)});
}

TEST(LinkTextFieldTest, OpensOnlyWebAddressesOnALeftClick)
{
    OpenedLinkRecorder recorder({"http", "https", "ftp", "file", "mailto", "javascript"});
    LinkTextField link;
    link.setText(QStringLiteral("Download"));
    link.resize(120, 20);
    for (const char* address :
         {"https://example.com/notice", "http://example.com/update", "", "ftp://example.com/file",
          "file:///etc/passwd", "javascript:alert(1)", "HTTPS://example.com/upper",
          " https://example.com/leading-blank"}) {
        link.setLink(QString::fromLatin1(address));
        QTest::mouseClick(&link, Qt::LeftButton);
    }
    link.setLink(QStringLiteral("https://example.com/notice"));
    QTest::mouseClick(&link, Qt::RightButton);
    EXPECT_EQ(recorder.opened, QList<QUrl>({QUrl(QStringLiteral("https://example.com/notice")),
                                            QUrl(QStringLiteral("http://example.com/update"))}));
}

TEST_F(NetworkCheckWindowTest, UpdateWindowSaysWhetherItIsUpToDateOrCouldNotCheck)
{
    for (const bool failed : {false, true}) {
        UpdateCheckWindowController::setCheck([failed] {
            UpdateCheckResult result;
            result.failed = failed;
            return result;
        });
        auto* update = open<UpdateCheckWindowController>(TalvorenWindowId::UpdateCheckWindow);
        EXPECT_FALSE(label(update, "message_1")->isVisible());
        EXPECT_FALSE(label(update, "message_2")->isVisible());
        EXPECT_TRUE(label(update, "message_3")->isVisible());
        EXPECT_EQ(
            label(update, "message_3")->text(),
            LocalizedStrings::text(failed ? "ApplicationMessage19" : "UpdateCheckWindow_Message3"));
        for (const char* empty : {"lastVersionNameTextField", "lastVersionDateTextField",
                                  "lastVersionNumberTextField", "lastVersionUrlTextField"})
            EXPECT_TRUE(label(update, empty)->text().isEmpty()) << empty;
        EXPECT_TRUE(update->linkTextField()->link().isEmpty());
        field<QPushButton>(update, "closeButton")->click();
        processDeferredDeletes();
        EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::UpdateCheckWindow));
    }
}

TEST_F(NetworkCheckWindowTest, NoticeWindowShowsTheNoticeInTheUsersFirstLanguage)
{
    InformationCheckWindowController::setCheck([] { return notice(5); });
    const QString japanese = QStringLiteral("ja-JP");
    InformationCheckWindowController::setFirstPreferredLanguage(japanese);
    auto* information =
        open<InformationCheckWindowController>(TalvorenWindowId::InformationCheckWindow);
    EXPECT_EQ(label(information, "applicationNameLabel")->text(), notice(5).title(japanese));
    EXPECT_EQ(label(information, "lastVersionNameTextField")->text(), notice(5).text(japanese));
    EXPECT_EQ(label(information, "lastVersionUrlTextField")->text(), notice(5).japaneseLink);
    EXPECT_EQ(information->linkTextField()->link(), notice(5).japaneseLink);
    EXPECT_EQ(InformationCheckWindowController::shownInformationId(), 5);
}

TEST_F(NetworkCheckWindowTest, OkAcknowledgesTheShownNoticeOnlyUpwardsAndLaterStoresNothing)
{
    const struct
    {
        qint32 shown;
        const char* button;
        qint64 acknowledged;
    } steps[] = {{5, "laterButton", 3},
                 // A notice that could not be fetched must not bring back the acknowledged ones.
                 {-1, "OKButton", 3},
                 {5, "OKButton", 5},
                 // A list that went back to an older notice does not lower the acknowledged id.
                 {4, "OKButton", 5}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.shown);
        InformationCheckWindowController::setCheck([&step] { return notice(step.shown); });
        auto* information =
            open<InformationCheckWindowController>(TalvorenWindowId::InformationCheckWindow);
        if (step.shown < 0) {
            // Without a notice the window keeps its title and shows nothing.
            EXPECT_EQ(label(information, "applicationNameLabel")->text(), "Talvoren");
            EXPECT_TRUE(label(information, "lastVersionNameTextField")->text().isEmpty());
            EXPECT_TRUE(label(information, "lastVersionUrlTextField")->text().isEmpty());
        }
        EXPECT_EQ(InformationCheckWindowController::shownInformationId(), step.shown);
        field<QPushButton>(information, step.button)->click();
        processDeferredDeletes();
        EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::InformationCheckWindow));
        EXPECT_EQ(checkedInformationId(), step.acknowledged);
    }
}

TEST_F(NetworkCheckWindowTest, ClosingAWindowWhileItsCheckRunsEndsItAfterTheCheck)
{
    UpdateCheckWindowController* update = nullptr;
    UpdateCheckWindowController::setCheck([&update] {
        // The user closes the window from the tray's event loop while the server is slow.
        update->close();
        processDeferredDeletes();
        QCoreApplication::processEvents();
        return newerVersion();
    });
    update =
        manager.windowController<UpdateCheckWindowController>(TalvorenWindowId::UpdateCheckWindow);
    QPointer<UpdateCheckWindowController> watched(update);
    update->showWindow();
    ASSERT_FALSE(watched.isNull()) << "still alive while its own code runs";
    EXPECT_FALSE(update->window()->isVisible());
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::UpdateCheckWindow));
    processDeferredDeletes();
    EXPECT_TRUE(watched.isNull());

    // The next request makes a fresh window that checks again.
    UpdateCheckWindowController::setCheck(newerVersion);
    auto* fresh = open<UpdateCheckWindowController>(TalvorenWindowId::UpdateCheckWindow);
    EXPECT_TRUE(fresh->window()->isVisible());
}

TEST_F(NetworkCheckWindowTest, TheWindowsCheckLetsTheEventLoopRunWhileTheServerIsSilent)
{
    LocalHttpServer server;
    LocalHttpServer::Response silent;
    silent.behaviour = LocalHttpServer::Behaviour::NeverAnswer;
    server.serve(QStringLiteral("/version.txt"), silent);
    SettingsDictionary settings;
    settings.setValue(SettingKeys::versionCheckSite, server.url(QStringLiteral("/version.txt")));
    UpdateCheckWindowController::setCheck([settings] {
        return UpdateChecker(settings).setTimeout(std::chrono::milliseconds(400)).checkUpdate();
    });

    // The tray menu stands for everything else the application must keep serving.
    bool served = false;
    QTimer::singleShot(0, [&served] { served = true; });
    auto* update = open<UpdateCheckWindowController>(TalvorenWindowId::UpdateCheckWindow);
    EXPECT_TRUE(served);
    EXPECT_EQ(server.requestCount(QStringLiteral("/version.txt")), 1);
    EXPECT_EQ(label(update, "message_3")->text(), LocalizedStrings::text("ApplicationMessage19"));
}

#include "networkcheckwindowtest.moc"

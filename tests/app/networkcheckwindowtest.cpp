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

using namespace Qt::StringLiterals;

namespace {
UpdateCheckResult newerVersion()
{
    return {false, true, "Talvoren Spring", "(2024/02/01)", "1.50", "https://updates.example/1.5"};
}

const std::initializer_list<const char*> shownVersion = {
    "lastVersionNameTextField", "lastVersionDateTextField", "lastVersionNumberTextField",
    "lastVersionUrlTextField", "versionNumberTextField"};

QList<bool> messagesShown(BaseWindowController* update)
{
    QList<bool> shown;
    for (const char* name : {"message_1", "message_2", "message_3"})
        shown << field<QLabel>(update, name)->isVisible();
    return shown;
}

InformationCheckResult notice(qint32 id)
{
    if (id < 0)
        return {false, true, id, {}, {}, {}, {}, {}, {}, {}};
    const QString title = u"メンテナンスのお知らせ"_s;
    const QString text = u"サーバーを停止します。<br>ご注意ください。<BR>以上"_s;
    return {true, false, id, title, text, "https://example.jp/notice", {}, {}, {}, {}};
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
    const QStringList schemes;

public slots:
    void open(const QUrl& url) { opened << url; }
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
};

TEST(LinkTextFieldTest, OpensOnlyWebAddressesOnALeftClick)
{
    OpenedLinkRecorder recorder({"http", "https", "ftp", "file", "mailto", "javascript"});
    LinkTextField link;
    link.setText(u"Download"_s);
    link.resize(120, 20);
    for (const char* address :
         {"https://example.com/notice", "http://example.com/update", "", "ftp://example.com/file",
          "file:///etc/passwd", "javascript:alert(1)", "HTTPS://example.com/upper",
          " https://example.com/leading-blank"}) {
        link.setLink(QString::fromLatin1(address));
        QTest::mouseClick(&link, Qt::LeftButton);
    }
    link.setLink(u"https://example.com/notice"_s);
    QTest::mouseClick(&link, Qt::RightButton);
    EXPECT_EQ(recorder.opened, QList<QUrl>({QUrl(u"https://example.com/notice"_s),
                                            QUrl(u"http://example.com/update"_s)}));
}

TEST_F(NetworkCheckWindowTest, UpdateWindowSaysWhetherItIsUpToDateOrCouldNotCheck)
{
    for (const bool failed : {false, true}) {
        UpdateCheckWindowController::setCheck(
            [failed] { return UpdateCheckResult{failed, false, {}, {}, {}, {}}; });
        auto* update = open<UpdateCheckWindowController>(TalvorenWindowId::UpdateCheckWindow);
        EXPECT_EQ(messagesShown(update), QList<bool>({false, false, true}));
        EXPECT_EQ(
            field<QLabel>(update, "message_3")->text(),
            LocalizedStrings::text(failed ? "ApplicationMessage19" : "UpdateCheckWindow_Message3"));
        EXPECT_EQ(labelTexts(update, shownVersion),
                  QStringList({"", "", "", "", TalvorenCommon::getVersionNubmer()}));
        EXPECT_TRUE(update->linkTextField()->link().isEmpty());
        field<QPushButton>(update, "closeButton")->click();
        processDeferredDeletes();
        EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::UpdateCheckWindow));
    }
}

TEST_F(NetworkCheckWindowTest, OkAcknowledgesTheShownNoticeOnlyUpwardsAndLaterStoresNothing)
{
    // The notice shown, the button pressed, the id acknowledged after it.
    const std::tuple<qint32, const char*, qint64> steps[] = {
        {5, "laterButton", 3},
        // A notice that could not be fetched must not bring back the acknowledged ones.
        {-1, "OKButton", 3},
        {5, "OKButton", 5},
        // A list that went back to an older notice does not lower the acknowledged id.
        {4, "OKButton", 5}};
    const QString japanese = u"ja-JP"_s;
    InformationCheckWindowController::setFirstPreferredLanguage(japanese);
    for (const auto& [id, button, acknowledged] : steps) {
        SCOPED_TRACE(id);
        const InformationCheckResult shown = notice(id);
        InformationCheckWindowController::setCheck([shown] { return shown; });
        auto* information =
            open<InformationCheckWindowController>(TalvorenWindowId::InformationCheckWindow);
        // Shown in the user's first language; without a notice the window keeps its title.
        EXPECT_EQ(labelTexts(information, {"applicationNameLabel", "lastVersionNameTextField",
                                           "lastVersionUrlTextField"}) +
                      QStringList(information->linkTextField()->link()),
                  id < 0 ? QStringList({"Talvoren", "", "", ""})
                         : QStringList({shown.title(japanese), shown.text(japanese),
                                        shown.japaneseLink, shown.japaneseLink}));
        EXPECT_EQ(InformationCheckWindowController::shownInformationId(), id);
        field<QPushButton>(information, button)->click();
        processDeferredDeletes();
        EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::InformationCheckWindow));
        EXPECT_EQ(UserSettings::getUserSettingDictionary()->integerValue(
                      SettingKeys::checkedInformationId),
                  acknowledged);
    }
}

TEST_F(NetworkCheckWindowTest, AWindowClosedDuringItsCheckEndsAfterItAndTheNextShowsTheNewerVersion)
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

    // The next request makes a fresh window that checks again and shows the newer version.
    UpdateCheckWindowController::setCheck(newerVersion);
    update = open<UpdateCheckWindowController>(TalvorenWindowId::UpdateCheckWindow);
    EXPECT_EQ(labelTexts(update, shownVersion),
              QStringList({"Talvoren Spring", "(2024/02/01)", "Ver 1.50", newerVersion().address,
                           TalvorenCommon::getVersionNubmer()}));
    EXPECT_EQ(messagesShown(update), QList<bool>({true, true, false}));

    // The link area lies over the address and opens it.
    LinkTextField* link = update->linkTextField();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->geometry(), field<QLabel>(update, "lastVersionUrlTextField")->geometry());
    OpenedLinkRecorder recorder({u"https"_s});
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl(newerVersion().address)});
}

TEST_F(NetworkCheckWindowTest, TheWindowsCheckLetsTheEventLoopRunWhileTheServerIsSilent)
{
    LocalHttpServer server;
    LocalHttpServer::Response silent;
    silent.behaviour = LocalHttpServer::Behaviour::NeverAnswer;
    server.serve(u"/version.txt"_s, silent);
    SettingsDictionary settings;
    settings.setValue(SettingKeys::versionCheckSite, server.url(u"/version.txt"_s));
    UpdateCheckWindowController::setCheck([settings] {
        return UpdateChecker(settings).setTimeout(std::chrono::milliseconds(400)).checkUpdate();
    });

    // The tray menu stands for everything else the application must keep serving.
    bool served = false;
    QTimer::singleShot(0, [&served] { served = true; });
    auto* update = open<UpdateCheckWindowController>(TalvorenWindowId::UpdateCheckWindow);
    EXPECT_TRUE(served);
    EXPECT_EQ(server.requestCount(u"/version.txt"_s), 1);
    EXPECT_EQ(field<QLabel>(update, "message_3")->text(),
              LocalizedStrings::text("ApplicationMessage19"));
}

#include "networkcheckwindowtest.moc"

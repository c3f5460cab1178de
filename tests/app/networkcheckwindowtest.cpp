#include "common/talvorencommon.h"
#include "informationcheckwindowcontroller.h"
#include "linktextfield.h"
#include "localizedstrings.h"
#include "network/updatechecker.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "updatecheckwindowcontroller.h"
#include "windowtestsupport.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {
QString text(const char* key)
{
    return LocalizedStrings::string(QString::fromLatin1(key));
}

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
    result.englishTitle = QStringLiteral("Maintenance");
    result.englishText = QStringLiteral("The server stops.<br>Please note.<BR>End");
    result.englishLink = QStringLiteral("https://example.com/notice");
    return result;
}
} // namespace

class OpenedLinkRecorder : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl& url) { opened << url; }

public:
    QList<QUrl> opened;
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
    EXPECT_EQ(update->window()->windowTitle(), text("UpdateCheckWindow_Title"));
    EXPECT_EQ(label(update, "lastVersionNameTextField")->text(), QStringLiteral("Talvoren Spring"));
    EXPECT_EQ(label(update, "lastVersionDateTextField")->text(), QStringLiteral("(2024/02/01)"));
    EXPECT_EQ(label(update, "lastVersionNumberTextField")->text(), QStringLiteral("Ver 1.50"));
    EXPECT_EQ(label(update, "versionNumberTextField")->text(), TalvorenCommon::getVersionNubmer());
    EXPECT_TRUE(label(update, "message_1")->isVisible());
    EXPECT_TRUE(label(update, "message_2")->isVisible());
    EXPECT_FALSE(label(update, "message_3")->isVisible());

    QLabel* address = label(update, "lastVersionUrlTextField");
    EXPECT_EQ(address->text(), newerVersion().address);
    EXPECT_TRUE(address->font().underline());
    EXPECT_FALSE(address->textInteractionFlags() & Qt::TextEditable);

    // The link area lies over the address and opens it.
    LinkTextField* link = update->linkTextField();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->link(), newerVersion().address);
    EXPECT_EQ(link->parentWidget(), field<QGroupBox>(update, "lastVersionBox"));
    EXPECT_EQ(link->geometry(), address->geometry());
    OpenedLinkRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    QTest::mouseClick(link, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl(newerVersion().address)});
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
        EXPECT_EQ(label(update, "message_3")->text(),
                  text(failed ? "ApplicationMessage19" : "UpdateCheckWindow_Message3"));
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
    const struct
    {
        const char* language;
        QString title;
        QString text;
        QString link;
    } cases[] = {
        {"ja-JP", notice(5).japaneseTitle,
         QStringLiteral("サーバーを停止します。 \rご注意ください。\r以上"), notice(5).japaneseLink},
        {"de-DE", notice(5).englishTitle, QStringLiteral("The server stops.\rPlease note.\rEnd"),
         notice(5).englishLink},
    };
    for (const auto& expected : cases) {
        InformationCheckWindowController::setFirstPreferredLanguage(
            QString::fromLatin1(expected.language));
        auto* information =
            open<InformationCheckWindowController>(TalvorenWindowId::InformationCheckWindow);
        EXPECT_EQ(information->window()->windowTitle(), text("InformationCheckWindow_Title"));
        EXPECT_EQ(field<QPushButton>(information, "laterButton")->text(),
                  text("InformationCheckWindow_AfterButton"));
        EXPECT_EQ(field<QPushButton>(information, "OKButton")->text(),
                  text("InformationCheckWindow_OKButton"));
        EXPECT_EQ(label(information, "applicationNameLabel")->text(), expected.title)
            << expected.language;
        EXPECT_EQ(label(information, "lastVersionNameTextField")->text(), expected.text)
            << expected.language;
        EXPECT_EQ(label(information, "lastVersionUrlTextField")->text(), expected.link);
        EXPECT_TRUE(label(information, "lastVersionUrlTextField")->font().underline());
        EXPECT_EQ(information->linkTextField()->link(), expected.link);
        EXPECT_EQ(InformationCheckWindowController::shownInformationId(), 5);
        information->laterButtonClick();
        processDeferredDeletes();
    }
}

TEST_F(NetworkCheckWindowTest, NoticeWindowWithoutANoticeKeepsItsTitleAndShowsNothing)
{
    InformationCheckWindowController::setCheck([] { return notice(-1); });
    auto* information =
        open<InformationCheckWindowController>(TalvorenWindowId::InformationCheckWindow);
    EXPECT_EQ(label(information, "applicationNameLabel")->text(), QStringLiteral("Talvoren"));
    EXPECT_TRUE(label(information, "lastVersionNameTextField")->text().isEmpty());
    EXPECT_TRUE(label(information, "lastVersionUrlTextField")->text().isEmpty());
    EXPECT_EQ(InformationCheckWindowController::shownInformationId(), -1);

    // Acknowledging a notice that could not be fetched must not bring back the ones
    // the user has already acknowledged.
    information->closeButtonClick();
    processDeferredDeletes();
    EXPECT_EQ(checkedInformationId(), 3);
}

TEST_F(NetworkCheckWindowTest, OkAcknowledgesTheShownNoticeAndLaterStoresNothing)
{
    InformationCheckWindowController::setCheck([] { return notice(5); });
    auto* later = open<InformationCheckWindowController>(TalvorenWindowId::InformationCheckWindow);
    field<QPushButton>(later, "laterButton")->click();
    processDeferredDeletes();
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::InformationCheckWindow));
    EXPECT_EQ(checkedInformationId(), 3);

    auto* ok = open<InformationCheckWindowController>(TalvorenWindowId::InformationCheckWindow);
    field<QPushButton>(ok, "OKButton")->click();
    processDeferredDeletes();
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::InformationCheckWindow));
    EXPECT_EQ(checkedInformationId(), 5);
    EXPECT_FALSE(notice(5).isUnread(checkedInformationId())) << "not shown at the next start";
    EXPECT_TRUE(notice(6).isUnread(checkedInformationId()));

    // A list that went back to an older notice does not lower the acknowledged id.
    InformationCheckWindowController::setCheck([] { return notice(4); });
    auto* older = open<InformationCheckWindowController>(TalvorenWindowId::InformationCheckWindow);
    older->closeButtonClick();
    processDeferredDeletes();
    EXPECT_EQ(checkedInformationId(), 5);
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
    // A server that takes the connection and never answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QList<QTcpSocket*> held;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = silent.nextPendingConnection())
            held << socket;
    });
    SettingsDictionary settings;
    settings.setValue(SettingKeys::versionCheckSite,
                      QStringLiteral("http://127.0.0.1:%1/version.txt").arg(silent.serverPort()));
    UpdateCheckWindowController::setCheck([settings] {
        return UpdateChecker(settings).setTimeout(std::chrono::milliseconds(400)).checkUpdate();
    });

    // The tray menu stands for everything else the application must keep serving.
    bool served = false;
    QTimer::singleShot(0, [&served] { served = true; });
    auto* update = open<UpdateCheckWindowController>(TalvorenWindowId::UpdateCheckWindow);
    EXPECT_TRUE(served);
    EXPECT_FALSE(held.isEmpty()) << "the request reached the server";
    EXPECT_EQ(label(update, "message_3")->text(), text("ApplicationMessage19"));
}

#include "networkcheckwindowtest.moc"

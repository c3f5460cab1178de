#include "camerapicturebuilder.h"
#include "common/applicationresources.h"
#include "common/notificationcenter.h"
#include "copyresultwindowcontroller.h"
#include "localizedstrings.h"
#include "progresswindowcontroller.h"
#include "soundplayer.h"
#include "windowtestsupport.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>

using namespace Qt::StringLiterals;

using namespace std::chrono_literals;

class ProgressWindowTest : public WindowTest
{
protected:
    ProgressWindowController* openProgress(int totalCount)
    {
        return open<ProgressWindowController>(
            TalvorenWindowId::ProgressWindow,
            [=](auto* progress) { progress->setTotalCount(totalCount); });
    }
    static void postUpdate()
    {
        NotificationCenter::defaultCenter().post(
            ProgressWindowController::notificationNameUpdateProgress);
    }
    static QString shownPercentage(ProgressWindowController* progress)
    {
        return field<QLabel>(progress, "progressLabel")->text();
    }
};

TEST_F(ProgressWindowTest, EachFileAdvancesThePercentageToAHundredAndTheNextWindowStartsFromZero)
{
    ProgressWindowController* progress = openProgress(4);
    EXPECT_EQ(shownPercentage(progress), u"0"_s);
    // Label and bar after each file; no percent sign: the label holds the number only.
    QStringList shown;
    for (int file = 0; file < 5; ++file) {
        postUpdate();
        const int bar = field<QProgressBar>(progress, "progressIndicator")->value();
        shown << shownPercentage(progress) + u' ' + QString::number(bar);
    }
    EXPECT_EQ(shown, QStringList({"25 25", "50 50", "75 75", "100 100", "100 100"}));
    EXPECT_EQ(ProgressWindowController::processedCount(), 5);

    QPointer<ProgressWindowController> first = progress;
    NotificationCenter::defaultCenter().post(
        ProgressWindowController::notificationNameCloseProgressWindow);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ProgressWindow));
    processDeferredDeletes();
    EXPECT_TRUE(first.isNull());
    // A closed window no longer listens: these reach nobody.
    postUpdate();
    NotificationCenter::defaultCenter().post(
        ProgressWindowController::notificationNameCloseProgressWindow);

    // A file counted before the next window is shown counts for it.
    auto* second =
        manager.windowController<ProgressWindowController>(TalvorenWindowId::ProgressWindow);
    EXPECT_EQ(ProgressWindowController::processedCount(), 0);
    second->setTotalCount(3);
    postUpdate();
    EXPECT_EQ(shownPercentage(second), u"33"_s);
}

TEST(ProgressPercentageTest, TruncatesAndNeverOverflows)
{
    const auto percentage = ProgressWindowController::percentage;
    EXPECT_EQ(QList<int>({percentage(2, 3), percentage(0, 0), percentage(1, 0),
                          percentage(INT_MAX, INT_MAX), percentage(INT_MAX - 1, INT_MAX),
                          percentage(1, INT_MAX)}),
              QList<int>({66, 100, 100, 100, 99, 0}));
}

class CopyResultWindowTest : public WindowTest
{
protected:
    void TearDown() override
    {
        ApplicationResources::setOverrideDirectory({});
        WindowTest::TearDown();
    }
    CopyResultWindowController* showResult(qint64 fileCount,
                                           std::chrono::milliseconds closeInterval = 1h)
    {
        return open<CopyResultWindowController>(TalvorenWindowId::CopyResultWindow,
                                                [=](auto* result) {
                                                    result->setFileCount(fileCount);
                                                    result->setCloseInterval(closeInterval);
                                                });
    }
};

TEST_F(CopyResultWindowTest, ShowsTheCountAndClosesAfterItsIntervalOrByTheButtonThatStopsTheTimer)
{
    QPointer<CopyResultWindowController> result = showResult(3, 50ms);
    EXPECT_TRUE(result->isCloseTimerActive());
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return !manager.checkWindow(TalvorenWindowId::CopyResultWindow); }, 10000));
    processDeferredDeletes();
    EXPECT_TRUE(result.isNull());

    const QString filed = LocalizedStrings::string(u"CopyResultWindow_MessageLabel"_s);
    CopyResultWindowController* closedByHand = showResult(12);
    EXPECT_EQ(field<QLabel>(closedByHand, "messageLabel")->text(), u"12"_s + filed);
    // The next card import while the window is still out shows its own count.
    showResult(0);
    EXPECT_EQ(field<QLabel>(closedByHand, "messageLabel")->text(),
              LocalizedStrings::string(u"CopyResultWindow_NoImageMessageLabel"_s));
    EXPECT_EQ(CopyResultWindowController::messageText(5000000000), u"5000000000"_s + filed);
    EXPECT_TRUE(closedByHand->isCloseTimerActive());
    QTest::mouseClick(field<QPushButton>(closedByHand, "closeButton"), Qt::LeftButton);
    EXPECT_FALSE(closedByHand->isCloseTimerActive());
    EXPECT_EQ(closedByHand->soundPlayer(), nullptr);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::CopyResultWindow));
}

TEST_F(CopyResultWindowTest, AnUndecodableSoundLeavesTheWindowSilentButWorking)
{
    QTemporaryDir resources;
    ASSERT_TRUE(CameraPictureBuilder::writeFile(resources.filePath(u"sound.mp3"_s),
                                                QByteArray(4096, '\x5a')));
    ApplicationResources::setOverrideDirectory(resources.path());

    CopyResultWindowController* result = showResult(2);
    ASSERT_NE(result->soundPlayer(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([result] { return result->soundPlayer()->hasFailed(); }, 10000));
    EXPECT_TRUE(result->window()->isVisible());
    EXPECT_TRUE(result->isCloseTimerActive());
    EXPECT_TRUE(field<QLabel>(result, "messageLabel")->text().startsWith(QLatin1Char('2')));
    QTest::mouseClick(field<QPushButton>(result, "closeButton"), Qt::LeftButton);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::CopyResultWindow));
}

TEST(SoundPlayerTest, NothingToPlayIsSilenceNotAFailureOfTheCaller)
{
    SoundPlayer player;
    EXPECT_FALSE(player.playMP3(QString()));
    EXPECT_TRUE(player.hasFailed());
    EXPECT_FALSE(player.playMP3(u"/nonexistent/sound.mp3"_s));
    EXPECT_TRUE(player.hasFailed());
    // The shipped chime starts playing (or, without an audio device, fails quietly).
    const QString chime = ApplicationResources::path(u"sound"_s, u"mp3"_s);
    ASSERT_FALSE(chime.isEmpty());
    EXPECT_TRUE(player.playMP3(chime));
    player.stop();
}

#include "camerapicturebuilder.h"
#include "common/notificationcenter.h"
#include "copyresultwindowcontroller.h"
#include "desktopwatchwindowpresenter.h"
#include "duplicatewindowcontroller.h"
#include "filesbelow.h"
#include "importer/transferringmarker.h"
#include "platform/volumeroots.h"
#include "progresswindowcontroller.h"
#include "readconfirmwindowcontroller.h"
#include "records/seeddatabase.h"
#include "sdcopyconfirmwindowcontroller.h"
#include "settings/importsettingfileoperator.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "temphome.h"
#include "watch/watchsdcardoperator.h"
#include "windowtestsupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <chrono>

using namespace Qt::StringLiterals;

namespace {
void age(const QString& path, qint64 seconds)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                         QFileDevice::FileModificationTime);
}

// The pictures below a folder, as sorted relative paths.
QStringList picturesBelow(const QString& folder)
{
    return filesBelow(folder).filter(u".JPG"_s);
}
} // namespace

// A home with destinations, a fresh database and a volume root standing in for the
// mount folder; the card watch asks before importing and uses the real windows.
class CardImportTest : public WindowTest
{
protected:
    CardImportTest()
        : destination(home.filePath(u"Pictures/Talvoren"_s)), volumeRoot(home.filePath(u"media"_s))
    {
        const QString temporary = home.filePath(u".local/share/Talvoren/temp"_s);
        for (const QString& folder : {destination, volumeRoot, temporary})
            QDir().mkpath(folder);
        SeedDatabase::installIfMissing();
        SettingsDictionary settings;
        settings.setValue(SettingKeys::defTmp, temporary);
        settings.setValue(SettingKeys::destinationFolderPath, destination);
        settings.setValue(SettingKeys::destinationFolderPathMov,
                          home.filePath(u"Movies/TalvorenMovie"_s));
        settings.setValue(SettingKeys::zeroPaddingLengthString, u"6"_s);
        settings.setValue(SettingKeys::dateFormatString, u"yyyy-MM-dd"_s);
        settings.setValue(SettingKeys::activateAvoidMultipleImportCheck, true);
        settings.setValue(SettingKeys::watchRemovableDiskDrive, true);
        settings.setValue(SettingKeys::confirmBeforeSending, 1001);
        settings.setValue(SettingKeys::displayDesktopNotice, u"1"_s);
        EXPECT_TRUE(UserSettings::write(settings));

        VolumeRoots::setReplacement({volumeRoot});
        using namespace std::chrono_literals;
        WatchSDCardOperator::setTimings({0ms, 0ms, 0ms, 0ms});
        BaseWatchFolderOperator::setIsFirst(false);
        DesktopWatchWindowPresenter::install();
    }
    ~CardImportTest() override
    {
        WatchWindowPresenter::setShared(nullptr);
        BaseWatchFolderOperator::setProgressWindowCheck(nullptr);
        VolumeRoots::clearReplacement();
        TransferringMarker::remove();
    }

    // A camera card with one picture at its top and one in DCIM/100LUMOR.
    QString insertCard(const QString& name, const QString& patientID) const
    {
        const QString card = QDir(volumeRoot).filePath(name);
        QDir().mkpath(card);
        const QString marker = QDir(card).filePath(u"LMR_SD"_s);
        QFile(marker).open(QIODevice::WriteOnly);
        age(marker, 3600);
        CameraPictureBuilder first;
        first.patient(patientID, u"Card"_s).captureDateTime("2024:05:01 10:15:30");
        age(first.write(card, u"IMG_0001.JPG"_s), 600);
        CameraPictureBuilder second;
        second.patient(patientID, u"Card"_s).captureDateTime("2024:05:01 11:00:00");
        age(second.write(card + u"/DCIM/100LUMOR"_s, u"IMG_0002.JPG"_s), 600);
        return card;
    }
    void cardEvent(quint64 eventId) const
    {
        WatchSDCardOperator::handleBatch(VolumeChangeBatch{{volumeRoot}, eventId});
    }
    SDCopyConfirmWindowController* confirmation()
    {
        return manager.windowController<SDCopyConfirmWindowController>(
            TalvorenWindowId::SDCopyConfirmWindow);
    }

    TempHome home;
    QString destination;
    QString volumeRoot;
};

TEST_F(CardImportTest, OkRunsARealCardImportThatTheProgressWindowFollows)
{
    const QString card = insertCard(u"LUMORA"_s, u"4711"_s);
    cardEvent(11);
    ASSERT_TRUE(manager.checkWindow(TalvorenWindowId::SDCopyConfirmWindow));
    SDCopyConfirmWindowController* dialog = confirmation();
    EXPECT_TRUE(dialog->window()->isVisible());
    EXPECT_EQ(dialog->folderArray(), QStringList({card}));
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ProgressWindow));
    EXPECT_TRUE(picturesBelow(destination).isEmpty());

    // What the progress window shows when the finished import closes it: percentage,
    // total, and whether the dialog is still out.
    QObject observer;
    QStringList atClose;
    NotificationCenter::defaultCenter().addObserver(
        ProgressWindowController::notificationNameCloseProgressWindow, &observer,
        [&](const QVariantMap&) {
            auto* progress = manager.windowController<ProgressWindowController>(
                TalvorenWindowId::ProgressWindow);
            atClose = {field<QLabel>(progress, "progressLabel")->text(),
                       QString::number(progress->totalCount()),
                       dialog->window()->isVisible() ? "dialog shown" : "dialog hidden"};
        });
    QTest::mouseClick(field<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    NotificationCenter::defaultCenter().removeObserver(&observer);
    EXPECT_EQ(atClose, QStringList({"100", "2", "dialog hidden"}));
    EXPECT_EQ(picturesBelow(destination).size(), 2);
    EXPECT_EQ(picturesBelow(card).size(), 2);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::SDCopyConfirmWindow));
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::ProgressWindow));
    ASSERT_TRUE(manager.checkWindow(TalvorenWindowId::CopyResultWindow));
    auto* result =
        manager.windowController<CopyResultWindowController>(TalvorenWindowId::CopyResultWindow);
    EXPECT_EQ(result->fileCount(), 2);
    EXPECT_TRUE(result->window()->isVisible());
}

TEST_F(CardImportTest, ASecondCardWhileTheDialogIsOutKeepsTheFirstFolders)
{
    const QString first = insertCard(u"FIRST"_s, u"1"_s);
    cardEvent(31);
    SDCopyConfirmWindowController* dialog = confirmation();
    // A progress window left over from an earlier import is hidden, not replaced.
    auto* progress = open<ProgressWindowController>(TalvorenWindowId::ProgressWindow);

    insertCard(u"SECOND"_s, u"2"_s);
    cardEvent(32);
    EXPECT_EQ(confirmation(), dialog);
    EXPECT_EQ(dialog->folderArray(), QStringList({first}));
    EXPECT_TRUE(dialog->window()->isVisible());
    EXPECT_FALSE(progress->window()->isVisible());
    EXPECT_TRUE(picturesBelow(destination).isEmpty());
}

TEST_F(CardImportTest, AnImportThatThrowsStillClosesTheDialog)
{
    SDCopyConfirmWindowController* dialog = confirmation();
    dialog->setFolderArray({home.filePath(u"nowhere"_s)});
    dialog->setWatchSDCardOperator(
        [](const QStringList&) { throw std::runtime_error("card went away"); });
    dialog->showWindow();
    StderrCapture log;
    QTest::mouseClick(field<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::SDCopyConfirmWindow));
    EXPECT_TRUE(log.text().contains("card went away"));
    // A folder without pictures gives an empty total: the bar shows complete at once.
    EXPECT_EQ(manager.windowController<ProgressWindowController>(TalvorenWindowId::ProgressWindow)
                  ->totalCount(),
              0);
}

TEST_F(WindowTest, OkOnTheSettingsImportQuestionReadsTheExportedFileAndCancelLeavesIt)
{
    TempHome home;
    QDir().mkpath(ImportSettingFileOperator::exchangeDirectory());
    SettingsDictionary exported;
    exported.setValue(SettingKeys::destinationFolderPath, u"/srv/pictures"_s);
    ASSERT_TRUE(exported.write(ImportSettingFileOperator::exchangeFilePath()));

    auto* cancelled = new ReadConfirmWindowController;
    cancelled->showWindow();
    QTest::mouseClick(field<QPushButton>(cancelled, "cancelButton"), Qt::LeftButton);
    EXPECT_TRUE(ImportSettingFileOperator::exchangeFileExists());
    EXPECT_FALSE(QFile::exists(UserSettings::path()));

    auto* accepted = new ReadConfirmWindowController;
    accepted->showWindow();
    QPointer<QWidget> window = accepted->window();
    QTest::mouseClick(field<QPushButton>(accepted, "okButton"), Qt::LeftButton);
    EXPECT_FALSE(ImportSettingFileOperator::exchangeFileExists());
    EXPECT_EQ(
        UserSettings::getUserSettingDictionary().value().value(SettingKeys::destinationFolderPath),
        SettingValue("/srv/pictures"));
    processDeferredDeletes();
    EXPECT_TRUE(window.isNull());
}

TEST_F(WindowTest, EscapeOnTheAlreadyRunningNoticeEndsTheSecondCopy)
{
    int terminations = 0;
    auto* notice =
        open<DuplicateWindowController>(TalvorenWindowId::DuplicateWindow, [&](auto* shown) {
            shown->setTerminateApplication([&] { ++terminations; });
        });
    QTest::keyClick(notice->window(), Qt::Key_Escape);
    EXPECT_EQ(terminations, 1);
    EXPECT_FALSE(manager.checkWindow(TalvorenWindowId::DuplicateWindow));
}

// Writes a picture of every window in each language to <build>/screenshots, for
// people to look at; nothing here compares pixels.
#include "alertwindowcontroller.h"
#include "camerapicturebuilder.h"
#include "cardpreviewpanel.h"
#include "copyresultwindowcontroller.h"
#include "duplicatewindowcontroller.h"
#include "filedfolderslist.h"
#include "importer/basewatchfolderoperator.h"
#include "localizedstrings.h"
#include "progresswindowcontroller.h"
#include "recentimportswindowcontroller.h"
#include "records/seeddatabase.h"
#include "screenshot.h"
#include "sdcopyconfirmwindowcontroller.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "temphome.h"
#include "windowtestsupport.h"

#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <utime.h>

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

// The card confirmation previews the card (patients, counts, what is set apart),
// the result lists the folders filed with a button each, and the recent imports
// show the records; each is pictured in both languages.
TEST_F(WindowScreenshots, PreviewResultAndRecentImportsOfACard)
{
    TempHome home;
    const QString card = home.filePath(QStringLiteral("media/LUMORA"));
    SettingsDictionary settings;
    settings.setValue(SettingKeys::defTmp, home.filePath(QStringLiteral("tmp")));
    settings.setValue(SettingKeys::destinationFolderPath,
                      home.filePath(QStringLiteral("Pictures")));
    settings.setValue(SettingKeys::zeroPadding, true);
    settings.setValue(SettingKeys::zeroPaddingLengthString, QStringLiteral("6"));
    settings.setValue(SettingKeys::activateAvoidMultipleImportCheck, true);
    ASSERT_TRUE(UserSettings::write(settings));
    SeedDatabase::installIfMissing();
    const QList<std::pair<const char*, const char*>> patients = {
        {"123", "Yamada Taro"}, {"123", "Yamada Taro"}, {"4711", "Sato Hana"}, {"", ""}};
    int second = 10;
    for (const auto& [id, name] : patients) {
        ++second;
        const QString path =
            CameraPictureBuilder()
                .patient(QString::fromUtf8(id), QString::fromUtf8(name))
                .captureDateTime(QStringLiteral("2024:05:01 10:15:%1").arg(second))
                .write(card + QStringLiteral("/DCIM"), QStringLiteral("IMG_%1.JPG").arg(second));
        const utimbuf past{0, 1700000000};
        ::utime(QFile::encodeName(path).constData(), &past);
    }
    QFile(card + QStringLiteral("/DCIM/notes.JPG")).open(QIODevice::WriteOnly);

    using namespace TalvorenWindowId;
    for (const QString& language : LocalizedStrings::availableLanguages()) {
        LocalizedStrings::setLanguage(language);
        auto* confirmation =
            manager.windowController<SDCopyConfirmWindowController>(SDCopyConfirmWindow);
        confirmation->setFolderArray({card});
        captureAndClose(
            confirmation, language, QStringLiteral("SDCopyConfirmWindowController-preview"),
            [confirmation] {
                QSignalSpy shown(confirmation->previewPanel(), &CardPreviewPanel::previewShown);
                ASSERT_TRUE(shown.wait(10000));
                auto* patientsTable = confirmation->previewPanel()->findChild<QTableWidget*>(
                    QStringLiteral("patientTable"));
                ASSERT_EQ(patientsTable->rowCount(), 2);
                EXPECT_EQ(patientsTable->item(0, 0)->text(), QStringLiteral("000123 Yamada Taro"));
                EXPECT_EQ(patientsTable->item(0, 1)->text(), QStringLiteral("2"));
                EXPECT_EQ(confirmation->previewPanel()
                              ->findChild<QTableWidget*>(QStringLiteral("apartTable"))
                              ->rowCount(),
                          2); // "No Information", and the file of no camera
            });
    }

    BaseWatchFolderOperator importer;
    importer.setRunPause(std::chrono::milliseconds(0));
    importer.prepareDateFormatters(settings);
    importer.copyImage(card, settings, false, false, false, QStringLiteral("20240501101530000"));
    ASSERT_EQ(importer.filedFolders().total(), 4);

    for (const QString& language : LocalizedStrings::availableLanguages()) {
        LocalizedStrings::setLanguage(language);
        auto* result = manager.windowController<CopyResultWindowController>(CopyResultWindow);
        result->setFileCount(importer.operationCounter());
        result->setFiledFolders(importer.filedFolders().entries());
        captureAndClose(
            result, language, QStringLiteral("CopyResultWindowController-folders"), [result] {
                EXPECT_EQ(result->filedFoldersList()->findChildren<QPushButton*>().size(), 3);
            });

        auto* recent = manager.windowController<RecentImportsWindowController>(RecentImportsWindow);
        captureAndClose(recent, language, QStringLiteral("RecentImportsWindowController"),
                        [recent] {
                            EXPECT_EQ(recent->shownRecordCount(), 4);
                            recent->setFilterText(QStringLiteral("yamada"));
                            EXPECT_EQ(recent->shownRecordCount(), 2);
                            recent->setFilterText(QString());
                            recent->loadAllThumbnails();
                        });
    }
}

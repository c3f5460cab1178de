#include "common/talvorencommon.h"
#include "importer/filingfolderguard.h"
#include "importfixture.h"
#include "records/importedfiledao.h"
#include "settings/settingkeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <functional>
#include <sqlite3.h>
#include <sys/file.h>

namespace K = SettingKeys;

namespace {
const QString defaultName = QStringLiteral("2024-05-01 101530_Mirr-C1");
const QString patientFolder = QStringLiteral("12 Ito Ken/");

QString failureOf(const std::function<void()>& run)
{
    try {
        run();
    } catch (const CopyFailedException& failure) {
        return failure.reason();
    }
    return {};
}
} // namespace

using ImportSafetyTest = ImportFixture;

TEST_F(ImportSafetyTest, ImportFolderRunsTrashWhatCannotBeFiledAndKeepMoviesAndCardMarkers)
{
    put(shot("1", "A B"), "good.JPG");
    put(shot("1", "A B").otherCamera(), "other.JPG");
    put(shot("1", "A B", "2024:05:01"), "undated.JPG");
    put(shot("1", "A B"), ".hidden.JPG");
    put(shot("1", "A B"), "spelled.JPE");
    for (const char* name : {"notes.txt", ".DS_Store", "clip.MOV", "LMR_SD"})
        CameraPictureBuilder::writeFile(source + "/" + name, "x");
    settings.setValue(K::notSendingImage, true);
    putPair(shot("", "No Id", "2024:05:01 10:00:09"), "M0001");

    // A watch-folder run leaves everything it cannot file where it is, and logs
    // a picture it cannot name as an error.
    StderrCapture log;
    run();
    EXPECT_EQ(filesBelow(destination), QStringList{"1 A B/" + defaultName + ".JPG"});
    EXPECT_EQ(filesBelow(source).size(), 11);
    EXPECT_TRUE(log.text().contains(
        "[error]: The picture has no usable original date-time and is not imported: [" + source +
        "/undated.JPG]"));

    QDir(destination).removeRecursively();
    run(true, true);
    EXPECT_EQ(filesBelow(destination), QStringList{"1 A B/" + defaultName + ".JPG"});
    EXPECT_EQ(filesBelow(source), (QStringList{"LMR_SD", "clip.MOV"}));
    EXPECT_EQ(trashed(), (QStringList{".DS_Store", ".hidden.JPG", "M0001.MIF", "M0001.MOV",
                                      "notes.txt", "other.JPG", "spelled.JPE", "undated.JPG"}));
}

// A recorded plain picture stays in its source; an Import folder's recorded movie
// pair goes to the Trash.
TEST_F(ImportSafetyTest, SkipsPicturesRecordedBeforeAndKeepsTheirSources)
{
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    const QString first = put(shot("1", "A B"), "a.JPG");
    putPair(shot("1", "A B"), "M0001");
    run();
    ASSERT_EQ(ImportedFileDao().findAllImportedFiles().size(), 2);

    QDir(destination).removeRecursively();
    settings.setValue(K::deleteOriginalImage, true);
    StderrCapture log;
    run(true);
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_EQ(importer.operationCounter(), 0);
    EXPECT_TRUE(
        log.text().contains(QStringLiteral("は取込済ファイルです。取込はキャンセルされました。")));

    putPair(shot("1", "A B"), "again/M0001");
    run(true, true, source + "/again");
    EXPECT_EQ(trashed(), (QStringList{"M0001.MIF", "M0001.MOV"}));
}

TEST_F(ImportSafetyTest, NumbersDifferentShotsThatShareANameAndNeverReplaceAFiledOne)
{
    put(shot("12", "Ito Ken").serial("LM4A0001"), "a.JPG");
    put(shot("12", "Ito Ken").serial("LM4A0002"), "b.JPG");
    put(shot("12", "Ito Ken").serial("LM4A0003"), "c.JPG");
    run();
    const QStringList threeShots{patientFolder + defaultName + "(2).JPG",
                                 patientFolder + defaultName + "(3).JPG",
                                 patientFolder + defaultName + ".JPG"};
    EXPECT_EQ(filesBelow(destination), threeShots);

    // The same tree again, met in another order: nothing is added, nothing replaced,
    // and the copies dropped as filed already are not counted nor reported filed.
    QFile::rename(source + "/a.JPG", source + "/z.JPG");
    ImportReport report;
    importer.setImportReport(&report);
    run();
    importer.setImportReport(nullptr);
    EXPECT_EQ(filesBelow(destination), threeShots);
    EXPECT_EQ(importer.operationCounter(), 0);
    ASSERT_EQ(report.entries().size(), 3);
    for (const ImportReport::Entry& entry : report.entries())
        EXPECT_EQ(ImportReport::outcomeName(entry.outcome), "already imported");

    // A fourth camera's shot of that second, after the records were purged.
    QDir(source).removeRecursively();
    put(shot("12", "Ito Ken").serial("LM4A0004"), "d.JPG");
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    run(true);
    EXPECT_EQ(filesBelow(destination).size(), 4);
    EXPECT_TRUE(filesBelow(destination).contains(patientFolder + defaultName + "(4).JPG"));
    EXPECT_TRUE(filesBelow(source).isEmpty());

    // Its record names the file as it stands, and finds the shot again by that name
    // after the destination was emptied.
    const QList<ImportedFileEntity> records = ImportedFileDao().findAllImportedFiles();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first().fileName(), defaultName + "(4).JPG");
    QDir(destination).removeRecursively();
    put(shot("12", "Ito Ken").serial("LM4A0004"), "d.JPG");
    run(true);
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_EQ(filesBelow(source), QStringList{"d.JPG"});
}

TEST_F(ImportSafetyTest, RecordsEachPictureAtOnceSoATwinInAnotherTopFolderIsADuplicate)
{
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    put(shot("1", "A B"), "first/a.JPG");
    put(shot("1", "A B"), "second/twin.JPG");
    EXPECT_EQ(poll(), std::nullopt);
    EXPECT_EQ(filesBelow(destination).size(), 1);
    EXPECT_EQ(ImportedFileDao().findAllImportedFiles().size(), 1);
    EXPECT_EQ(filesBelow(source), QStringList{"second/twin.JPG"});
}

// A camera that is still writing: a file changed within the last seconds is not
// taken, one that grows once its copy is staged (a picture, a movie pair) neither.
TEST_F(ImportSafetyTest, LeavesFilesThatAreStillBeingWrittenForTheNextRun)
{
    shot("3", "E F").write(source, "fresh.JPG");
    put(shot("1", "A B"), "a.JPG");
    putPair(shot("2", "C D"), "M0001");
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    settings.setValue(K::deleteOriginalImage, true);
    importer.onStaged = [](const QString& sourcePath) {
        QFile file(sourcePath);
        if (file.open(QIODevice::Append))
            file.write("more");
        age(sourcePath);
    };
    run(true);

    EXPECT_EQ(filesBelow(source), (QStringList{"M0001.MIF", "M0001.MOV", "a.JPG", "fresh.JPG"}));
    EXPECT_EQ(filesBelow(destination) + filesBelow(movies) + filesBelow(temporary), QStringList());
    EXPECT_TRUE(ImportedFileDao().findAllImportedFiles().isEmpty());
    EXPECT_EQ(importer.operationCounter(), 0);
}

TEST_F(ImportSafetyTest, FilesWhatAFailedRunStagedAtTheNextRun)
{
    put(shot("1", "A B", "2024:05:01 10:00:01"), "a.JPG");
    put(shot("2", "C D", "2024:05:01 10:00:02"), "sub/b.JPG");
    // A file stands where the first patient's folder belongs.
    CameraPictureBuilder::writeFile(destination + "/1 A B", "in the way");
    const QString reason = failureOf([this] { run(true); });
    EXPECT_TRUE(reason.contains(
        QStringLiteral("1 picture(s) wait in the staging folder \"%1\"").arg(temporary)))
        << reason.toStdString();
    EXPECT_TRUE(filesBelow(source).isEmpty());
    EXPECT_EQ(filesBelow(temporary).size(), 1);

    // A poll that finds nothing new files what the failed run staged.
    QFile::remove(destination + "/1 A B");
    EXPECT_FALSE(poll());
    EXPECT_EQ(importer.operationCounter(), 1);
    EXPECT_EQ(filesBelow(destination), (QStringList{"1 A B/2024-05-01 100001_Mirr-C1.JPG",
                                                    "2 C D/2024-05-01 100002_Mirr-C1.JPG"}));
    EXPECT_TRUE(filesBelow(temporary).isEmpty());
}

// Which values are unusable is the settings' business; the run asks before it starts.
TEST_F(ImportSafetyTest, RefusesToRunWithoutUsableFoldersAndNamesTheSetting)
{
    const QString picture = put(shot("1", "A B"), "a.JPG");
    settings.setValue(K::destinationFolderPath, QStringLiteral("Pictures"));
    const QString reason = failureOf([this] { run(true); });
    EXPECT_TRUE(
        reason.startsWith(QStringLiteral("The setting \"%1\"").arg(K::destinationFolderPath)))
        << reason.toStdString();
    EXPECT_TRUE(QFileInfo::exists(picture));
}

TEST_F(ImportSafetyTest, ADayFolderFormatFullOfSeparatorsStaysOneFolderInsideTheDestination)
{
    // As a settings file edited by hand (or from another machine) may hold it.
    settings.setValue(K::saveDaySubfolder, true);
    settings.setValue(K::dateFormatString, QStringLiteral("yyyy/../../../../EVIL"));
    put(shot("12", "Ito Ken"), "a.JPG");
    run(true);
    EXPECT_EQ(filesBelow(destination),
              QStringList{patientFolder + "2024_.._.._.._.._EVIL/" + defaultName + ".JPG"});

    EXPECT_TRUE(FilingFolderGuard::isInside("/t/picture/12 A/2024", "/t/picture"));
    EXPECT_TRUE(FilingFolderGuard::isInside("/t/picture/a/../b", "/t/picture/"));
    EXPECT_FALSE(FilingFolderGuard::isInside("/t/picture/../../EVIL", "/t/picture"));
    EXPECT_FALSE(FilingFolderGuard::isInside("/t/picture-other/a", "/t/picture"));
    EXPECT_FALSE(FilingFolderGuard::isInside("/t/picture", "/t/picture"));
    EXPECT_THROW(FilingFolderGuard::requireInside("/t/picture/..", "/t/picture"),
                 CopyFailedException);
}

TEST_F(ImportSafetyTest, NeverFollowsALinkOutOfTheSourceTreeNorDeletesAnythingThere)
{
    const QString outside = home.filePath("outside");
    const QString away = shot("1", "A B", "2024:05:01 10:00:01").write(outside, "o.JPG");
    const QString target = shot("2", "C D", "2024:05:01 10:00:02").write(outside, "f.JPG");
    age(away);
    age(target);
    put(shot("3", "E F", "2024:05:01 10:00:03"), "inner/i.JPG");
    QFile::link(outside, source + "/away");
    QFile::link(source + "/inner", source + "/again");
    QFile::link(target, source + "/f.JPG");

    EXPECT_FALSE(poll());

    EXPECT_EQ(filesBelow(destination), (QStringList{"2 C D/2024-05-01 100002_Mirr-C1.JPG",
                                                    "3 E F/2024-05-01 100003_Mirr-C1.JPG"}));
    EXPECT_TRUE(QFileInfo::exists(away));
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(QFileInfo(source + "/f.JPG").isSymLink());
    EXPECT_TRUE(QFileInfo(source + "/away").isSymLink());
}

// Duplicate protection depends on the database: when it cannot keep a record, the
// run fails with the database's words and says "added" for nothing. (The CLI tests
// meet a database of garbage, the records tests locked ones.)
TEST_F(ImportSafetyTest, FailsWhenTheRecordsCannotBeWritten)
{
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    const QString database = TalvorenCommon::getDBFilePath();
    sqlite3* handle = nullptr;
    if (sqlite3_open(QFile::encodeName(database).constData(), &handle) == SQLITE_OK)
        sqlite3_exec(handle,
                     "create trigger refuse before insert on imported_file begin select "
                     "raise(fail, 'rows refused'); end;",
                     nullptr, nullptr, nullptr);
    sqlite3_close(handle);
    put(shot("1", "A B"), "a.JPG");
    StderrCapture log;

    const QString reason = failureOf([this] { run(true); });

    EXPECT_TRUE(reason.contains(database) && reason.contains("rows refused"))
        << reason.toStdString();
    EXPECT_FALSE(log.text().contains(QStringLiteral("取込リストに情報を追加しました")));
    // The record is written after the staging, which took the source.
    EXPECT_TRUE(filesBelow(source).isEmpty());
}

TEST_F(ImportSafetyTest, ASourceThatDisappearsFailsTheRunAndKeepsTheCompleteCopy)
{
    put(shot("1", "A B", "2024:05:01 10:00:01"), "a.JPG");
    put(shot("2", "C D", "2024:05:01 10:00:02"), "b.JPG");
    put(shot("3", "E F", "2024:05:01 10:00:03"), "sub/c.JPG");
    const QString renamed = home.filePath("renamed");
    importer.onStaged = [&](const QString&) { QFile::rename(source, renamed); };

    const QString reason = failureOf([this] { run(true); });

    EXPECT_TRUE(reason.contains("disappeared")) << reason.toStdString();
    EXPECT_TRUE(reason.contains("1 picture(s) were filed")) << reason.toStdString();
    EXPECT_EQ(importer.operationCounter(), 1);
    EXPECT_EQ(filesBelow(destination), QStringList{"1 A B/2024-05-01 100001_Mirr-C1.JPG"});
    EXPECT_EQ(filesBelow(renamed) + filesBelow(temporary),
              (QStringList{"a.JPG", "b.JPG", "sub/c.JPG"}));
}

// The refused picture's top folder comes first; the poll goes on with the next one.
TEST_F(ImportSafetyTest, APictureWhoseFolderNameIsRefusedStaysAndTheOthersAreFiled)
{
    settings.setValue(K::zeroPadding, true);
    settings.setValue(K::zeroPaddingLengthString, QStringLiteral("300"));
    const QString refused = put(shot("12", "A B", "2024:05:01 10:00:01"), "a/a.JPG");
    put(shot("", "", "2024:05:01 10:00:02"), "b/b.JPG");
    StderrCapture log;

    const QString reason = poll().value_or(QString());

    EXPECT_TRUE(reason.contains(refused)) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QString::fromLocal8Bit(std::strerror(ENAMETOOLONG))));
    EXPECT_TRUE(log.text().contains(refused));
    EXPECT_EQ(importer.operationCounter(), 1);
    EXPECT_EQ(filesBelow(source), QStringList{"a/a.JPG"});
    EXPECT_EQ(filesBelow(destination), QStringList{"No Information/2024-05-01 100002_Mirr-C1.JPG"});
}

// Another import holds the lock: a poll skips its tick.
TEST_F(ImportSafetyTest, APollSkipsWhileAnotherImportRuns)
{
    put(shot("1", "A B"), "a.JPG");
    QFile otherImport(ImportLock::lockFilePath());
    ASSERT_TRUE(otherImport.open(QIODevice::ReadWrite) &&
                ::flock(otherImport.handle(), LOCK_EX) == 0);
    importer.setImportLockPolicy(ImportLock::WhenHeld::Skip);
    poll(false);
    EXPECT_TRUE(filesBelow(destination).isEmpty());
}

#include "importfixture.h"
#include "records/importedfiledao.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <future>
#include <thread>

namespace K = SettingKeys;

namespace {
const QString defaultName = QStringLiteral("2024-05-01 101530_Mirr-C1");
const QString patientFolder = QStringLiteral("12 Ito Ken/");

CameraPictureBuilder fromCamera(const QByteArray& serial)
{
    CameraPictureBuilder picture =
        ImportFixture::shot(QStringLiteral("12"), QStringLiteral("Ito Ken"));
    picture.serial(serial);
    return picture;
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
    CameraPictureBuilder::writeFile(source + "/notes.txt", "x");
    CameraPictureBuilder::writeFile(source + "/.DS_Store", "x");
    CameraPictureBuilder::writeFile(source + "/clip.MOV", "x");
    CameraPictureBuilder::writeFile(source + "/LMR_SD", "x");
    settings.setValue(K::notSendingImage, true);
    putPair(shot("", "No Id", "2024:05:01 10:00:09"), "M0001");

    // A watch-folder run leaves everything it cannot file where it is.
    run();
    EXPECT_EQ(filesBelow(destination), QStringList{"1 A B/" + defaultName + ".JPG"});
    EXPECT_EQ(filesBelow(source).size(), 11);

    QDir(destination).removeRecursively();
    run(true, true);
    EXPECT_EQ(filesBelow(destination), QStringList{"1 A B/" + defaultName + ".JPG"});
    EXPECT_EQ(filesBelow(source), (QStringList{"LMR_SD", "clip.MOV"}));
    EXPECT_EQ(trashed(), (QStringList{".DS_Store", ".hidden.JPG", "M0001.MIF", "M0001.MOV",
                                      "notes.txt", "other.JPG", "spelled.JPE", "undated.JPG"}));
}

TEST_F(ImportSafetyTest, LogsAndLeavesAPictureWithoutUsableDateTime)
{
    const QString undated = put(shot("1", "A B", "2024:05:01 10:1"), "short.JPG");
    LogCapture log;
    run(true);
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_TRUE(filesBelow(temporary).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(undated));
    EXPECT_TRUE(log.text().contains(QStringLiteral("[error]: ")));
    EXPECT_TRUE(log.text().contains(undated));
}

TEST_F(ImportSafetyTest, SkipsPicturesRecordedBeforeAndKeepsTheirSources)
{
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    const QString first = put(shot("1", "A B"), "a.JPG");
    run();
    ASSERT_EQ(ImportedFileDao().findAllImportedFiles().size(), 1);

    QDir(destination).removeRecursively();
    settings.setValue(K::deleteOriginalImage, true);
    LogCapture log;
    run(true);
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_EQ(importer.operationCounter(), 0);
    EXPECT_TRUE(
        log.text().contains(QStringLiteral("は取込済ファイルです。取込はキャンセルされました。")));
}

TEST_F(ImportSafetyTest, TrashesARecordedMoviePairInAnImportFolderRun)
{
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    putPair(shot("1", "A B"), "M0001");
    run();
    putPair(shot("1", "A B"), "again/M0001");
    runOn(source + "/again", true, true);
    EXPECT_EQ(filesBelow(source), (QStringList{"M0001.MIF", "M0001.MOV"}));
    EXPECT_EQ(trashed(), (QStringList{"M0001.MIF", "M0001.MOV"}));
}

TEST_F(ImportSafetyTest, NumbersDifferentShotsThatShareANameAndNeverReplaceAFiledOne)
{
    put(fromCamera("LM4A0001"), "a.JPG");
    put(fromCamera("LM4A0002"), "b.JPG");
    put(fromCamera("LM4A0003"), "c.JPG");
    run();
    const QStringList threeShots{patientFolder + defaultName + "(2).JPG",
                                 patientFolder + defaultName + "(3).JPG",
                                 patientFolder + defaultName + ".JPG"};
    EXPECT_EQ(filesBelow(destination), threeShots);

    // The same tree again, met in another order: nothing is added, nothing replaced.
    QFile::rename(source + "/a.JPG", source + "/z.JPG");
    run();
    EXPECT_EQ(filesBelow(destination), threeShots);

    // A fourth camera's shot of that second, after the records were purged.
    QDir(source).removeRecursively();
    put(fromCamera("LM4A0004"), "d.JPG");
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
    put(fromCamera("LM4A0004"), "d.JPG");
    run(true);
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_EQ(filesBelow(source), QStringList{"d.JPG"});
}

TEST_F(ImportSafetyTest, RecordsEachPictureAtOnceSoATwinInAnotherTopFolderIsADuplicate)
{
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    ASSERT_TRUE(UserSettings::write(settings));
    put(shot("1", "A B"), "first/a.JPG");
    put(shot("1", "A B"), "second/twin.JPG");
    EXPECT_EQ(importer.copyProcess(BaseWatchFolderOperator::deepEnumeration(source), true, false),
              std::nullopt);
    EXPECT_EQ(filesBelow(destination).size(), 1);
    EXPECT_EQ(ImportedFileDao().findAllImportedFiles().size(), 1);
    EXPECT_EQ(filesBelow(source), QStringList{"second/twin.JPG"});
}

TEST_F(ImportSafetyTest, LeavesFilesThatAreStillBeingWrittenForTheNextRun)
{
    CameraPictureBuilder picture = shot("1", "A B");
    const QString fresh = picture.write(source, "fresh.JPG");
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    run(true);
    EXPECT_TRUE(QFileInfo::exists(fresh));
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_TRUE(filesBelow(temporary).isEmpty());
    EXPECT_TRUE(ImportedFileDao().findAllImportedFiles().isEmpty());

    age(fresh);
    run(true);
    EXPECT_FALSE(QFileInfo::exists(fresh));
    EXPECT_EQ(filesBelow(destination).size(), 1);
}

namespace {
// A camera that is still writing: the source grows once its copy is staged.
class GrowingSourceImporter : public BaseWatchFolderOperator
{
protected:
    void stagedCopyWritten(const QString& sourcePath) override
    {
        QFile file(sourcePath);
        if (file.open(QIODevice::Append))
            file.write("more");
        ImportFixture::age(sourcePath);
    }
};
} // namespace

TEST_F(ImportSafetyTest, LeavesAPictureWhoseSizeChangesWhileItIsCopied)
{
    const QString growing = put(shot("1", "A B"), "a.JPG");
    const MovieIndexPair pair = putPair(shot("2", "C D"), "M0001");
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    settings.setValue(K::deleteOriginalImage, true);
    ASSERT_TRUE(UserSettings::write(settings));
    GrowingSourceImporter camera;
    camera.setRunPause(std::chrono::milliseconds(0));
    camera.prepareDateFormatters(settings);
    camera.copyImage(source, settings, true, false, false, QStringLiteral("20240501101530000"));

    EXPECT_TRUE(QFileInfo::exists(growing));
    EXPECT_TRUE(QFileInfo::exists(pair.picturePath));
    EXPECT_TRUE(QFileInfo::exists(pair.moviePath));
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_TRUE(filesBelow(movies).isEmpty());
    EXPECT_TRUE(filesBelow(temporary).isEmpty());
    EXPECT_TRUE(ImportedFileDao().findAllImportedFiles().isEmpty());
    EXPECT_EQ(camera.operationCounter(), 0);
}

TEST_F(ImportSafetyTest, FilesWhatAFailedRunStagedAtTheNextRun)
{
    put(shot("1", "A B", "2024:05:01 10:00:01"), "a.JPG");
    put(shot("2", "C D", "2024:05:01 10:00:02"), "sub/b.JPG");
    if (!setReadOnly(destination, true))
        GTEST_SKIP() << "this machine cannot make a folder read-only";

    try {
        run(true);
        ADD_FAILURE() << "a run into a read-only destination must fail";
    } catch (const CopyFailedException& failure) {
        EXPECT_EQ(failure.name(), QStringLiteral("copyFailedException"));
        EXPECT_FALSE(failure.reason().isEmpty());
    }
    setReadOnly(destination, false);
    EXPECT_TRUE(filesBelow(source).isEmpty());
    EXPECT_EQ(filesBelow(temporary).size(), 2);

    // A poll that finds nothing new files what the failed run staged.
    EXPECT_FALSE(
        importer.copyProcess(BaseWatchFolderOperator::deepEnumeration(source), true, false));
    EXPECT_EQ(filesBelow(destination), (QStringList{"1 A B/2024-05-01 100001_Mirr-C1.JPG",
                                                    "2 C D/2024-05-01 100002_Mirr-C1.JPG"}));
    EXPECT_TRUE(filesBelow(temporary).isEmpty());
}

TEST_F(ImportSafetyTest, RefusesToRunWithoutDestinationOrTemporaryFolder)
{
    const QString picture = put(shot("1", "A B"), "a.JPG");
    settings.setValue(K::destinationFolderPath, QString());
    EXPECT_THROW(run(true), CopyFailedException);
    settings.setValue(K::destinationFolderPath, destination);
    settings.setValue(K::defTmp, QString());
    EXPECT_THROW(run(true), CopyFailedException);
    EXPECT_TRUE(QFileInfo::exists(picture));
}

// Another import (here: another thread, as another process would) holds the lock: a
// poll skips its tick, a waiting run goes on once the lock is free.
TEST_F(ImportSafetyTest, APollSkipsWhileAnotherImportRunsAndAWaitingRunFollowsIt)
{
    ASSERT_TRUE(UserSettings::write(settings));
    put(shot("1", "A B"), "a.JPG");
    std::promise<void> taken;
    std::promise<void> release;
    std::thread other([&] {
        const ImportLock lock(ImportLock::WhenHeld::Wait);
        taken.set_value();
        release.get_future().wait();
    });
    taken.get_future().wait();
    importer.setImportLockPolicy(ImportLock::WhenHeld::Skip);
    importer.copyProcess(BaseWatchFolderOperator::deepEnumeration(source), false, false);
    EXPECT_TRUE(filesBelow(destination).isEmpty());

    importer.setImportLockPolicy(ImportLock::WhenHeld::Wait);
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        release.set_value();
    });
    importer.copyProcess(BaseWatchFolderOperator::deepEnumeration(source), false, false);
    EXPECT_EQ(filesBelow(destination).size(), 1);
    releaser.join();
    other.join();
}

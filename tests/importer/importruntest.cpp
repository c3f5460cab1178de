#include "common/notificationcenter.h"
#include "importfixture.h"
#include "metadata/exifoperator.h"
#include "records/importedfiledao.h"
#include "settings/settingkeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>

namespace K = SettingKeys;

namespace {
const QString defaultName = QStringLiteral("2024-05-01 101530_Mirr-C1");
} // namespace

using ImportRunTest = ImportFixture;

// The worked example, and a first-generation picture named with the first set.
TEST_F(ImportRunTest, FilesTheWorkedExampleUnderSerialPatientAndDayFolders)
{
    settings.setValue(K::zeroPadding, true);
    settings.setValue(K::saveDaySubfolder, true);
    settings.setValue(K::chopCameraSerialNumber, true);
    CameraPictureBuilder picture = shot("123", "Test Name").serial("A1234567").shootingMode(0x00);
    picture.maker.customMode = 0x02;
    picture.maker.flipDirection = 0x03;
    picture.maker.drawingFlag = 0x01;
    put(picture, "IMG_0001.JPG");
    CameraPictureBuilder old = shot("77", "Old Camera").version(3, 0).shootingMode(0x02);
    old.maker.flipDirection = 0x01;
    put(old, "a.jpg");

    run();

    EXPECT_EQ(
        filesBelow(destination),
        (QStringList{"A1234567/000123 Test Name/2024-05-01/2024-05-01 101530_Std-C2_COL_D.JPG",
                     "LM4A0001/000077 Old Camera/2024-05-01/2024-05-01 101530_Std_FLP.jpg"}));
    EXPECT_EQ(importer.operationCounter(), 2);
    EXPECT_TRUE(filesBelow(temporary).isEmpty());
    EXPECT_EQ(filesBelow(source), (QStringList{"IMG_0001.JPG", "a.jpg"}));
}

TEST_F(ImportRunTest, PadsGroupsAndShortensPatientFoldersOrFilesUnderNoInformation)
{
    settings.setValue(K::zeroPadding, true);
    settings.setValue(K::chopCount, true);
    put(shot("12", "Ito Ken"), "a.JPG");
    put(shot("123456", "Mori Aya"), "b.JPG");
    put(shot("AB12", "Sato Jun"), "c.JPG");
    run();
    EXPECT_EQ(filesBelow(destination),
              (QStringList{"$0000/000012 Ito Ken/" + defaultName + ".JPG",
                           "$123000/123456 Mori Aya/" + defaultName + ".JPG",
                           "00AB12 Sato Jun/" + defaultName + ".JPG"}));

    QDir(destination).removeRecursively();
    settings.setValue(K::chopCount, false);
    settings.setValue(K::dontAddPatientName, true);
    settings.setValue(K::zeroPaddingLengthString, 5);
    QDir(source).removeRecursively();
    put(shot("0012345", "Long Id"), "a.JPG");
    put(shot("12", "Short Id"), "b.JPG");
    run();
    EXPECT_EQ(filesBelow(destination),
              (QStringList{"00012/" + defaultName + ".JPG", "0012345/" + defaultName + ".JPG"}));

    // Nothing of these IDs survives as a folder name.
    QDir(destination).removeRecursively();
    QDir(source).removeRecursively();
    put(shot("", "Nobody", "2024:05:01 10:00:01"), "a.JPG");
    put(shot("::", "Colons", "2024:05:01 10:00:02"), "b.JPG");
    put(shot("..", "", "2024:05:01 10:00:03"), "c.JPG");
    settings.setValue(K::chopCameraSerialNumber, true);
    run(true);
    EXPECT_EQ(filesBelow(destination),
              (QStringList{"LM4A0001/No Information/2024-05-01 100001_Mirr-C1.JPG",
                           "LM4A0001/No Information/2024-05-01 100002_Mirr-C1.JPG",
                           "LM4A0001/No Information/2024-05-01 100003_Mirr-C1.JPG"}));
    EXPECT_EQ(filesBelow(source) + filesBelow(temporary), QStringList());
}

// Folders are walked to any depth; hidden ones, hidden files and anything in a
// path holding ".Trashes" are passed over (and a run there counts nothing). A polled
// tree is reduced to its visible top folders, or to itself when it holds a picture.
TEST_F(ImportRunTest, WalksNestedFoldersButNeitherHiddenOnesNorTrashes)
{
    put(shot("2", "C D", "2024:05:01 10:00:02"), "P10/deep/b.JPG");
    put(shot("3", "E F", "2024:05:01 10:00:03"), "P1/sub/c.JPG");
    put(shot("4", "G H", "2024:05:01 10:00:04"), ".hidden/d.JPG");
    EXPECT_EQ(BaseWatchFolderOperator::topFolders(BaseWatchFolderOperator::deepEnumeration(source)),
              (QStringList{source + "/P1", source + "/P10"}));
    put(shot("1", "A B", "2024:05:01 10:00:01"), "a.JPG");
    EXPECT_EQ(BaseWatchFolderOperator::topFolders(BaseWatchFolderOperator::deepEnumeration(source)),
              QStringList{source});
    put(shot("5", "I J", "2024:05:01 10:00:05"), "P1/.e.JPG");
    put(shot("6", "K L", "2024:05:01 10:00:06"), ".Trashes/501/f.JPG");
    put(shot("7", "M N", "2024:05:01 10:00:07"), "card.Trashes/g.JPG");
    importer.setOperationCounter(7);
    run(false, false, source + "/card.Trashes");
    EXPECT_EQ(importer.operationCounter(), 0);

    run();

    EXPECT_EQ(importer.operationCounter(), 3);
    EXPECT_EQ(filesBelow(destination), (QStringList{"1 A B/2024-05-01 100001_Mirr-C1.JPG",
                                                    "2 C D/2024-05-01 100002_Mirr-C1.JPG",
                                                    "3 E F/2024-05-01 100003_Mirr-C1.JPG"}));
}

TEST_F(ImportRunTest, SendsMoviePairsToTheMovieDestinationAndRemovesThemWhenAsked)
{
    settings.setValue(K::destinationFolderMov, true);
    settings.setValue(K::deleteOriginalImage, true);
    settings.setValue(K::activateAvoidMultipleImportCheck, true);
    putPair(shot("", "", "2024:05:01 10:00:01"), "DCIM/M0001");
    putPair(shot("42", "Kato Rin", "2024:05:01 10:00:02"), "DCIM/M0002");
    shot("43", "Abe Mai", "2024:05:01 10:00:03")
        .writeMovieIndexPair(source + "/DCIM", "M0003", "MIF", QString());
    age(source + "/DCIM/M0003.MIF");

    run();

    EXPECT_EQ(filesBelow(movies), (QStringList{"42 Kato Rin/2024-05-01 100002_Mirr-C1.MIF",
                                               "42 Kato Rin/2024-05-01 100002_Mirr-C1.MOV",
                                               "No Information/2024-05-01 100001_Mirr-C1.MIF",
                                               "No Information/2024-05-01 100001_Mirr-C1.MOV"}));
    EXPECT_TRUE(filesBelow(destination).isEmpty());
    EXPECT_EQ(filesBelow(source), QStringList{"DCIM/M0003.MIF"});
    EXPECT_EQ(importer.operationCounter(), 2);
    QFile movie(movies + "/42 Kato Rin/2024-05-01 100002_Mirr-C1.MOV");
    EXPECT_TRUE(movie.open(QIODevice::ReadOnly) &&
                movie.readAll() == CameraPictureBuilder::movieBytes());

    // The movie of a picture without patient ID is recorded too; with an ID it is not.
    QStringList recorded;
    for (const ImportedFileEntity& entity : ImportedFileDao().findAllImportedFiles())
        recorded << entity.transferredFolder().left(movies.size()) + entity.fileName();
    recorded.sort();
    EXPECT_EQ(recorded, (QStringList{movies + "2024-05-01 100001_Mirr-C1.MIF",
                                     movies + "2024-05-01 100001_Mirr-C1.MOV",
                                     movies + "2024-05-01 100002_Mirr-C1.MIF"}));
}

TEST_F(ImportRunTest, FilesOnlyTheMovieWhenMovieIndexPicturesAreNotSent)
{
    settings.setValue(K::dontSendMif, true);
    // A second clip of the same name from another camera, and the first one again.
    putPair(shot("7", "Ono Yu"), "M0001");
    putPair(shot("7", "Ono Yu"), "again/M0001");
    const MovieIndexPair other = putPair(shot("7", "Ono Yu").serial("LM4A0002"), "sub/M0002");
    CameraPictureBuilder::writeFile(other.moviePath, "another clip");
    age(other.moviePath);

    run();

    EXPECT_EQ(filesBelow(destination), (QStringList{"7 Ono Yu/" + defaultName + "(2).MOV",
                                                    "7 Ono Yu/" + defaultName + ".MOV"}));
    EXPECT_EQ(filesBelow(source).size(), 6);
}

TEST_F(ImportRunTest, RecordsPatientInformationPicturesWithoutFilingThem)
{
    settings.setValue(K::dontSendPatientInformationImage, true);
    put(shot("9", "Ueda Sho").shootingMode(0xfe), "id.JPG");
    put(shot("9", "Ueda Sho", "2024:05:01 10:00:09"), "mouth.JPG");

    run();
    EXPECT_EQ(filesBelow(destination), QStringList{"9 Ueda Sho/2024-05-01 100009_Mirr-C1.JPG"});
    const QList<ImportedFileEntity> records = ImportedFileDao().findAllImportedFiles();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].transferredFolder() + "/" + records[0].fileName(),
              destination + "/9 Ueda Sho/2024-05-01 101530_ID.JPG");
    EXPECT_TRUE(QFileInfo::exists(source + "/id.JPG"));

    settings.setValue(K::deleteOriginalImage, true);
    run();
    EXPECT_FALSE(QFileInfo::exists(source + "/id.JPG"));
    // The mouth picture stands in the destination already: nothing new was filed.
    EXPECT_EQ(importer.operationCounter(), 0);
}

TEST_F(ImportRunTest, WritesTheCopyWithoutPersonalInformationWhenAsked)
{
    settings.setValue(K::deleteExifPersonalInfo, true);
    const QString original = put(shot("5", "Hidden Name"), "a.JPG");

    run();

    const QString filed = destination + "/5 Hidden Name/" + defaultName + ".JPG";
    const std::optional<ExifEntity> copy = ExifOperator().getExifData(filed, false);
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(copy->encryptionType, QStringLiteral("255"));
    EXPECT_NE(copy->patientName.value_or(QString()), QStringLiteral("Hidden Name"));
    EXPECT_EQ(QFileInfo(original).size(), QFileInfo(filed).size());
}

TEST_F(ImportRunTest, WritesAHiddenSidecarThatFollowsItsPicture)
{
    settings.setValue(K::exportXml, true);
    put(shot("3", "Sidecar & <Co>"), "a.JPG");
    put(shot("3", "Sidecar & <Co>").serial("LM4A0009"), "b.JPG");

    run();

    const QString folder = destination + "/3 Sidecar & (Co)/";
    EXPECT_EQ(filesBelow(folder),
              (QStringList{"." + defaultName + "(2).xml", "." + defaultName + ".xml",
                           defaultName + "(2).JPG", defaultName + ".JPG"}));
    QFile sidecar(folder + "." + defaultName + "(2).xml");
    EXPECT_TRUE(sidecar.open(QIODevice::ReadOnly) &&
                sidecar.readAll().contains("Sidecar &amp; &lt;Co&gt;"));
}

TEST_F(ImportRunTest, PostsProgressOnlyWhileTheProgressWindowIsOpen)
{
    QObject observer;
    int posted = 0;
    NotificationCenter::defaultCenter().addObserver(
        BaseWatchFolderOperator::notificationNameUpdateProgress(), &observer,
        [&posted](const QVariantMap&) { ++posted; });
    put(shot("1", "A B", "2024:05:01 10:00:01"), "a.JPG");
    put(shot("1", "A B", "2024:05:01 10:00:02"), "b.JPG");

    BaseWatchFolderOperator::setProgressWindowCheck([] { return false; });
    run();
    EXPECT_EQ(posted, 0);

    QDir(destination).removeRecursively();
    BaseWatchFolderOperator::setProgressWindowCheck([] { return true; });
    run();
    BaseWatchFolderOperator::setProgressWindowCheck({});
    EXPECT_EQ(posted, 2);
}

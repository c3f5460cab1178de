#include "importer/stagedfolderfiler.h"

#include "importer/filecopier.h"
#include "importfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
class StagedFolderFilerTest : public ::testing::Test
{
public:
    TempHome home;
    QString staging = home.filePath("temp/picture");
    QString destination = home.filePath("Pictures");

    // Writes each "path=content" below the folder.
    static void write(const QString& folder, const QStringList& files)
    {
        for (const QString& file : files)
            CameraPictureBuilder::writeFile(folder + "/" + file.section('=', 0, 0),
                                            file.section('=', 1).toUtf8());
    }
    QByteArray filed(const QString& relative) const
    {
        QFile file(destination + "/" + relative);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    bool fileAll(QString* error = nullptr, int* filed = nullptr) const
    {
        return StagedFolderFiler::fileStagedFolders(staging, destination, error, filed);
    }
};
} // namespace

// Staged folders merge into existing ones (A, B); files directly in the staging
// folder stay. A different shot under a taken name moves on to the next free number
// with its sidecar (P) or its movie (M); a shot whose content stands under any of its
// numbers is dropped and not counted (D), a half-filed pair is completed.
TEST_F(StagedFolderFilerTest, MergesFoldersNumbersADifferentShotAndDropsAFiledOne)
{
    write(destination, {"A/S/old.JPG=old", "P/x.JPG=first", "P/.x.xml=<first/>",
                        "P/x(2).JPG=second", "M/x.MIF=index one", "M/x.MOV=movie one",
                        "M/y.MIF=index", "D/x.JPG=first", "D/x(2).JPG=second", "D/y.JPG=same"});
    // D's shots are staged in the other order than they were filed.
    write(staging, {"A/a.JPG=a", "A/S/s.JPG=s", "B/b.JPG=b", "loose.JPG=stays", "P/x.JPG=third",
                    "P/.x.xml=<third/>", "M/x.MIF=index two", "M/x.MOV=movie two", "M/y.MIF=index",
                    "M/y.MOV=movie", "D/x.JPG=second", "D/x(2).JPG=first", "D/y.JPG=same"});

    int filedCount = 0;
    ASSERT_TRUE(fileAll(nullptr, &filedCount));

    EXPECT_EQ(filedCount, 5);
    EXPECT_EQ(
        filesBelow(destination),
        (QStringList{"A/S/old.JPG", "A/S/s.JPG", "A/a.JPG", "B/b.JPG", "D/x(2).JPG", "D/x.JPG",
                     "D/y.JPG", "M/x(2).MIF", "M/x(2).MOV", "M/x.MIF", "M/x.MOV", "M/y.MIF",
                     "M/y.MOV", "P/.x(3).xml", "P/.x.xml", "P/x(2).JPG", "P/x(3).JPG", "P/x.JPG"}));
    EXPECT_EQ(filed("P/x(3).JPG") + filed("P/.x(3).xml") + filed("M/x(2).MOV") + filed("D/x.JPG") +
                  filed("P/.x.xml"),
              "third<third/>movie twofirst<first/>");
    EXPECT_EQ(filesBelow(staging), QStringList{"loose.JPG"});
}

TEST_F(StagedFolderFilerTest, NeverLosesAFileThatMeetsAFolderOfItsName)
{
    QDir().mkpath(destination + "/P/x.JPG");
    write(staging, {"P/x.JPG=picture", "Q/q.JPG=waits"});
    write(destination, {"Q=a file where a folder belongs"});

    QString error;
    EXPECT_FALSE(fileAll(&error));
    EXPECT_TRUE(error.contains(destination + "/Q"));
    EXPECT_EQ(filed("P/x(2).JPG"), "picture");
    EXPECT_EQ(filesBelow(staging), QStringList{"Q/q.JPG"});
}

TEST_F(StagedFolderFilerTest, RemovesCopiesLeftIncompleteByAnInterruptedRun)
{
    const QString partial = FileCopier::partialSuffix();
    write(staging, {"P/x.JPG" + partial + "=half", "N/y.JPG=whole", "N/z.JPG" + partial + "=half"});
    // In the destination: one abandoned by a killed run, one that another machine is
    // writing (it holds the lock).
    const QString inProgress = "N/.v.JPG.3c4d" + partial;
    write(destination, {"N/.w.JPG.1f2e" + partial + "=half", inProgress + "=half"});
    const int writer =
        ::open(QFile::encodeName(destination + "/" + inProgress).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);

    ASSERT_TRUE(fileAll());
    ::close(writer);

    EXPECT_EQ(filesBelow(destination), (QStringList{inProgress, "N/y.JPG"}));
    EXPECT_TRUE(filesBelow(staging).isEmpty());
}

// Two writers (two machines filing into one share) file different shots under the
// same names at once, round after round: every shot ends under a name of its own,
// renamed into place or copied across. (The CLI tests file into another file system.)
TEST_F(StagedFolderFilerTest, TwoWritersAtOnceNeverReplaceEachOthersShots)
{
    constexpr int rounds = 20;
    constexpr int shots = 4;
    for (const bool copyAcross : {false, true}) {
        SCOPED_TRACE(copyAcross ? "copied across" : "renamed into place");
        FileCopier::setAlwaysCopyAcross(copyAcross);
        QSet<QByteArray> expected;
        for (int round = 0; round < rounds; ++round) {
            std::vector<std::thread> writers;
            for (const char* writer : {"a", "b"}) {
                const QString folder = home.filePath(QStringLiteral("staging-%1").arg(writer));
                for (int shot = 0; shot < shots; ++shot) {
                    const QByteArray content = QByteArray::number(copyAcross) + writer +
                                               QByteArray::number(round * shots + shot);
                    CameraPictureBuilder::writeFile(
                        QStringLiteral("%1/P/x%2.JPG").arg(folder).arg(shot), content);
                    expected.insert(content);
                }
                writers.emplace_back([folder, target = destination] {
                    QString error;
                    EXPECT_TRUE(StagedFolderFiler::fileStagedFolders(folder, target, &error))
                        << error.toStdString();
                });
            }
            for (std::thread& writer : writers)
                writer.join();
        }
        QSet<QByteArray> found;
        for (const QString& name : filesBelow(destination))
            found.insert(filed(name));
        EXPECT_EQ(filesBelow(destination).size(), expected.size());
        EXPECT_EQ(found, expected);
        QDir(destination + "/P").removeRecursively();
    }
    FileCopier::setAlwaysCopyAcross(false);
}

TEST(FileCopierTest, CopiesWholeFilesOrNothing)
{
    TempHome home;
    const QString source = home.filePath("a.JPG");
    CameraPictureBuilder::writeFile(source, QByteArray(3 << 20, 'x'));
    ImportFixture::age(source);
    QString error;

    ASSERT_TRUE(FileCopier::copyFile(source, home.filePath("b.JPG"),
                                     FileCopier::Durability::Flushed, &error));
    EXPECT_TRUE(FileCopier::hasSameContent(source, home.filePath("b.JPG")));
    EXPECT_EQ(QFileInfo(home.filePath("b.JPG")).lastModified(), QFileInfo(source).lastModified());

    EXPECT_FALSE(FileCopier::copyFile(source, home.filePath("missing/c.JPG"),
                                      FileCopier::Durability::Cached, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(FileCopier::moveFile(home.filePath("b.JPG"), source, &error));
    EXPECT_TRUE(QFileInfo::exists(home.filePath("b.JPG")));
    EXPECT_TRUE(FileCopier::moveFile(home.filePath("b.JPG"), home.filePath("d.JPG"), &error));
    EXPECT_EQ(filesBelow(home.path()), (QStringList{"a.JPG", "d.JPG"}));
}

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

    void stage(const QString& relative, const QByteArray& bytes) const
    {
        CameraPictureBuilder::writeFile(staging + "/" + relative, bytes);
    }
    void file(const QString& relative, const QByteArray& bytes) const
    {
        CameraPictureBuilder::writeFile(destination + "/" + relative, bytes);
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
    stage("A/a.JPG", "a");
    stage("A/S/s.JPG", "s");
    stage("B/b.JPG", "b");
    stage("loose.JPG", "stays");
    file("A/S/old.JPG", "old");
    file("P/x.JPG", "first");
    file("P/.x.xml", "<first/>");
    file("P/x(2).JPG", "second");
    stage("P/x.JPG", "third");
    stage("P/.x.xml", "<third/>");
    file("M/x.MIF", "index one");
    file("M/x.MOV", "movie one");
    stage("M/x.MIF", "index two");
    stage("M/x.MOV", "movie two");
    file("M/y.MIF", "index");
    stage("M/y.MIF", "index");
    stage("M/y.MOV", "movie");
    file("D/x.JPG", "first");
    file("D/x(2).JPG", "second");
    // Staged in the other order than they were filed.
    stage("D/x.JPG", "second");
    stage("D/x(2).JPG", "first");
    stage("D/y.JPG", "same");
    file("D/y.JPG", "same");

    int filedCount = 0;
    ASSERT_TRUE(fileAll(nullptr, &filedCount));

    EXPECT_EQ(filedCount, 5);
    EXPECT_EQ(
        filesBelow(destination),
        (QStringList{"A/S/old.JPG", "A/S/s.JPG", "A/a.JPG", "B/b.JPG", "D/x(2).JPG", "D/x.JPG",
                     "D/y.JPG", "M/x(2).MIF", "M/x(2).MOV", "M/x.MIF", "M/x.MOV", "M/y.MIF",
                     "M/y.MOV", "P/.x(3).xml", "P/.x.xml", "P/x(2).JPG", "P/x(3).JPG", "P/x.JPG"}));
    EXPECT_EQ(filed("P/x(3).JPG") + filed("P/.x(3).xml") + filed("M/x(2).MOV") + filed("D/x.JPG"),
              "third<third/>movie twofirst");
    EXPECT_EQ(filed("P/.x.xml"), "<first/>");
    EXPECT_EQ(filesBelow(staging), QStringList{"loose.JPG"});
}

TEST_F(StagedFolderFilerTest, NeverLosesAFileThatMeetsAFolderOfItsName)
{
    QDir().mkpath(destination + "/P/x.JPG");
    stage("P/x.JPG", "picture");
    file("Q", "a file where a folder belongs");
    stage("Q/q.JPG", "waits");

    QString error;
    EXPECT_FALSE(fileAll(&error));
    EXPECT_TRUE(error.contains(destination + "/Q"));
    EXPECT_EQ(filed("P/x(2).JPG"), "picture");
    EXPECT_EQ(filesBelow(staging), QStringList{"Q/q.JPG"});
}

TEST_F(StagedFolderFilerTest, RemovesCopiesLeftIncompleteByAnInterruptedRun)
{
    stage("P/x.JPG" + FileCopier::partialSuffix(), "half");
    stage("N/y.JPG", "whole");
    stage("N/z.JPG" + FileCopier::partialSuffix(), "half");
    // In the destination: one abandoned by a killed run, one that another machine is
    // writing (it holds the lock).
    const QString abandoned = "N/.w.JPG.1f2e" + FileCopier::partialSuffix();
    const QString inProgress = "N/.v.JPG.3c4d" + FileCopier::partialSuffix();
    file(abandoned, "half");
    file(inProgress, "half");
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
                    const QByteArray content = QStringLiteral("%1 %2 %3 %4")
                                                   .arg(copyAcross ? "across" : "rename", writer)
                                                   .arg(round)
                                                   .arg(shot)
                                                   .toUtf8();
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

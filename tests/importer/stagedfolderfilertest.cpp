#include "importer/stagedfolderfiler.h"

#include "importer/filecopier.h"
#include "importfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

TEST_F(StagedFolderFilerTest, MergesStagedFoldersIntoExistingOnes)
{
    stage("A/a.JPG", "a");
    stage("A/S/s.JPG", "s");
    stage("B/b.JPG", "b");
    stage("loose.JPG", "stays");
    file("A/S/old.JPG", "old");

    ASSERT_TRUE(fileAll());

    EXPECT_EQ(filesBelow(destination),
              (QStringList{"A/S/old.JPG", "A/S/s.JPG", "A/a.JPG", "B/b.JPG"}));
    EXPECT_EQ(filesBelow(staging), QStringList{"loose.JPG"});
}

TEST_F(StagedFolderFilerTest, GivesADifferentShotTheNextFreeNumberWithItsSidecar)
{
    file("P/x.JPG", "first");
    file("P/.x.xml", "<first/>");
    file("P/x(2).JPG", "second");
    stage("P/x.JPG", "third");
    stage("P/.x.xml", "<third/>");

    ASSERT_TRUE(fileAll());

    EXPECT_EQ(filed("P/x.JPG"), "first");
    EXPECT_EQ(filed("P/.x.xml"), "<first/>");
    EXPECT_EQ(filed("P/x(2).JPG"), "second");
    EXPECT_EQ(filed("P/x(3).JPG"), "third");
    EXPECT_EQ(filed("P/.x(3).xml"), "<third/>");
}

TEST_F(StagedFolderFilerTest, DropsAShotWhoseContentIsFiledUnderAnyOfItsNumbers)
{
    file("P/x.JPG", "first");
    file("P/x(2).JPG", "second");
    // Staged in the other order than they were filed.
    stage("P/x.JPG", "second");
    stage("P/x(2).JPG", "first");
    stage("P/y.JPG", "same");
    file("P/y.JPG", "same");
    stage("P/z.JPG", "new");

    int filedCount = 0;
    ASSERT_TRUE(fileAll(nullptr, &filedCount));
    EXPECT_EQ(filedCount, 1);

    EXPECT_EQ(filesBelow(destination),
              (QStringList{"P/x(2).JPG", "P/x.JPG", "P/y.JPG", "P/z.JPG"}));
    EXPECT_EQ(filed("P/x.JPG"), "first");
    EXPECT_TRUE(filesBelow(staging).isEmpty());
}

TEST_F(StagedFolderFilerTest, KeepsAMoviePairTogether)
{
    file("M/x.MIF", "index one");
    file("M/x.MOV", "movie one");
    stage("M/x.MIF", "index two");
    stage("M/x.MOV", "movie two");
    // A pair whose movie is missing at the destination is completed there.
    file("M/y.MIF", "index");
    stage("M/y.MIF", "index");
    stage("M/y.MOV", "movie");

    ASSERT_TRUE(fileAll());

    EXPECT_EQ(filesBelow(destination), (QStringList{"M/x(2).MIF", "M/x(2).MOV", "M/x.MIF",
                                                    "M/x.MOV", "M/y.MIF", "M/y.MOV"}));
    EXPECT_EQ(filed("M/x(2).MOV"), "movie two");
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
// same names at once, round after round: every shot ends under a name of its own.
TEST_F(StagedFolderFilerTest, TwoWritersAtOnceNeverReplaceEachOthersShots)
{
    struct Case
    {
        const char* what;
        bool alwaysCopyAcross;
        QString destination;
    };
    QTemporaryDir otherFileSystem(QStringLiteral("/dev/shm/talvoren-XXXXXX"));
    QList<Case> cases{{"one file system", false, destination},
                      {"copied across", true, destination}};
    struct stat here
    {
    };
    struct stat there
    {
    };
    if (otherFileSystem.isValid() && ::stat(QFile::encodeName(home.path()), &here) == 0 &&
        ::stat(QFile::encodeName(otherFileSystem.path()), &there) == 0 &&
        here.st_dev != there.st_dev)
        cases.append({"another file system", false, otherFileSystem.path()});
    constexpr int rounds = 20;
    constexpr int shots = 4;
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        FileCopier::setAlwaysCopyAcross(each.alwaysCopyAcross);
        QSet<QByteArray> expected;
        for (int round = 0; round < rounds; ++round) {
            std::vector<std::thread> writers;
            for (const char* writer : {"a", "b"}) {
                const QString folder = home.filePath(QStringLiteral("staging-%1").arg(writer));
                for (int shot = 0; shot < shots; ++shot) {
                    const QByteArray content = QStringLiteral("%1 %2 %3 %4")
                                                   .arg(each.what, writer)
                                                   .arg(round)
                                                   .arg(shot)
                                                   .toUtf8();
                    CameraPictureBuilder::writeFile(
                        QStringLiteral("%1/P/x%2.JPG").arg(folder).arg(shot), content);
                    expected.insert(content);
                }
                writers.emplace_back([folder, target = each.destination] {
                    QString error;
                    EXPECT_TRUE(StagedFolderFiler::fileStagedFolders(folder, target, &error))
                        << error.toStdString();
                });
            }
            for (std::thread& writer : writers)
                writer.join();
        }
        QSet<QByteArray> found;
        for (const QString& name : filesBelow(each.destination)) {
            QFile filedFile(each.destination + "/" + name);
            ASSERT_TRUE(filedFile.open(QIODevice::ReadOnly)) << name.toStdString();
            found.insert(filedFile.readAll());
        }
        EXPECT_EQ(filesBelow(each.destination).size(), expected.size());
        EXPECT_EQ(found, expected);
        QDir(each.destination + "/P").removeRecursively();
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

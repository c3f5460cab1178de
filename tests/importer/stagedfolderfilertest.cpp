#include "importer/stagedfolderfiler.h"

#include "importer/filecopier.h"
#include "importfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    bool fileAll(QString* error = nullptr) const
    {
        return StagedFolderFiler::fileStagedFolders(staging, destination, error);
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

    ASSERT_TRUE(fileAll());

    EXPECT_EQ(filesBelow(destination),
              (QStringList{"P/x(2).JPG", "P/x.JPG", "P/y.JPG"}));
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

    EXPECT_EQ(
        filesBelow(destination),
        (QStringList{"M/x(2).MIF", "M/x(2).MOV", "M/x.MIF", "M/x.MOV", "M/y.MIF", "M/y.MOV"}));
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
    QDir().mkpath(destination + "/N");

    ASSERT_TRUE(fileAll());

    EXPECT_EQ(filesBelow(destination), QStringList{"N/y.JPG"});
    EXPECT_TRUE(filesBelow(staging).isEmpty());
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

#include "platform/fileoperations.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class TrashTest : public testing::Test
{
protected:
    TempHome home;

    QString trashed(const QString& name) const
    {
        return home.filePath(QStringLiteral(".local/share/Trash/files/") + name);
    }
    QString trashInfo(const QString& name) const
    {
        return home.filePath(QStringLiteral(".local/share/Trash/info/") + name +
                             QStringLiteral(".trashinfo"));
    }
};

TEST_F(TrashTest, FilesAndFoldersGoToTheHomeTrashEvenWhenTheDataFolderIsMissing)
{
    ASSERT_FALSE(QFileInfo::exists(home.filePath(QStringLiteral(".local/share"))));
    // Qt 6.4 wrote files/ and info/ into the current folder in this situation.
    QTemporaryDir workingFolder;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingFolder.path()));

    const QString picture = home.filePath(QStringLiteral("broken.jpg"));
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    const QString folder = home.filePath(QStringLiteral("leftover"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inner")));

    EXPECT_TRUE(FileOperations::moveTrash(picture));
    EXPECT_TRUE(FileOperations::moveTrash(folder));
    QDir::setCurrent(previous);

    EXPECT_FALSE(QFileInfo::exists(picture));
    EXPECT_FALSE(QFileInfo::exists(folder));
    QFile inTrash(trashed(QStringLiteral("broken.jpg")));
    ASSERT_TRUE(inTrash.open(QIODevice::ReadOnly));
    EXPECT_EQ(inTrash.readAll(), "not a picture");
    EXPECT_TRUE(QFileInfo::exists(trashInfo(QStringLiteral("broken.jpg"))));
    EXPECT_TRUE(QFileInfo(trashed(QStringLiteral("leftover/inner"))).isDir());
    EXPECT_TRUE(QDir(workingFolder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
}

TEST_F(TrashTest, TheSameNameTrashedTwiceKeepsBothAndAMissingFileFails)
{
    const QString picture = home.filePath(QStringLiteral("same.jpg"));
    for (const char* content : {"first", "second"}) {
        QFile file(picture);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        EXPECT_TRUE(FileOperations::moveTrash(picture));
    }
    EXPECT_EQ(QDir(home.filePath(QStringLiteral(".local/share/Trash/files")))
                  .entryList(QDir::Files)
                  .size(),
              2);

    EXPECT_FALSE(FileOperations::moveTrash(home.filePath(QStringLiteral("missing.jpg"))));
}

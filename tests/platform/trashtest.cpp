#include "camerapicturebuilder.h"
#include "platform/fileoperations.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Trash, FilesAndFoldersGoToTheHomeTrashEvenWhenTheDataFolderIsMissing)
{
    TempHome home;
    const QString trash = home.filePath(QStringLiteral(".local/share/Trash/"));
    ASSERT_FALSE(QFileInfo::exists(home.filePath(QStringLiteral(".local/share"))));
    // Qt 6.4 wrote files/ and info/ into the current folder in this situation.
    QTemporaryDir workingFolder;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingFolder.path()));

    const QString picture = home.filePath(QStringLiteral("same.jpg"));
    const QString folder = home.filePath(QStringLiteral("leftover"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inner")));
    EXPECT_TRUE(FileOperations::moveTrash(folder));
    // The same name trashed twice keeps both.
    for (const char* content : {"first", "second"}) {
        ASSERT_TRUE(CameraPictureBuilder::writeFile(picture, content));
        EXPECT_TRUE(FileOperations::moveTrash(picture));
    }
    QDir::setCurrent(previous);

    EXPECT_FALSE(QFileInfo::exists(picture));
    EXPECT_FALSE(QFileInfo::exists(folder));
    QFile inTrash(trash + QStringLiteral("files/same.jpg"));
    ASSERT_TRUE(inTrash.open(QIODevice::ReadOnly));
    EXPECT_EQ(inTrash.readAll(), "first");
    EXPECT_TRUE(QFileInfo::exists(trash + QStringLiteral("info/same.jpg.trashinfo")));
    EXPECT_TRUE(QFileInfo(trash + QStringLiteral("files/leftover/inner")).isDir());
    EXPECT_EQ(QDir(trash + QStringLiteral("files")).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(QDir(workingFolder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));

    EXPECT_FALSE(FileOperations::moveTrash(home.filePath(QStringLiteral("missing.jpg"))));
}

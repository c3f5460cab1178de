#include "camerapicturebuilder.h"
#include "platform/fileoperations.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(Trash, FilesAndFoldersGoToTheHomeTrashEvenWhenTheDataFolderIsMissing)
{
    TempHome home;
    const QString trash = home.filePath(u".local/share/Trash/"_s);
    ASSERT_FALSE(QFileInfo::exists(home.filePath(u".local/share"_s)));
    // Qt 6.4 wrote files/ and info/ into the current folder in this situation.
    QTemporaryDir workingFolder;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingFolder.path()));

    const QString picture = home.filePath(u"same.jpg"_s);
    const QString folder = home.filePath(u"leftover"_s);
    ASSERT_TRUE(QDir().mkpath(folder + u"/inner"_s));
    EXPECT_TRUE(FileOperations::moveTrash(folder));
    // The same name trashed twice keeps both.
    for (const char* content : {"first", "second"}) {
        ASSERT_TRUE(CameraPictureBuilder::writeFile(picture, content));
        EXPECT_TRUE(FileOperations::moveTrash(picture));
    }
    QDir::setCurrent(previous);

    EXPECT_FALSE(QFileInfo::exists(picture));
    EXPECT_FALSE(QFileInfo::exists(folder));
    QFile inTrash(trash + u"files/same.jpg"_s);
    ASSERT_TRUE(inTrash.open(QIODevice::ReadOnly));
    EXPECT_EQ(inTrash.readAll(), "first");
    EXPECT_TRUE(QFileInfo::exists(trash + u"info/same.jpg.trashinfo"_s));
    EXPECT_TRUE(QFileInfo(trash + u"files/leftover/inner"_s).isDir());
    EXPECT_EQ(QDir(trash + u"files"_s).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(QDir(workingFolder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));

    EXPECT_FALSE(FileOperations::moveTrash(home.filePath(u"missing.jpg"_s)));
}

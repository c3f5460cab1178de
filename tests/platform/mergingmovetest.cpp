#include "platform/fileoperations.h"
#include "temphome.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

dev_t deviceOf(const QString& path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_dev : 0;
}
} // namespace

class MergingMoveTest : public testing::Test
{
protected:
    TempHome home;

    QString at(const QString& relative) const { return home.filePath(relative); }
    bool exists(const QString& relative) const { return QFileInfo::exists(at(relative)); }

    bool move(const QString& from, const QString& to, bool overwrite, PosixError* error = nullptr)
    {
        return FileOperations::moveItemAtPath(at(from), at(to), error, overwrite);
    }
};

TEST_F(MergingMoveTest, NothingAtTheDestinationMovesTheFileOrTheWholeTree)
{
    writeFile(at(QStringLiteral("in/one.jpg")), "one");
    writeFile(at(QStringLiteral("tree/deep/er/two.jpg")), "two");
    writeFile(at(QStringLiteral("tree/.two.xml")), "<x/>");
    ASSERT_TRUE(QDir().mkpath(at(QStringLiteral("out"))));

    EXPECT_TRUE(move(QStringLiteral("in/one.jpg"), QStringLiteral("out/one.jpg"), false));
    EXPECT_TRUE(move(QStringLiteral("tree"), QStringLiteral("out/tree"), false));

    EXPECT_EQ(readFile(at(QStringLiteral("out/one.jpg"))), "one");
    EXPECT_EQ(readFile(at(QStringLiteral("out/tree/deep/er/two.jpg"))), "two");
    EXPECT_EQ(readFile(at(QStringLiteral("out/tree/.two.xml"))), "<x/>");
    EXPECT_FALSE(exists(QStringLiteral("in/one.jpg")));
    EXPECT_FALSE(exists(QStringLiteral("tree")));
}

TEST_F(MergingMoveTest, AFolderMergesIntoAnExistingOneAndDisappears)
{
    writeFile(at(QStringLiteral("A/a.jpg")), "a");
    writeFile(at(QStringLiteral("A/.a.xml")), "sidecar");
    writeFile(at(QStringLiteral("A/S/s.jpg")), "s");
    writeFile(at(QStringLiteral("B/S/t.jpg")), "t");
    writeFile(at(QStringLiteral("B/b.jpg")), "b");

    PosixError error;
    EXPECT_TRUE(move(QStringLiteral("A"), QStringLiteral("B"), true, &error))
        << error.localizedDescription().toStdString();

    EXPECT_EQ(readFile(at(QStringLiteral("B/a.jpg"))), "a");
    EXPECT_EQ(readFile(at(QStringLiteral("B/.a.xml"))), "sidecar");
    EXPECT_EQ(readFile(at(QStringLiteral("B/S/s.jpg"))), "s");
    EXPECT_EQ(readFile(at(QStringLiteral("B/S/t.jpg"))), "t");
    EXPECT_EQ(readFile(at(QStringLiteral("B/b.jpg"))), "b");
    EXPECT_FALSE(exists(QStringLiteral("A")));
}

TEST_F(MergingMoveTest, TheOverwriteSwitchDecidesWhetherASameNamedFileIsReplaced)
{
    writeFile(at(QStringLiteral("A/1.jpg")), "new 1");
    writeFile(at(QStringLiteral("A/2.jpg")), "new 2");
    writeFile(at(QStringLiteral("A/3.jpg")), "new 3");
    writeFile(at(QStringLiteral("B/2.jpg")), "old 2");

    // Off: the merge stops at the clash; what was listed before it has moved.
    PosixError error;
    EXPECT_FALSE(move(QStringLiteral("A"), QStringLiteral("B"), false, &error));
    EXPECT_EQ(error.code, EEXIST);
    EXPECT_EQ(error.userInfo.value(QStringLiteral(":path")).toString(),
              at(QStringLiteral("A/2.jpg")));
    EXPECT_EQ(readFile(at(QStringLiteral("B/1.jpg"))), "new 1");
    EXPECT_EQ(readFile(at(QStringLiteral("B/2.jpg"))), "old 2");
    EXPECT_EQ(readFile(at(QStringLiteral("A/2.jpg"))), "new 2");
    EXPECT_EQ(readFile(at(QStringLiteral("A/3.jpg"))), "new 3");
    EXPECT_FALSE(exists(QStringLiteral("B/3.jpg")));

    // On: the same call finishes the merge, replacing the file.
    EXPECT_TRUE(move(QStringLiteral("A"), QStringLiteral("B"), true));
    EXPECT_EQ(readFile(at(QStringLiteral("B/2.jpg"))), "new 2");
    EXPECT_EQ(readFile(at(QStringLiteral("B/3.jpg"))), "new 3");
    EXPECT_FALSE(exists(QStringLiteral("A")));
}

TEST_F(MergingMoveTest, AFileMeetingAFolderOfItsNameIsKeptBesideIt)
{
    writeFile(at(QStringLiteral("A/x.jpg")), "picture");
    writeFile(at(QStringLiteral("A/.x.xml")), "sidecar");
    writeFile(at(QStringLiteral("A/noext")), "plain");
    writeFile(at(QStringLiteral("B/x.jpg/inside.jpg")), "inside");
    writeFile(at(QStringLiteral("B/x(2).jpg")), "taken");
    writeFile(at(QStringLiteral("B/.x.xml/inside")), "inside");
    writeFile(at(QStringLiteral("B/noext/inside")), "inside");

    EXPECT_TRUE(move(QStringLiteral("A"), QStringLiteral("B"), true));
    EXPECT_EQ(readFile(at(QStringLiteral("B/x.jpg/inside.jpg"))), "inside");
    EXPECT_EQ(readFile(at(QStringLiteral("B/x(2).jpg"))), "taken");
    EXPECT_EQ(readFile(at(QStringLiteral("B/x(3).jpg"))), "picture");
    EXPECT_EQ(readFile(at(QStringLiteral("B/.x(2).xml"))), "sidecar");
    EXPECT_EQ(readFile(at(QStringLiteral("B/noext(2)"))), "plain");
    EXPECT_FALSE(exists(QStringLiteral("A")));

    // Also when the file itself is the item moved, not an entry of a merged folder.
    writeFile(at(QStringLiteral("single.jpg")), "single");
    EXPECT_TRUE(move(QStringLiteral("single.jpg"), QStringLiteral("B/x.jpg"), false));
    EXPECT_EQ(readFile(at(QStringLiteral("B/x(4).jpg"))), "single");
}

TEST_F(MergingMoveTest, AFolderReplacesASameNamedFileOnlyWithOverwriteOn)
{
    writeFile(at(QStringLiteral("A/S/s.jpg")), "s");
    writeFile(at(QStringLiteral("B/S")), "a file named S");

    EXPECT_FALSE(move(QStringLiteral("A/S"), QStringLiteral("B/S"), false));
    EXPECT_EQ(readFile(at(QStringLiteral("B/S"))), "a file named S");
    EXPECT_TRUE(move(QStringLiteral("A/S"), QStringLiteral("B/S"), true));
    EXPECT_EQ(readFile(at(QStringLiteral("B/S/s.jpg"))), "s");
}

TEST_F(MergingMoveTest, FailuresLeaveTheSourceInPlaceAndNameTheCall)
{
    writeFile(at(QStringLiteral("A/a.jpg")), "a");
    PosixError error;

    EXPECT_FALSE(move(QStringLiteral("missing"), QStringLiteral("B"), true, &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.userInfo.value(QStringLiteral("function")).toString(), QStringLiteral("lstat"));

    EXPECT_FALSE(
        move(QStringLiteral("A/a.jpg"), QStringLiteral("no/such/folder/a.jpg"), true, &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.userInfo.value(QStringLiteral("function")).toString(),
              QStringLiteral("rename"));
    EXPECT_EQ(readFile(at(QStringLiteral("A/a.jpg"))), "a");

    // Without an error out-parameter the result alone tells.
    EXPECT_FALSE(move(QStringLiteral("missing"), QStringLiteral("B"), true));
}

TEST_F(MergingMoveTest, NamesThatAreNotUtf8MoveUnchanged)
{
    const QByteArray folder = QFile::encodeName(at(QStringLiteral("A")));
    ASSERT_TRUE(QDir().mkpath(at(QStringLiteral("A"))));
    ASSERT_TRUE(QDir().mkpath(at(QStringLiteral("B"))));
    const QByteArray name("\xff\xfe-latin1-\xe9.jpg");
    FILE* file = std::fopen((folder + '/' + name).constData(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("bytes", file);
    std::fclose(file);

    EXPECT_TRUE(move(QStringLiteral("A"), QStringLiteral("B"), true));
    struct stat info;
    EXPECT_EQ(::stat((QFile::encodeName(at(QStringLiteral("B"))) + '/' + name).constData(), &info),
              0);
    EXPECT_EQ(info.st_size, 5);
    EXPECT_FALSE(exists(QStringLiteral("A")));
    // The temporary home cannot remove a name it cannot decode.
    ::unlink((QFile::encodeName(at(QStringLiteral("B"))) + '/' + name).constData());
}

// /dev/shm is a separate file system on Linux: the move copies, flushes and then
// removes, and the copy keeps the content and the modification time.
TEST_F(MergingMoveTest, TreesMoveAndMergeAcrossFileSystems)
{
    QTemporaryDir other(QStringLiteral("/dev/shm/talvoren-move-XXXXXX"));
    if (!other.isValid() || deviceOf(other.path()) == deviceOf(home.path()))
        GTEST_SKIP() << "no second file system to move across";

    const QString source = other.filePath(QStringLiteral("A"));
    const QByteArray big(3 * 1024 * 1024 + 7, 'p');
    writeFile(source + QStringLiteral("/big.jpg"), big);
    writeFile(source + QStringLiteral("/S/s.jpg"), "s");
    writeFile(source + QStringLiteral("/.s.xml"), "sidecar");
    ASSERT_TRUE(QFile::link(QStringLiteral("big.jpg"), source + QStringLiteral("/link.jpg")));
    const QDateTime shot = QDateTime::fromSecsSinceEpoch(1700000000);
    {
        QFile file(source + QStringLiteral("/big.jpg"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(shot, QFileDevice::FileModificationTime));
    }
    writeFile(at(QStringLiteral("B/S/t.jpg")), "t");
    writeFile(at(QStringLiteral("B/big.jpg")), "older copy");

    PosixError error;
    EXPECT_TRUE(FileOperations::moveItemAtPath(source, at(QStringLiteral("B")), &error, true))
        << error.localizedDescription().toStdString();
    EXPECT_EQ(readFile(at(QStringLiteral("B/big.jpg"))), big);
    EXPECT_EQ(QFileInfo(at(QStringLiteral("B/big.jpg"))).lastModified(), shot);
    EXPECT_EQ(readFile(at(QStringLiteral("B/S/s.jpg"))), "s");
    EXPECT_EQ(readFile(at(QStringLiteral("B/S/t.jpg"))), "t");
    EXPECT_EQ(readFile(at(QStringLiteral("B/.s.xml"))), "sidecar");
    EXPECT_EQ(QFileInfo(at(QStringLiteral("B/link.jpg"))).symLinkTarget(),
              at(QStringLiteral("B/big.jpg")));
    EXPECT_FALSE(QFileInfo::exists(source));
    // No temporary copies are left beside the pictures.
    EXPECT_EQ(QDir(at(QStringLiteral("B")))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                  .size(),
              4);

    // A whole tree into a place where nothing stands yet, and a clash with overwrite off.
    writeFile(other.filePath(QStringLiteral("C/c.jpg")), "c");
    writeFile(other.filePath(QStringLiteral("D/t.jpg")), "other t");
    EXPECT_TRUE(FileOperations::moveItemAtPath(other.filePath(QStringLiteral("C")),
                                               at(QStringLiteral("C")), nullptr, false));
    EXPECT_EQ(readFile(at(QStringLiteral("C/c.jpg"))), "c");
    EXPECT_FALSE(FileOperations::moveItemAtPath(other.filePath(QStringLiteral("D")),
                                                at(QStringLiteral("B/S")), &error, false));
    EXPECT_EQ(error.code, EEXIST);
    EXPECT_EQ(readFile(other.filePath(QStringLiteral("D/t.jpg"))), "other t");
    EXPECT_EQ(readFile(at(QStringLiteral("B/S/t.jpg"))), "t");
}

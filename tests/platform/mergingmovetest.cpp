#include "camerapicturebuilder.h"
#include "filesbelow.h"
#include "platform/fileoperations.h"
#include "temphome.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The files below a folder, path -> content; standard types so that a failure prints them.
using Tree = std::map<std::string, std::string>;

// "A/a.jpg=a B/b.jpg=b": a tree written short.
Tree tree(const char* text)
{
    Tree files;
    for (const QString& file : QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts))
        files[file.section(u'=', 0, 0).toStdString()] = file.section(u'=', 1).toStdString();
    return files;
}

void plant(const QString& folder, const Tree& files)
{
    for (const auto& [relative, content] : files)
        ASSERT_TRUE(
            CameraPictureBuilder::writeFile(QDir(folder).filePath(QString::fromStdString(relative)),
                                            QByteArray::fromStdString(content)));
}

Tree treeBelow(const QString& folder)
{
    Tree files;
    for (const QString& relative : filesBelow(folder)) {
        QFile file(QDir(folder).filePath(relative));
        files[relative.toStdString()] =
            file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
    }
    return files;
}
} // namespace

class MergingMoveTest : public testing::Test
{
protected:
    TempHome home;
};

TEST_F(MergingMoveTest, MovesMergesAndKeepsWhatStandsInTheWay)
{
    struct Case
    {
        const char* before;
        const char* from;
        const char* to;
        bool overwrite;
        const char* after;
        int errorCode = 0; // 0: the move succeeds and the source is gone
        const char* function = "";
        const char* errorPath = nullptr; // when not the source itself
    };
    const Case cases[] = {
        // Nothing at the destination: the file or the whole tree moves.
        {"in/one.jpg=one out/o=o", "in/one.jpg", "out/one.jpg", false, "out/one.jpg=one out/o=o"},
        {"T/deep/er/two.jpg=two T/.two.xml=x out/o=o", "T", "out/T", false,
         "out/T/deep/er/two.jpg=two out/T/.two.xml=x out/o=o"},
        // A folder merges into an existing one.
        {"A/a.jpg=a A/.a.xml=sidecar A/S/s.jpg=s B/S/t.jpg=t B/b.jpg=b", "A", "B", true,
         "B/a.jpg=a B/.a.xml=sidecar B/S/s.jpg=s B/S/t.jpg=t B/b.jpg=b"},
        // A clash with overwrite off stops the merge; what was listed before it has moved.
        {"A/1.jpg=new1 A/2.jpg=new2 A/3.jpg=new3 B/2.jpg=old2", "A", "B", false,
         "B/1.jpg=new1 B/2.jpg=old2 A/2.jpg=new2 A/3.jpg=new3", EEXIST, "rename", "A/2.jpg"},
        {"A/2.jpg=new2 B/2.jpg=old2", "A", "B", true, "B/2.jpg=new2"},
        // Replacing a folder by a file would lose its pictures: the file goes beside it.
        {"A/x.jpg=pic A/.x.xml=side A/noext=plain B/x.jpg/in.jpg=in B/x(2).jpg=taken "
         "B/.x.xml/in=in B/noext/in=in",
         "A", "B", true,
         "B/x.jpg/in.jpg=in B/x(2).jpg=taken B/x(3).jpg=pic B/.x.xml/in=in B/.x(2).xml=side "
         "B/noext/in=in B/noext(2)=plain"},
        {"single.jpg=single B/x.jpg/in.jpg=in", "single.jpg", "B/x.jpg", false,
         "B/x.jpg/in.jpg=in B/x(2).jpg=single"},
        // A folder replaces a same-named file only with overwrite on.
        {"A/S/s.jpg=s B/S=file", "A/S", "B/S", false, "A/S/s.jpg=s B/S=file", EEXIST, "rename"},
        {"A/S/s.jpg=s B/S=file", "A/S", "B/S", true, "B/S/s.jpg=s"},
        // Failures leave the source in place and name the call.
        {"", "missing", "B", true, "", ENOENT, "lstat"},
        {"A/a.jpg=a", "A/a.jpg", "no/such/folder/a.jpg", true, "A/a.jpg=a", ENOENT, "rename"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " | " + c.from + " -> " + c.to);
        QTemporaryDir folder(home.filePath(QStringLiteral("case-XXXXXX")));
        plant(folder.path(), tree(c.before));
        const QString from = folder.filePath(QString::fromLatin1(c.from));
        PosixError error;
        EXPECT_EQ(FileOperations::moveItemAtPath(from, folder.filePath(QString::fromLatin1(c.to)),
                                                 &error, c.overwrite),
                  c.errorCode == 0)
            << error.localizedDescription().toStdString();
        EXPECT_EQ(treeBelow(folder.path()), tree(c.after));
        EXPECT_EQ(error.code, c.errorCode);
        EXPECT_EQ(error.userInfo.value(QStringLiteral("function")).toString(),
                  QString::fromLatin1(c.function));
        if (c.errorCode == 0)
            EXPECT_FALSE(QFileInfo::exists(from));
        else // the error names the item that could not move
            EXPECT_EQ(error.userInfo.value(QStringLiteral(":path")).toString(),
                      folder.filePath(QString::fromLatin1(c.errorPath ? c.errorPath : c.from)));
    }
    // Without an error out-parameter the result alone tells.
    EXPECT_FALSE(FileOperations::moveItemAtPath(home.filePath(QStringLiteral("missing")),
                                                home.filePath(QStringLiteral("B")), nullptr, true));
}

TEST_F(MergingMoveTest, NamesThatAreNotUtf8MoveUnchanged)
{
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("A"))));
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("B"))));
    const QByteArray name("/\xff\xfe-latin1-\xe9.jpg");
    const QByteArray moved = QFile::encodeName(home.filePath(QStringLiteral("B"))) + name;
    FILE* file =
        std::fopen((QFile::encodeName(home.filePath(QStringLiteral("A"))) + name).data(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("bytes", file);
    std::fclose(file);

    EXPECT_TRUE(FileOperations::moveItemAtPath(home.filePath(QStringLiteral("A")),
                                               home.filePath(QStringLiteral("B")), nullptr, true));
    struct stat info;
    EXPECT_EQ(::stat(moved.constData(), &info), 0);
    EXPECT_EQ(info.st_size, 5);
    EXPECT_FALSE(QFileInfo::exists(home.filePath(QStringLiteral("A"))));
    // The temporary home cannot remove a name it cannot decode.
    ::unlink(moved.constData());
}

// /dev/shm is a separate file system on Linux: the move copies, flushes and then
// removes, and the copy keeps the content and the modification time.
TEST_F(MergingMoveTest, TreesMoveAndMergeAcrossFileSystems)
{
    QTemporaryDir other(QStringLiteral("/dev/shm/talvoren-move-XXXXXX"));
    if (!other.isValid() || QStorageInfo(other.path()) == QStorageInfo(home.path()))
        GTEST_SKIP() << "no second file system to move across";

    const std::string big(3 * 1024 * 1024 + 7, 'p');
    plant(other.path(), tree("A/S/s.jpg=s A/.s.xml=sidecar C/c.jpg=c D/t.jpg=other"));
    plant(other.path(), {{"A/big.jpg", big}});
    const QString destination = home.filePath(QStringLiteral("B"));
    plant(destination, tree("S/t.jpg=t big.jpg=older"));
    ASSERT_TRUE(
        QFile::link(QStringLiteral("big.jpg"), other.filePath(QStringLiteral("A/link.jpg"))));
    const QDateTime shot = QDateTime::fromSecsSinceEpoch(1700000000);
    {
        QFile file(other.filePath(QStringLiteral("A/big.jpg")));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(shot, QFileDevice::FileModificationTime));
    }

    PosixError error;
    EXPECT_TRUE(FileOperations::moveItemAtPath(other.filePath(QStringLiteral("A")), destination,
                                               &error, true))
        << error.localizedDescription().toStdString();
    // No temporary copies are left beside the pictures; the link is a link still.
    Tree expected = tree("S/s.jpg=s S/t.jpg=t .s.xml=sidecar");
    expected["big.jpg"] = expected["link.jpg"] = big;
    EXPECT_EQ(treeBelow(destination), expected);
    EXPECT_EQ(QFileInfo(destination + QStringLiteral("/big.jpg")).lastModified(), shot);
    EXPECT_EQ(QFileInfo(destination + QStringLiteral("/link.jpg")).symLinkTarget(),
              destination + QStringLiteral("/big.jpg"));
    EXPECT_FALSE(QFileInfo::exists(other.filePath(QStringLiteral("A"))));

    // A whole tree into a place where nothing stands yet, and a clash with overwrite off.
    EXPECT_TRUE(FileOperations::moveItemAtPath(other.filePath(QStringLiteral("C")),
                                               home.filePath(QStringLiteral("C")), nullptr, false));
    EXPECT_FALSE(FileOperations::moveItemAtPath(other.filePath(QStringLiteral("D")),
                                                destination + QStringLiteral("/S"), &error, false));
    EXPECT_EQ(error.code, EEXIST);
    EXPECT_EQ(treeBelow(other.path()), tree("D/t.jpg=other"));
    EXPECT_EQ(treeBelow(home.filePath(QStringLiteral("C"))), tree("c.jpg=c"));
    EXPECT_EQ(treeBelow(destination + QStringLiteral("/S")), tree("s.jpg=s t.jpg=t"));
}

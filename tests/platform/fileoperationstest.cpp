#include "platform/fileoperations.h"

#include "camerapicturebuilder.h"
#include "platform/extendedattributes.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {
// 32 bytes of Finder information (or as many as asked), zero but for the bytes given.
QByteArray finderInfo(std::initializer_list<std::pair<int, char>> setBytes, int size = 32)
{
    QByteArray value(size, '\0');
    for (const auto& [index, byte] : setBytes)
        value[index] = byte;
    return value;
}
} // namespace

class ExtendedAttributesTest : public testing::Test
{
protected:
    TempHome home;

    // A new file carrying the attribute, when a name is given.
    QString createFile(const QString& name, const char* attribute = nullptr,
                       const QByteArray& value = {})
    {
        const QString path = home.filePath(name);
        EXPECT_TRUE(CameraPictureBuilder::writeFile(path, {}));
        if (attribute) {
            EXPECT_EQ(setAttribute(path, attribute, value), 0) << "the folder must take attributes";
        }
        return path;
    }
    static int setAttribute(const QString& path, const char* attribute, const QByteArray& value)
    {
        return ::setxattr(QFile::encodeName(path).constData(), attribute, value.constData(),
                          value.size(), 0);
    }
};

TEST_F(ExtendedAttributesTest, NamesAreComparedWholeAndTheLinkSwitchDecidesWhatIsAsked)
{
    const QByteArray binary("\x00\x01\xff\x00tail", 8);
    const QString file = createFile(u"picture.jpg"_s, "user.first", "1");
    ASSERT_EQ(setAttribute(file, "user.talvoren.binary", binary), 0);
    const QString link = home.filePath(u"link.jpg"_s);
    ASSERT_TRUE(QFile::link(file, link));

    // The attribute, where it is asked, whether the link is followed, the value if any.
    const std::tuple<const char*, QString, bool, std::optional<QByteArray>> cases[] = {
        {"user.first", file, true, "1"},         {"user.talvoren.binary", file, true, binary},
        {"user.firs", file, true, std::nullopt}, {"user.first.more", file, true, std::nullopt},
        {"user.first", link, true, "1"},         {"user.first", link, false, std::nullopt},
    };
    for (const auto& [name, path, traverseLink, value] : cases) {
        SCOPED_TRACE(std::string(name) + (traverseLink ? " via " : " at ") + path.toStdString());
        const QString attribute = QString::fromLatin1(name);
        EXPECT_EQ(ExtendedAttributes::hasExtendedAttribute(attribute, path, traverseLink),
                  value.has_value());
        EXPECT_EQ(ExtendedAttributes::extendedAttribute(attribute, path, traverseLink), value);
    }
}

TEST_F(ExtendedAttributesTest, FailuresCarryErrnoTheCallAndItsArguments)
{
    // A file without attributes simply has none; reading one fails.
    const QString plain = createFile(u"plain.jpg"_s);
    PosixError error;
    EXPECT_FALSE(ExtendedAttributes::hasExtendedAttribute(u"user.any"_s, plain, true, &error));
    EXPECT_EQ(error.code, 0);
    EXPECT_FALSE(ExtendedAttributes::extendedAttribute(u"user.any"_s, plain, true, &error));
    EXPECT_EQ(error.code, ENODATA);

    const QString missing = home.filePath(u"missing.jpg"_s);
    QVariantMap expected{{u"function"_s, u"listxattr"_s},
                         {u"error"_s, QString::fromLocal8Bit(strerror(ENOENT))},
                         {u":path"_s, missing},
                         {u":name"_s, u"user.a"_s},
                         {u":traverseLink"_s, false}};
    EXPECT_FALSE(ExtendedAttributes::hasExtendedAttribute(u"user.a"_s, missing, false, &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.userInfo, expected);
    EXPECT_TRUE(error.localizedDescription().contains(missing));
    EXPECT_FALSE(ExtendedAttributes::extendedAttribute(u"user.a"_s, missing, true, &error));
    expected[u"function"_s] = u"getxattr"_s;
    expected[u":traverseLink"_s] = true;
    EXPECT_EQ(error.userInfo, expected);
}

TEST_F(ExtendedAttributesTest, OnlyFinderInformationWithNothingButTheInvisibleFlagHides)
{
    const char* finder = "user.com.apple.FinderInfo";
    // The file, the attribute it carries, its value, whether the file counts as hidden.
    const std::tuple<const char*, const char*, QByteArray, bool> cases[] = {
        {"invisible.jpg", finder, finderInfo({{8, 0x40}}), true},
        {"labelled.jpg", finder, finderInfo({{8, 0x40}, {9, 0x0c}}), false},
        {"typed.jpg", finder, finderInfo({{0, 'J'}, {1, 'P'}, {2, 'E'}, {3, 'G'}, {8, 0x40}}),
         false},
        {"other-flag.jpg", finder, finderInfo({{8, 0x41}}), false},
        {"short.jpg", finder, finderInfo({{8, 0x40}}, 31), false},
        {"long.jpg", finder, finderInfo({{8, 0x40}}, 33), false},
        // An attribute whose name merely begins with the Finder information's is another one.
        {"longer-name.jpg", "user.com.apple.FinderInfoX", finderInfo({{8, 0x40}}), false},
        {".dotted.jpg", nullptr, {}, false},
    };
    for (const auto& [file, attribute, value, hidden] : cases) {
        SCOPED_TRACE(file);
        const QString path = createFile(QString::fromLatin1(file), attribute, value);
        EXPECT_EQ(FileOperations::isHideAttributeFile(path), hidden);
    }

    const QString link = home.filePath(u"link-to-invisible.jpg"_s);
    ASSERT_TRUE(QFile::link(home.filePath(u"invisible.jpg"_s), link));
    EXPECT_TRUE(FileOperations::isHideAttributeFile(link));
    EXPECT_FALSE(FileOperations::isHideAttributeFile(home.filePath(u"missing.jpg"_s)));
}

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

#include "platform/extendedattributes.h"

#include "platform/fileoperations.h"
#include "temphome.h"

#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/xattr.h>

namespace {
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

    QString createFile(const QString& name)
    {
        const QString path = home.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }

    void setAttribute(const QString& path, const char* name, const QByteArray& value)
    {
        ASSERT_EQ(::setxattr(QFile::encodeName(path).constData(), name, value.constData(),
                             value.size(), 0),
                  0)
            << "the temporary folder must take user attributes";
    }
};

TEST_F(ExtendedAttributesTest, NamesAreComparedWholeAndValuesComeBackByteForByte)
{
    const QString path = createFile(QStringLiteral("picture.jpg"));
    const QByteArray binary("\x00\x01\xff\x00tail", 8);
    setAttribute(path, "user.first", "1");
    setAttribute(path, "user.talvoren.binary", binary);

    EXPECT_TRUE(ExtendedAttributes::hasExtendedAttribute(QStringLiteral("user.first"), path, true));
    EXPECT_TRUE(ExtendedAttributes::hasExtendedAttribute(QStringLiteral("user.talvoren.binary"),
                                                         path, true));
    EXPECT_FALSE(ExtendedAttributes::hasExtendedAttribute(QStringLiteral("user.firs"), path, true));
    EXPECT_FALSE(
        ExtendedAttributes::hasExtendedAttribute(QStringLiteral("user.first.more"), path, true));
    EXPECT_EQ(
        ExtendedAttributes::extendedAttribute(QStringLiteral("user.talvoren.binary"), path, true),
        binary);
    EXPECT_EQ(ExtendedAttributes::extendedAttribute(QStringLiteral("user.first"), path, false),
              QByteArray("1"));
}

TEST_F(ExtendedAttributesTest, AFileWithoutAttributesHasNoneAndReportsNoError)
{
    const QString path = createFile(QStringLiteral("plain.jpg"));
    PosixError error;
    EXPECT_FALSE(
        ExtendedAttributes::hasExtendedAttribute(QStringLiteral("user.any"), path, true, &error));
    EXPECT_EQ(error.code, 0);

    EXPECT_FALSE(
        ExtendedAttributes::extendedAttribute(QStringLiteral("user.any"), path, true, &error));
    EXPECT_EQ(error.code, ENODATA);
    EXPECT_EQ(error.userInfo.value(QStringLiteral("function")).toString(),
              QStringLiteral("getxattr"));
}

TEST_F(ExtendedAttributesTest, FailuresCarryErrnoTheCallAndItsArguments)
{
    const QString missing = home.filePath(QStringLiteral("missing.jpg"));
    PosixError error;
    EXPECT_FALSE(
        ExtendedAttributes::hasExtendedAttribute(QStringLiteral("user.a"), missing, false, &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.userInfo.value(QStringLiteral("function")).toString(),
              QStringLiteral("listxattr"));
    EXPECT_EQ(error.userInfo.value(QStringLiteral(":path")).toString(), missing);
    EXPECT_EQ(error.userInfo.value(QStringLiteral(":name")).toString(), QStringLiteral("user.a"));
    EXPECT_EQ(error.userInfo.value(QStringLiteral(":traverseLink")).toBool(), false);
    EXPECT_FALSE(error.userInfo.value(QStringLiteral("error")).toString().isEmpty());
    EXPECT_TRUE(error.localizedDescription().contains(missing));

    EXPECT_FALSE(
        ExtendedAttributes::extendedAttribute(QStringLiteral("user.a"), missing, true, &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.userInfo.value(QStringLiteral("function")).toString(),
              QStringLiteral("getxattr"));
    EXPECT_EQ(error.userInfo.value(QStringLiteral(":traverseLink")).toBool(), true);
}

TEST_F(ExtendedAttributesTest, TheLinkSwitchDecidesWhetherTheTargetIsAsked)
{
    const QString target = createFile(QStringLiteral("target.jpg"));
    setAttribute(target, "user.mark", "x");
    const QString link = home.filePath(QStringLiteral("link.jpg"));
    ASSERT_TRUE(QFile::link(target, link));

    EXPECT_TRUE(ExtendedAttributes::hasExtendedAttribute(QStringLiteral("user.mark"), link, true));
    EXPECT_FALSE(
        ExtendedAttributes::hasExtendedAttribute(QStringLiteral("user.mark"), link, false));
    EXPECT_EQ(ExtendedAttributes::extendedAttribute(QStringLiteral("user.mark"), link, true),
              QByteArray("x"));
    EXPECT_FALSE(ExtendedAttributes::extendedAttribute(QStringLiteral("user.mark"), link, false));
}

TEST_F(ExtendedAttributesTest, OnlyFinderInformationWithNothingButTheInvisibleFlagHides)
{
    const char* finder = "user.com.apple.FinderInfo";
    const QString invisible = createFile(QStringLiteral("invisible.jpg"));
    setAttribute(invisible, finder, finderInfo({{8, 0x40}}));
    EXPECT_TRUE(FileOperations::isHideAttributeFile(invisible));

    const QString link = home.filePath(QStringLiteral("link-to-invisible.jpg"));
    ASSERT_TRUE(QFile::link(invisible, link));
    EXPECT_TRUE(FileOperations::isHideAttributeFile(link));

    const QString labelled = createFile(QStringLiteral("labelled.jpg"));
    setAttribute(labelled, finder, finderInfo({{8, 0x40}, {9, 0x0c}}));
    EXPECT_FALSE(FileOperations::isHideAttributeFile(labelled));

    const QString typed = createFile(QStringLiteral("typed.jpg"));
    setAttribute(typed, finder, finderInfo({{0, 'J'}, {1, 'P'}, {2, 'E'}, {3, 'G'}, {8, 0x40}}));
    EXPECT_FALSE(FileOperations::isHideAttributeFile(typed));

    const QString otherFlag = createFile(QStringLiteral("other-flag.jpg"));
    setAttribute(otherFlag, finder, finderInfo({{8, 0x41}}));
    EXPECT_FALSE(FileOperations::isHideAttributeFile(otherFlag));

    const QString shortValue = createFile(QStringLiteral("short.jpg"));
    setAttribute(shortValue, finder, finderInfo({{8, 0x40}}, 31));
    EXPECT_FALSE(FileOperations::isHideAttributeFile(shortValue));

    const QString longValue = createFile(QStringLiteral("long.jpg"));
    setAttribute(longValue, finder, finderInfo({{8, 0x40}}, 33));
    EXPECT_FALSE(FileOperations::isHideAttributeFile(longValue));

    // An attribute whose name merely begins with the Finder information's is another one.
    const QString longerName = createFile(QStringLiteral("longer-name.jpg"));
    setAttribute(longerName, "user.com.apple.FinderInfoX", finderInfo({{8, 0x40}}));
    EXPECT_FALSE(FileOperations::isHideAttributeFile(longerName));

    EXPECT_FALSE(FileOperations::isHideAttributeFile(createFile(QStringLiteral(".dotted.jpg"))));
    EXPECT_FALSE(FileOperations::isHideAttributeFile(home.filePath(QStringLiteral("missing.jpg"))));
}

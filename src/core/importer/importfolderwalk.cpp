#include "importer/importfolderwalk.h"

#include "platform/fileoperations.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
using Kind = ImportFolderWalk::Kind;

const QDir::Filters everyEntry =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

bool isFollowedLink(const QFileInfo& link, const QString& sourceRoot)
{
    const QString target = link.canonicalFilePath();
    return !sourceRoot.isEmpty() && target.startsWith(sourceRoot + QLatin1Char('/')) &&
           !ImportFolderWalk::isLoopingFolder(link.filePath());
}

Kind folderKind(const QFileInfo& folder, bool isVisible, const QString& sourceRoot)
{
    if (!isVisible)
        return Kind::Passed;
    if (folder.isSymLink() && !isFollowedLink(folder, sourceRoot))
        return Kind::LinkNotFollowed;
    return Kind::Folder;
}

Kind kindOf(const QString& path, const QString& name, const QString& sourceRoot)
{
    static const QRegularExpression picture(
        QStringLiteral(".+\\.(JPG$|jpg$|JPEG$|jpeg$|jpe$|jfif$|jfi$|jif$)"));
    static const QRegularExpression movieIndex(QStringLiteral(".+\\.(MIF$|mif$)"));
    static const QRegularExpression movie(QStringLiteral(".+\\.(MOV$|mov$)"));
    const QFileInfo info(path);
    const bool isVisible =
        !name.startsWith(QLatin1Char('.')) && !FileOperations::isHideAttributeFile(path);
    if (info.isDir())
        return folderKind(info, isVisible, sourceRoot);
    if (isVisible && picture.match(name).hasMatch())
        return Kind::Picture;
    if (isVisible && movieIndex.match(name).hasMatch())
        return Kind::MovieIndex;
    if (movie.match(name).hasMatch() || name.contains(QLatin1String("LMR_SD")))
        return Kind::Kept;
    return Kind::Stray;
}
} // namespace

QList<ImportFolderWalk::Entry> ImportFolderWalk::entries(const QString& folder,
                                                         const QString& sourceRoot)
{
    QList<Entry> found;
    if (isPassedOverFolder(folder))
        return found;
    for (const QString& name : QDir(folder).entryList(everyEntry, QDir::Name)) {
        const QString path = folder + QLatin1Char('/') + name;
        found.append(Entry{path, kindOf(path, name, sourceRoot)});
    }
    return found;
}

bool ImportFolderWalk::isPassedOverFolder(const QString& folder)
{
    return folder.contains(QLatin1String(".Trashes"));
}

int ImportFolderWalk::pictureCount(const QString& folder, int startCount)
{
    int count = startCount;
    for (const QString& name : QDir(folder).entryList(everyEntry)) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo(path).isDir()) {
            if (name != QLatin1String(".Trashes") && !isLoopingFolder(path))
                count = pictureCount(path, count);
        } else if (!name.startsWith(QLatin1Char('.')) && name.endsWith(QLatin1String(".JPG"))) {
            ++count;
        }
    }
    return count;
}

bool ImportFolderWalk::isLoopingFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isSymLink())
        return false;
    const QString target = info.canonicalFilePath();
    const QString above = QFileInfo(info.absolutePath()).canonicalFilePath();
    return target.isEmpty() || above == target || above.startsWith(target + QLatin1Char('/')) ||
           target == QLatin1String("/");
}

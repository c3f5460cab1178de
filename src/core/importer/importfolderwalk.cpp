#include "importer/importfolderwalk.h"

#include "importer/importrunsupport.h"
#include "platform/fileoperations.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

ImportFolderWalk::Kind kindOf(const QString& path, const QString& name)
{
    static const QRegularExpression picture(
        QStringLiteral(".+\\.(JPG$|jpg$|JPEG$|jpeg$|jpe$|jfif$|jfi$|jif$)"));
    static const QRegularExpression movieIndex(QStringLiteral(".+\\.(MIF$|mif$)"));
    static const QRegularExpression movie(QStringLiteral(".+\\.(MOV$|mov$)"));
    using Kind = ImportFolderWalk::Kind;
    const bool isFolder = QFileInfo(path).isDir();
    const bool isVisible =
        !name.startsWith(QLatin1Char('.')) && !FileOperations::isHideAttributeFile(path);
    if (isFolder)
        return isVisible && !ImportRunSupport::isLoopingFolder(path) ? Kind::Folder : Kind::Passed;
    if (isVisible && picture.match(name).hasMatch())
        return Kind::Picture;
    if (isVisible && movieIndex.match(name).hasMatch())
        return Kind::MovieIndex;
    if (movie.match(name).hasMatch() || name.contains(QLatin1String("LMR_SD")))
        return Kind::Kept;
    return Kind::Stray;
}
} // namespace

QList<ImportFolderWalk::Entry> ImportFolderWalk::entries(const QString& folder)
{
    QList<Entry> found;
    if (isPassedOverFolder(folder))
        return found;
    const QStringList names = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QString path = folder + QLatin1Char('/') + name;
        found.append(Entry{path, kindOf(path, name)});
    }
    return found;
}

bool ImportFolderWalk::isPassedOverFolder(const QString& folder)
{
    return folder.contains(QLatin1String(".Trashes"));
}

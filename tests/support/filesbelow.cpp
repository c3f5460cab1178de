#include "filesbelow.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>

QStringList filesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator iterator(folder, QDir::Files | QDir::Hidden | QDir::System,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext())
        files.append(QDir(folder).relativeFilePath(iterator.next()));
    files.sort();
    return files;
}

QByteArray fileSha1(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1)
               : QByteArray();
}

QMap<QByteArray, int> contentsBelow(const QString& folder)
{
    QMap<QByteArray, int> counts;
    for (const QString& file : filesBelow(folder))
        ++counts[fileSha1(folder + QLatin1Char('/') + file)];
    return counts;
}

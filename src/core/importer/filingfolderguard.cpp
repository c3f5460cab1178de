#include "importer/filingfolderguard.h"

#include "importer/copyfailedexception.h"

#include <QDir>

bool FilingFolderGuard::isInside(const QString& folder, const QString& root)
{
    if (root.isEmpty() || folder.isEmpty())
        return false;
    const QString cleanRoot = QDir::cleanPath(root);
    const QString cleanFolder = QDir::cleanPath(folder);
    const QString prefix =
        cleanRoot.endsWith(QLatin1Char('/')) ? cleanRoot : cleanRoot + QLatin1Char('/');
    return cleanFolder.startsWith(prefix) && cleanFolder.size() > prefix.size();
}

void FilingFolderGuard::requireInside(const QString& folder, const QString& root)
{
    if (!isInside(folder, root))
        throw CopyFailedException(
            QStringLiteral("The folder \"%1\" would lie outside \"%2\": nothing is written there")
                .arg(folder, root));
}

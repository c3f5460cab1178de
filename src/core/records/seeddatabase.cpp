#include "records/seeddatabase.h"

#include "common/applicationresources.h"
#include "common/log.h"
#include "common/talvorencommon.h"
#include "records/importedfiledao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString SeedDatabase::seedPath()
{
    return ApplicationResources::path(QStringLiteral("Talvoren"), QStringLiteral("db"));
}

bool SeedDatabase::installIfMissing(const QString& databasePath)
{
    const QString target = databasePath.isEmpty() ? TalvorenCommon::getDBFilePath() : databasePath;
    if (QFileInfo::exists(target)) {
        ImportedFileDao(target).ensureHashCodeIndex();
        return true;
    }
    const QString seed = seedPath();
    if (seed.isEmpty()) {
        Log::error(QStringLiteral("The seed database is missing from the resources."));
        return false;
    }
    QDir().mkpath(QFileInfo(target).absolutePath());
    // QFile::copy writes a temporary file and renames it, so a half-copied database
    // never stands at the target path.
    if (!QFile::copy(seed, target)) {
        Log::error(QStringLiteral("Could not copy the seed database to %1").arg(target));
        return QFileInfo::exists(target);
    }
    // An installed seed may be read-only; the copy is the user's database.
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner |
                                      QFileDevice::ReadOwner);
    return true;
}

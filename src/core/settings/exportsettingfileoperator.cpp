#include "settings/exportsettingfileoperator.h"

#include "settings/importsettingfileoperator.h"
#include "settings/usersettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString ExportSettingFileOperator::prepareProposedFilePath()
{
    QDir().mkpath(ImportSettingFileOperator::exchangeDirectory());
    return ImportSettingFileOperator::exchangeFilePath();
}

bool ExportSettingFileOperator::exportSettingFile(const QString& destinationPath)
{
    const QString source = UserSettings::path();
    if (!QFileInfo(source).isFile())
        return false;
    // QFile::copy writes a temporary file and links it in without replacing, so a
    // file that already stands at the destination (or appears meanwhile) is kept.
    return QFile::copy(source, destinationPath);
}

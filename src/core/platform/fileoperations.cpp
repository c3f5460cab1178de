#include "platform/fileoperations.h"

#include "common/log.h"
#include "common/talvorencommon.h"
#include "platform/extendedattributes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

const QString FileOperations::finderInfoAttributeName = QStringLiteral("user.com.apple.FinderInfo");

namespace {
// 32 bytes of Finder information, all zero except the invisible flag (0x40) in byte 8.
const QString invisibleOnlyFinderInfo =
    QString(16, QLatin1Char('0')) + QLatin1Char('4') + QString(47, QLatin1Char('0'));
} // namespace

bool FileOperations::isHideAttributeFile(const QString& path)
{
    PosixError ignored;
    if (!ExtendedAttributes::hasExtendedAttribute(finderInfoAttributeName, path, true, &ignored))
        return false;
    const auto value =
        ExtendedAttributes::extendedAttribute(finderInfoAttributeName, path, true, &ignored);
    return value && TalvorenCommon::toHexString(*value) == invisibleOnlyFinderInfo;
}

bool FileOperations::moveTrash(const QString& path)
{
    // Qt 6.4 puts the home Trash in the data folder and, when that folder is
    // missing, silently writes files/ and info/ into the current folder instead.
    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QString pathInTrash;
    if (QDir().mkpath(dataFolder) && QFile::moveToTrash(path, &pathInTrash)) {
        if (QFileInfo(pathInTrash).isAbsolute())
            return true;
        QFile::rename(pathInTrash, path);
    }
    Log::error(QStringLiteral("ゴミ箱への移動に失敗しました。 ファイル:[%1]").arg(path));
    return false;
}

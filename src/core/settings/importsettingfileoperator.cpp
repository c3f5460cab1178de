#include "settings/importsettingfileoperator.h"

#include "common/log.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString importFailedLine = QStringLiteral("Exception is occured import xml data.");
}

ImportSettingFileOperator::ImportSettingFileOperator(int applicationBuildNumber)
    : applicationBuildNumber(applicationBuildNumber)
{
}

QString ImportSettingFileOperator::exchangeDirectory()
{
    return QDir(TalvorenCommon::getDocumentDirectory()).filePath(QStringLiteral("Talvoren"));
}

QString ImportSettingFileOperator::exchangeFilePath()
{
    return QDir(exchangeDirectory()).filePath(QStringLiteral("TalvorenSetting.xml"));
}

bool ImportSettingFileOperator::exchangeFileExists()
{
    return QFileInfo::exists(exchangeFilePath());
}

bool ImportSettingFileOperator::importSettingFile() const
{
    const QString source = exchangeFilePath();
    // The exchange file must be settings before it may replace the settings: a file
    // that is not one leaves the current settings and the exchange file alone.
    std::optional<SettingsDictionary> imported = SettingsDictionary::read(source);
    if (!imported) {
        Log::error(importFailedLine);
        Log::debug(QStringLiteral("not a settings file: %1").arg(source));
        return false;
    }
    imported->setValue(SettingKeys::lastBuildNumber, QString::number(applicationBuildNumber));
    // One atomic replace of the settings file; until it succeeds the old one stands.
    if (!UserSettings::write(*imported)) {
        Log::error(importFailedLine);
        Log::debug(QStringLiteral("cannot write the settings file: %1").arg(UserSettings::path()));
        return false;
    }
    Log::info(QStringLiteral("設定ファイルをインポートしました。"));
    // The exchange file has been taken over; it leaves the Documents folder.
    if (!QFile::remove(source))
        Log::error(QStringLiteral("cannot remove the imported settings file: %1").arg(source));
    return true;
}

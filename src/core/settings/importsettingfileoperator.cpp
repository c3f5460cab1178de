#include "settings/importsettingfileoperator.h"

#include "common/log.h"
#include "settings/settingkeys.h"
#include "settings/settingsvalidation.h"
#include "settings/usersettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString importFailedLine = QStringLiteral("Exception is occured import xml data.");

bool refuse(const QString& reason, QString* whyNot)
{
    Log::error(importFailedLine);
    Log::error(reason);
    if (whyNot)
        *whyNot = reason;
    return false;
}
} // namespace

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

bool ImportSettingFileOperator::importSettingFile(QString* whyNot) const
{
    const QString source = exchangeFilePath();
    // The exchange file must be settings before it may replace the settings: a file
    // that is not one leaves the current settings and the exchange file alone.
    QString reason;
    std::optional<SettingsDictionary> imported = SettingsDictionary::read(source, &reason);
    if (!imported)
        return refuse(QStringLiteral("%1 is not a settings file: %2").arg(source, reason), whyNot);
    // It may come from another machine: its folders and day-folder format are checked
    // as a save in the settings window checks them.
    const QList<SettingProblem> problems = SettingsValidation::problems(*imported);
    if (!problems.isEmpty())
        return refuse(
            QStringLiteral("%1 is not imported: %2").arg(source, problems.first().message()),
            whyNot);
    imported->setValue(SettingKeys::lastBuildNumber, QString::number(applicationBuildNumber));
    // One atomic replace of the settings file; until it succeeds the old one stands.
    if (!UserSettings::write(*imported))
        return refuse(
            QStringLiteral("cannot write the settings file: %1").arg(UserSettings::path()), whyNot);
    Log::info(QStringLiteral("設定ファイルをインポートしました。"));
    // The exchange file has been taken over; it leaves the Documents folder.
    if (!QFile::remove(source))
        Log::error(QStringLiteral("cannot remove the imported settings file: %1").arg(source));
    return true;
}

#include "settings/usersettings.h"

#include "common/applicationresources.h"
#include "common/talvorencommon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString UserSettings::path()
{
    return TalvorenCommon::getUserSettingPlistFilePath();
}

std::optional<SettingsDictionary> UserSettings::getUserSettingDictionary()
{
    return SettingsDictionary::read(path());
}

std::optional<QString> UserSettings::corruptionMessage()
{
    const QString file = path();
    const QFileInfo info(file);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    QString reason;
    if (SettingsDictionary::read(file, &reason))
        return std::nullopt;
    return QStringLiteral("The settings file %1 is corrupt (%2). It is left as it is: repair it, "
                          "or remove it to start again from the default settings.")
        .arg(file, reason);
}

bool UserSettings::write(const SettingsDictionary& dictionary)
{
    return dictionary.write(path());
}

bool UserSettings::update(const std::function<void(SettingsDictionary&)>& change)
{
    std::optional<SettingsDictionary> dictionary = getUserSettingDictionary();
    if (!dictionary)
        return false;
    change(*dictionary);
    return write(*dictionary);
}

QString UserSettings::defaultPlistPath()
{
    return ApplicationResources::path(QStringLiteral("Talvoren-setting"), QStringLiteral("plist"));
}

bool UserSettings::copyDefaultPlist()
{
    const QString folder = TalvorenCommon::getApplicationDataDirectory();
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    const QString source = defaultPlistPath();
    if (source.isEmpty())
        return false;
    // QFile::copy refuses an existing target, so settings already in place stay.
    const QString target = path();
    if (!QFile::copy(source, target))
        return false;
    // The copy takes the resource's permissions; an installed resource may be
    // read-only, the user's settings must not be.
    QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    return true;
}

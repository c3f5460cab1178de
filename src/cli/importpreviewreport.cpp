#include "importpreviewreport.h"

#include "importer/importpreview.h"
#include "settings/usersettings.h"

#include <QFileInfo>
#include <QMap>

int printImportPreview(const QString& source, QTextStream& out, QTextStream& err)
{
    const std::optional<SettingsDictionary> settings = UserSettings::getUserSettingDictionary();
    if (!settings) {
        err << "talvoren-cli import: no settings file at " << UserSettings::path() << "\n";
        return 2;
    }
    if (!QFileInfo(source).isDir()) {
        err << "talvoren-cli import: \"" << source << "\" is not a folder\n";
        return 2;
    }
    const ImportPreview::Result preview =
        ImportPreview::previewSource(QFileInfo(source).absoluteFilePath(), *settings);
    QMap<QString, qint64> notFiled;
    for (const ImportPreview::Item& item : preview.items) {
        const QString outcome = ImportPreview::outcomeName(item.outcome);
        out << outcome << "\t" << item.sourcePath;
        if (!item.filedPath.isEmpty())
            out << "\t" << item.filedPath;
        else if (!item.relativeFolder.isEmpty())
            out << "\t" << item.relativeFolder;
        out << "\n";
        if (item.outcome != ImportDecision::Outcome::File)
            ++notFiled[outcome];
    }
    out << "\nPictures: " << preview.pictureCount() << ", new: " << preview.newCount() << "\n";
    for (const PatientFolderTally::Count& folder : preview.filing.entries())
        out << "  " << folder.count << "\t" << folder.relativeFolder << "\n";
    for (auto it = notFiled.cbegin(); it != notFiled.cend(); ++it)
        out << "  " << it.value() << "\t(" << it.key() << ")\n";
    out << "Nothing was written (dry run).\n";
    return 0;
}

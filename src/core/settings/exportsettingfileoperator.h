#pragma once

#include <QString>

// Copies the settings file byte for byte to a file the user chose, by default
// "TalvorenSetting.xml" in the folder "Talvoren" of the Documents folder. An
// existing file is never replaced.
class ExportSettingFileOperator
{
public:
    // Creates the exchange folder (failure ignored) and returns the proposed path.
    static QString prepareProposedFilePath();
    // False when the settings file is missing or a file already stands there.
    static bool exportSettingFile(const QString& destinationPath);
};

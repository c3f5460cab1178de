#pragma once

#include "common/talvorencommon.h"

#include <QString>

// Takes over the settings exchange file "TalvorenSetting.xml" from the folder
// "Talvoren" in the user's Documents folder as the settings file. The file must
// be a property list holding a dictionary whose folder and day-folder values pass
// SettingsValidation; it replaces the settings file in one atomic step, stamped
// with this build's number, and then leaves the Documents folder. When anything
// fails both files stay as they were.
class ImportSettingFileOperator
{
public:
    explicit ImportSettingFileOperator(int applicationBuildNumber = TalvorenCommon::buildNumber());

    static QString exchangeDirectory();
    static QString exchangeFilePath();
    // The start-up offers the import when this is true.
    static bool exchangeFileExists();

    // whyNot receives the reason of a failure, for the user.
    bool importSettingFile(QString* whyNot = nullptr) const;

private:
    int applicationBuildNumber;
};

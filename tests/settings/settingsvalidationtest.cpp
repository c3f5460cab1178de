#include "settings/settingsvalidation.h"

#include "settings/settingkeys.h"
#include "settingstestfiles.h"

#include <gtest/gtest.h>

namespace K = SettingKeys;
using SettingsTestFiles::dictionaryOf;

namespace {
struct ValueCase
{
    QString key;
    SettingValue value;
    QString refusal; // empty: accepted
};

QString refusalOf(const SettingsDictionary& settings)
{
    const QList<SettingProblem> problems = SettingsValidation::problems(settings);
    return problems.isEmpty() ? QString() : problems.first().message();
}
} // namespace

TEST(SettingsValidation, RefusesStoredValuesThatWouldLeaveTheirFolder)
{
    const QString longLiteral = QStringLiteral("'%1'").arg(QString(300, QLatin1Char('x')));
    const QList<ValueCase> cases = {
        {K::destinationFolderPath, QStringLiteral("/srv/歯科/filed"), {}},
        {K::destinationFolderPath, QString(), {}}, // not set yet: the start fills it
        {K::destinationFolderPath, QStringLiteral("filed"), "must be an absolute folder path"},
        {K::destinationFolderPath, 5, "not a value of type integer"},
        {K::defTmp, true, "not a value of type boolean"},
        {K::defLog, QStringLiteral("./log"), "must be an absolute folder path"},
        {K::watchFolderPath, 1.5, "not a value of type real"},
        {K::dateFormatString, QStringLiteral("yyyy-MM-dd"), {}},
        {K::dateFormatString, QStringLiteral("YYYY.MM.DD"), {}},
        {K::dateFormatString, QStringLiteral("yyyy/../../../../EVIL"), "holds '/'"},
        {K::dateFormatString, QStringLiteral("'..'"), "which is no folder name"},
        {K::dateFormatString, QStringLiteral("dd:MM"), "holds ':'"},
        {K::dateFormatString, longLiteral, "longer than 255 bytes"},
    };
    for (const ValueCase& row : cases) {
        const QString refusal = refusalOf(dictionaryOf({{row.key, row.value}}));
        if (row.refusal.isEmpty()) {
            EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
        } else {
            EXPECT_TRUE(refusal.startsWith(QStringLiteral("The setting \"%1\" ").arg(row.key)))
                << refusal.toStdString();
            EXPECT_TRUE(refusal.contains(row.refusal)) << refusal.toStdString();
        }
    }

    // An empty day-folder format names no folder: refused only while day folders are on.
    SettingsDictionary days = dictionaryOf({{K::dateFormatString, QString()}});
    EXPECT_TRUE(refusalOf(days).isEmpty());
    days.setValue(K::saveDaySubfolder, true);
    EXPECT_TRUE(refusalOf(days).contains(K::dateFormatString));
}

TEST(SettingsValidation, ARunNeedsItsFoldersSetAbsoluteAndText)
{
    const SettingsDictionary usable = dictionaryOf({{K::defTmp, "/data/temp"},
                                                    {K::destinationFolderPath, "/data/pictures"},
                                                    {K::destinationFolderPathMov, "movies"},
                                                    {K::defImp, "/data/Import"}});
    EXPECT_FALSE(SettingsValidation::checkRunFolders(usable));

    const QList<ValueCase> cases = {
        {K::defTmp, QString(), "is not set"},
        {K::destinationFolderPath, 5, "not a value of type integer"},
        {K::destinationFolderPath, QStringLiteral("5"), "must be an absolute folder path"},
        {K::destinationFolderMov, true, "\"destination folder path mov\" must be an absolute"},
    };
    for (const ValueCase& row : cases) {
        SettingsDictionary settings = usable;
        settings.setValue(row.key, row.value);
        const std::optional<SettingProblem> problem = SettingsValidation::checkRunFolders(settings);
        ASSERT_TRUE(problem) << row.key.toStdString();
        EXPECT_TRUE(problem->message().contains(row.refusal)) << problem->message().toStdString();
    }
    SettingsDictionary missing = usable;
    missing.remove(K::defTmp);
    EXPECT_EQ(SettingsValidation::checkRunFolders(missing)->key, K::defTmp);

    // The watch also needs the Import folder and, when it is on, the watch folder.
    SettingsDictionary watching = usable;
    watching.setValue(K::watchFolder, true);
    watching.setValue(K::watchFolderPath, QStringLiteral("scans"));
    EXPECT_FALSE(SettingsValidation::checkRunFolders(watching));
    EXPECT_EQ(SettingsValidation::checkRunFolders(watching, SettingsValidation::Use::Watch)->key,
              K::watchFolderPath);
}

TEST(SettingsValidation, AChangeMayKeepAnOldBadValueButNotAddOne)
{
    const SettingsDictionary before = dictionaryOf({{K::defLog, "log"}});
    SettingsDictionary after = before;
    after.setValue(K::watchFolder, true);
    EXPECT_FALSE(SettingsValidation::firstNewProblem(before, after));

    // Switching day folders on brings the stored format into use.
    after.setValue(K::dateFormatString, QString());
    EXPECT_FALSE(SettingsValidation::firstNewProblem(before, after));
    after.setValue(K::saveDaySubfolder, true);
    EXPECT_EQ(SettingsValidation::firstNewProblem(before, after)->key, K::dateFormatString);
}

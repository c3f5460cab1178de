#pragma once

#include <QString>
#include <optional>

// Starts the application when the user logs in, through an XDG autostart entry
// (~/.config/autostart/talvoren.desktop). An entry stands for this application
// when the program of its Exec line is this executable; entries of other
// programs, and of copies of the application elsewhere, are never touched.
class AutostartOnLoginService
{
public:
    // This executable and the user's autostart folder.
    AutostartOnLoginService();
    AutostartOnLoginService(const QString& executablePath, const QString& autostartFolder);

    // Writes an entry when this executable has none; an existing one is kept as it
    // is, only switched on when it was switched off. Failures are silent.
    void enableLoginItem();
    // Removes the first active entry of this application, if any.
    void disableLoginItem();
    bool isEnableLoginItem() const;

    static QString defaultAutostartFolder();
    // The text of an Exec value to start the program: quoted and escaped.
    static QString execValueFor(const QString& program);
    // The program of an Exec value as it stands in the file (first argument,
    // unquoted and unescaped); none when the value is malformed.
    static std::optional<QString> programOfExecValue(const QString& value);

private:
    enum class Activity
    {
        AnyEntry,
        ActiveEntry
    };
    std::optional<QString> findEntryFile(Activity activity) const;
    QString freeEntryFile() const;
    static void switchOn(const QString& path);

    QString executablePath;
    QString autostartFolder;
};

#pragma once

#include <QString>
#include <QTemporaryDir>

// Points HOME and the XDG folders at a fresh temporary folder so that a test
// works on its own application data, pictures and settings, and removes it all
// afterwards. Each test fixture that touches the user's folders holds one.
class TempHome
{
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    QString path() const { return directory.path(); }
    QString filePath(const QString& relative) const { return directory.filePath(relative); }

    // Called once from the test main: the whole process starts in a throw-away home.
    static void installForProcess();

private:
    QTemporaryDir directory;
    QByteArray previousHome;
};

#include "temphome.h"

#include <QDir>
#include <cstdlib>

namespace {
void pointUserFoldersAt(const QByteArray& home)
{
    qputenv("HOME", home);
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                             "XDG_DOCUMENTS_DIR", "XDG_PICTURES_DIR", "XDG_VIDEOS_DIR"})
        qunsetenv(name);
    qputenv("XDG_RUNTIME_DIR", home + "/runtime");
    QDir().mkpath(QString::fromLocal8Bit(home + "/runtime"));
    QFile::setPermissions(QString::fromLocal8Bit(home + "/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
} // namespace

TempHome::TempHome() : previousHome(qgetenv("HOME"))
{
    pointUserFoldersAt(QFile::encodeName(directory.path()));
}

TempHome::~TempHome()
{
    pointUserFoldersAt(previousHome);
}

void TempHome::installForProcess()
{
    static QTemporaryDir processHome;
    pointUserFoldersAt(QFile::encodeName(processHome.path()));
}

#include "importer/transferringmarker.h"

#include "common/talvorencommon.h"

#include <QDir>
#include <QFile>

QString TransferringMarker::path()
{
    return QDir(TalvorenCommon::getApplicationDataDirectory()).filePath(QStringLiteral("$TMP"));
}

void TransferringMarker::create()
{
    QFile marker(path());
    if (marker.open(QIODevice::WriteOnly | QIODevice::Truncate))
        marker.close();
}

void TransferringMarker::remove()
{
    QFile::remove(path());
}

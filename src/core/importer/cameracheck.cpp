#include "importer/cameracheck.h"

#include "metadata/exifentity.h"

#include <QStringList>

namespace {
const QStringList acceptedModels = {QStringLiteral("Lumora K-2"), QStringLiteral("Lumora K-3"),
                                    QStringLiteral("Lumora K-4"), QStringLiteral("Lumora K-5")};

bool isBlankOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}
} // namespace

bool CameraCheck::isAcceptedCamera(const ExifEntity& exifEntity)
{
    if (!trimBlanks(exifEntity.imageDescription)
             .contains(QLatin1String("VELKO DENTAL DIGITAL CAMERA")))
        return false;
    if (!trimBlanks(exifEntity.maker).contains(QLatin1String("VELKO INC.")))
        return false;
    return acceptedModels.contains(trimBlanks(exifEntity.model));
}

QString CameraCheck::trimBlanks(const std::optional<QString>& text)
{
    const QString value = text.value_or(QString());
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && isBlankOrTab(value.at(begin)))
        ++begin;
    while (end > begin && isBlankOrTab(value.at(end - 1)))
        --end;
    return value.mid(begin, end - begin);
}

#include "importer/destinationfilenaming.h"

#include "metadata/exifentity.h"
#include "metadata/exifoperator.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <climits>
#include <functional>
#include <initializer_list>
#include <utility>

namespace {
QString textOf(const DestinationFileNaming::Text& text)
{
    return text.value_or(QString());
}

// A text read as an integer: leading blanks, an optional sign, then the decimal
// digits up to the first other character; 0 when there are none.
int leadingInteger(const QString& text)
{
    qsizetype position = 0;
    while (position < text.size() && text.at(position).isSpace())
        ++position;
    bool negative = false;
    if (position < text.size() && (text.at(position) == u'+' || text.at(position) == u'-')) {
        negative = text.at(position) == u'-';
        ++position;
    }
    qint64 value = 0;
    for (; position < text.size() && text.at(position) >= u'0' && text.at(position) <= u'9';
         ++position)
        value = std::min<qint64>(value * 10 + (text.at(position).unicode() - u'0'), INT_MAX);
    return static_cast<int>(negative ? -value : value);
}

// The part a code gives in a table of codes and parts; empty for any other code.
QString partFor(const DestinationFileNaming::Text& code,
                std::initializer_list<std::pair<const char*, const char*>> parts)
{
    for (const auto& [known, part] : parts) {
        if (textOf(code) == QLatin1String(known))
            return QString::fromLatin1(part);
    }
    return {};
}

// "FE" and "FF" are matched in any case, every other code exactly.
QString normalisedModeCode(const DestinationFileNaming::Text& code)
{
    const QString text = textOf(code);
    const QString upper = text.toUpper();
    if (upper == QLatin1String("FE") || upper == QLatin1String("FF"))
        return upper;
    return text;
}

QString modePart(const DestinationFileNaming::Text& code, const char* const (&table)[12])
{
    static const char* const codes[12] = {"00", "01", "02", "03", "04", "05",
                                          "06", "07", "08", "09", "FE", "FF"};
    const QString normalised = normalisedModeCode(code);
    for (int i = 0; i < 12; ++i) {
        if (normalised == QLatin1String(codes[i]))
            return QString::fromLatin1(table[i]);
    }
    return {};
}

QString dateAndTime(const ExifEntity& exifEntity)
{
    const QString original = textOf(exifEntity.dateTimeOriginal);
    QString date = original.left(10);
    date.replace(QLatin1Char(':'), QLatin1Char('-'));
    QString time = original.mid(11);
    time.remove(QLatin1Char(':'));
    return QStringLiteral("%1 %2").arg(date, time);
}

QString collisionPart(int index)
{
    return index >= 2 ? QStringLiteral("(%1)").arg(index) : QString();
}

using NameBuilder = std::function<QString(const ExifEntity&, int, const QString&)>;

DestinationFileNaming::Text
validNewImageFileName(const QString& folder, const DestinationFileNaming::Text& originalExtention,
                      const ExifEntity& exifEntity, const NameBuilder& nameFor,
                      const DestinationFileNaming::StagedNames& staged)
{
    const QString extension = originalExtention && !originalExtention->isEmpty()
                                  ? QStringLiteral(".") + *originalExtention
                                  : QStringLiteral(".JPG");
    const QString base = nameFor(exifEntity, 0, extension);
    const QString stem = base.left(base.size() - extension.size());
    const QRegularExpression numbered(
        QStringLiteral("^%1\\((\\d+)\\)%2$")
            .arg(QRegularExpression::escape(stem), QRegularExpression::escape(extension)));
    QStringList candidates;
    qint64 highest = 0;
    for (const QString& name : staged.names) {
        if (name == stem + extension) {
            candidates.append(name);
            highest = std::max<qint64>(highest, 1);
        } else if (const QRegularExpressionMatch match = numbered.match(name); match.hasMatch()) {
            candidates.append(name);
            highest = std::max(highest, match.captured(1).toLongLong());
        }
    }
    for (const QString& candidate : candidates) {
        if (staged.isSameShot(candidate))
            return std::nullopt;
    }
    const int index =
        candidates.isEmpty() ? 0 : static_cast<int>(std::min<qint64>(highest + 1, INT_MAX));
    return folder + QLatin1Char('/') + nameFor(exifEntity, index, extension);
}

DestinationFileNaming::StagedNames stagedOnDisk(const QString& folder, const ExifEntity& exifEntity)
{
    return {
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        [folder, &exifEntity](const QString& name) {
            return DestinationFileNaming::checkNewImageFileExif(exifEntity,
                                                                folder + QLatin1Char('/') + name);
        }};
}
} // namespace

DestinationFileNaming::Text DestinationFileNaming::getValidNewImageFileName(
    const QString& folder, const Text& originalExtention, const ExifEntity& exifEntity)
{
    return validNewImageFileName(folder, originalExtention, exifEntity, &getNewImageFileName,
                                 stagedOnDisk(folder, exifEntity));
}

DestinationFileNaming::Text DestinationFileNaming::getValidNewImageFileName2(
    const QString& folder, const Text& originalExtention, const ExifEntity& exifEntity)
{
    return validNewImageFileName(folder, originalExtention, exifEntity, &getNewImageFileName2,
                                 stagedOnDisk(folder, exifEntity));
}

DestinationFileNaming::Text
DestinationFileNaming::chooseNewImageFileName(const QString& folder, const Text& originalExtention,
                                              const ExifEntity& exifEntity,
                                              const StagedNames& staged)
{
    return majorVersion(exifEntity) < 4
               ? validNewImageFileName(folder, originalExtention, exifEntity, &getNewImageFileName,
                                       staged)
               : validNewImageFileName(folder, originalExtention, exifEntity, &getNewImageFileName2,
                                       staged);
}

QString DestinationFileNaming::getNewImageFileName(const ExifEntity& exifEntity, int index,
                                                   const QString& extention)
{
    return dateAndTime(exifEntity) + getShootingModeString(exifEntity.shootingMode) +
           getAdditionalInformationString(exifEntity.additionalInformation) +
           getDrawFlagString(exifEntity.drawFlag) + collisionPart(index) + extention;
}

QString DestinationFileNaming::getNewImageFileName2(const ExifEntity& exifEntity, int index,
                                                    const QString& extention)
{
    const auto& maker = exifEntity.extendedMakerNoteEntity;
    const Text customMode = maker ? maker->customMode : Text();
    const Text flipDirection = maker ? maker->flipDirection : Text();
    return dateAndTime(exifEntity) + getShootingModeString2(exifEntity.shootingMode) +
           getCustomModeString(exifEntity.shootingMode, customMode) +
           getAdditionalInformationString2(flipDirection) + getDrawFlagString(exifEntity.drawFlag) +
           collisionPart(index) + extention;
}

QString DestinationFileNaming::getShootingModeString(const Text& shootingMode)
{
    static const char* const parts[12] = {"",      "_Face", "_Std",  "_Srg",  "_Mirr", "_LowG",
                                          "_Whit", "",      "_Isol", "_Tmac", "_ID",   "_Name"};
    return modePart(shootingMode, parts);
}

QString DestinationFileNaming::getShootingModeString2(const Text& shootingMode)
{
    static const char* const parts[12] = {"_Std",  "_Srg",  "_Mirr", "_Face", "_LowG", "_Whit",
                                          "_Tmac", "_Isol", "_Mov",  "",      "_ID",   "_Name"};
    return modePart(shootingMode, parts);
}

QString DestinationFileNaming::getCustomModeString(const Text& shootingMode, const Text& customMode)
{
    static const QStringList customisable = {"00", "01", "02", "03", "04", "05", "06", "07"};
    if (!customisable.contains(textOf(shootingMode)))
        return {};
    return partFor(customMode, {{"01", "-C1"}, {"02", "-C2"}, {"03", "-C3"}});
}

QString DestinationFileNaming::getAdditionalInformationString(const Text& additionalInformation)
{
    return partFor(additionalInformation,
                   {{"01", "_FLP"}, {"02", "_FLP"}, {"03", "_COL"}, {"04", "_BW"}});
}

QString DestinationFileNaming::getAdditionalInformationString2(const Text& flipDirection)
{
    return getAdditionalInformationString(flipDirection);
}

QString DestinationFileNaming::getDrawFlagString(const Text& drawFlag)
{
    return leadingInteger(textOf(drawFlag)) == 1 ? QStringLiteral("_D") : QString();
}

bool DestinationFileNaming::checkNewImageFileExif(const ExifEntity& exifEntity,
                                                  const QString& newFileName)
{
    const std::optional<ExifEntity> staged = ExifOperator().getExifData(newFileName, false);
    if (!staged)
        return false;
    return textOf(exifEntity.dateTimeOriginal) == textOf(staged->dateTimeOriginal) &&
           textOf(exifEntity.productNumber) == textOf(staged->productNumber);
}

DestinationFileNaming::Text DestinationFileNaming::replaceDirectoryName(const Text& name)
{
    if (!name)
        return std::nullopt;
    QString safe = *name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    safe.remove(QLatin1Char(':'));
    safe.replace(QLatin1Char('*'), QLatin1Char('.'));
    safe.replace(QLatin1Char('?'), QLatin1Char('.'));
    safe.replace(QLatin1Char('<'), QLatin1Char('('));
    safe.replace(QLatin1Char('>'), QLatin1Char(')'));
    safe.replace(QLatin1Char('|'), QLatin1Char('.'));
    safe.replace(QLatin1Char('"'), QLatin1Char('\''));
    return safe;
}

DestinationFileNaming::Text DestinationFileNaming::getDayFolderName(const QDate& day,
                                                                    const QString& folderDateFormat)
{
    if (!day.isValid())
        return std::nullopt;
    const Text name = replaceDirectoryName(QLocale::system().toString(day, folderDateFormat));
    if (name->isEmpty() || *name == QLatin1String(".") || *name == QLatin1String(".."))
        return std::nullopt;
    return name;
}

QString DestinationFileNaming::getDividedFolderName(const QString& patientID)
{
    if (patientID.size() > 20)
        return patientID;
    // Twenty digits can exceed 64 bits: drop the last digit and divide by 100
    // instead. Nineteen digits always fit.
    const bool cut = patientID.size() == 20;
    const quint64 divisor = cut ? 100 : 1000;
    const quint64 value = (cut ? patientID.left(19) : patientID).toULongLong() / divisor;
    return QLatin1Char('$') + QString::number(value) + QStringLiteral("000");
}

QString DestinationFileNaming::getHideFileName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return path;
    return path.left(slash) + QStringLiteral("/.") + path.mid(slash + 1);
}

int DestinationFileNaming::majorVersion(const ExifEntity& exifEntity)
{
    const auto& maker = exifEntity.extendedMakerNoteEntity;
    return maker ? leadingInteger(textOf(maker->majorVersion)) : 0;
}

bool DestinationFileNaming::hasNameableDateTime(const ExifEntity& exifEntity)
{
    const QString original = textOf(exifEntity.dateTimeOriginal);
    return original.size() >= 19 && !original.contains(QLatin1Char('/')) &&
           !original.contains(QChar(u'\0'));
}

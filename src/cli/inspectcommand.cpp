// talvoren-cli inspect: what the reader makes of pictures, as JSON, for the
// person who has to find out why a picture was not filed.
#include "clicommand.h"
#include "metadata/exifoperator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QCommandLineOption noGateOption(QStringLiteral("no-gate"),
                                      QStringLiteral("Also read encryption types other than 00."));

QJsonValue textValue(const std::optional<QString>& text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

QJsonValue hexValue(const std::optional<QByteArray>& bytes)
{
    return bytes ? QJsonValue(QString::fromLatin1(bytes->toHex())) : QJsonValue(QJsonValue::Null);
}

QJsonObject exifObject(const ExifEntity& exif)
{
    QJsonObject object;
    object.insert(QStringLiteral("fileSize"), static_cast<qint64>(exif.fileSize));
    for (const ExifEntity::Field& field : ExifEntity::textFields())
        object.insert(QLatin1String(field.name), textValue(exif.*field.member));
    object.insert(QStringLiteral("encryptKey"), hexValue(exif.encryptKey));
    object.insert(QStringLiteral("extendedMakerNoteData"), hexValue(exif.extendedMakerNoteData));
    return object;
}

QJsonValue makerValue(const std::optional<ExtendedMakerNoteEntity>& maker)
{
    if (!maker)
        return QJsonValue(QJsonValue::Null);
    QJsonObject object;
    for (const ExtendedMakerNoteEntity::Field& field : ExtendedMakerNoteEntity::fields())
        object.insert(QLatin1String(field.name), textValue((*maker).*field.member));
    return object;
}

int inspect(const QCommandLineParser& parser, QTextStream& out, QTextStream&)
{
    const bool gate = !parser.isSet(noGateOption);
    const QStringList paths = parser.positionalArguments();

    const ExifOperator reader;
    QJsonArray pictures;
    bool everyFileRead = true;
    for (const QString& path : paths) {
        const std::optional<ExifEntity> exif = reader.getExifData(path, gate);
        everyFileRead = everyFileRead && exif.has_value();
        QJsonObject picture;
        picture.insert(QStringLiteral("path"), path);
        picture.insert(QStringLiteral("record"), exif.has_value());
        picture.insert(QStringLiteral("exif"),
                       exif ? QJsonValue(exifObject(*exif)) : QJsonValue(QJsonValue::Null));
        picture.insert(QStringLiteral("maker"), exif ? makerValue(exif->extendedMakerNoteEntity)
                                                     : QJsonValue(QJsonValue::Null));
        pictures.append(picture);
    }
    out << QString::fromUtf8(QJsonDocument(pictures).toJson(QJsonDocument::Indented));
    return everyFileRead ? CliExit::done : CliExit::failed;
}

const CliCommandRegistration registration(CliCommand{
    QStringLiteral("inspect"),
    QStringLiteral("Shows what Talvoren reads from pictures (Exif and maker note) as JSON."),
    {noGateOption},
    {{QStringLiteral("FILE"), QStringLiteral("A picture (.JPG, .MIF) to read."),
      QStringLiteral("FILE...")}},
    inspect});
} // namespace

// talvoren-cli inspect: what the reader makes of pictures, as JSON, for the
// person who has to find out why a picture was not filed.
#include "clicommand.h"
#include "metadata/exifoperator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
constexpr int notEveryFileRead = 1;
constexpr int badUsage = 2;

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

int inspect(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    bool gate = true;
    QStringList paths;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1String("--")))
            paths << argument;
        else if (argument == QLatin1String("--"))
            optionsEnded = true;
        else if (argument == QLatin1String("--no-gate"))
            gate = false;
        else {
            err << "talvoren-cli inspect: unknown option " << argument << "\n";
            return badUsage;
        }
    }
    if (paths.isEmpty()) {
        err << "usage: talvoren-cli inspect [--no-gate] FILE...\n";
        return badUsage;
    }

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
    return everyFileRead ? 0 : notEveryFileRead;
}

const CliCommandRegistration registration(CliCommand{
    QStringLiteral("inspect"), QStringLiteral("inspect [--no-gate] FILE..."), inspect});
} // namespace

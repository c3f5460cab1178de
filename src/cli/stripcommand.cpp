// talvoren-cli strip: the copy without personal information that the import
// writes when "delete exif personal info" is on.
#include "clicommand.h"
#include "metadata/exifoperator.h"

namespace {
int strip(const QCommandLineParser& parser, QTextStream& out, QTextStream& err)
{
    const QStringList arguments = parser.positionalArguments();
    QString error;
    ExifOperator().deleteExifCopyFile(arguments[0], arguments[1], &error);
    if (!error.isEmpty()) {
        err << "talvoren-cli strip: " << error << "; nothing was written\n";
        return CliExit::failed;
    }
    out << arguments[1] << ": written without the patient and operator data\n";
    return CliExit::done;
}

const CliCommandRegistration registration(CliCommand{
    QStringLiteral("strip"),
    QStringLiteral("Writes a copy of a picture without the patient and operator data."),
    {},
    {{QStringLiteral("SOURCE"), QStringLiteral("The picture to read (never changed)."), {}},
     {QStringLiteral("DEST"), QStringLiteral("Where the copy is written."), {}}},
    strip});
} // namespace

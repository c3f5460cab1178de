// talvoren-cli strip: the copy without personal information that the import
// writes when "delete exif personal info" is on.
#include "clicommand.h"
#include "metadata/exifoperator.h"

namespace {
constexpr int failed = 1;
constexpr int badUsage = 2;

int strip(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 2) {
        err << "usage: talvoren-cli strip SOURCE DEST\n";
        return badUsage;
    }
    QString error;
    ExifOperator().deleteExifCopyFile(arguments[0], arguments[1], &error);
    if (!error.isEmpty()) {
        err << "talvoren-cli strip: " << error << "; nothing was written\n";
        return failed;
    }
    out << arguments[1] << ": written without the patient and operator data\n";
    return 0;
}

const CliCommandRegistration registration(CliCommand{QStringLiteral("strip"),
                                                     QStringLiteral("strip SOURCE DEST"), strip});
} // namespace

// Feeds arbitrary bytes to the picture reader and to the personal-information
// removal: every offset and count in them comes from the input.
#include "metadata/exifoperator.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const ExifOperator reader;

    // Both generations' readers regardless of the version bytes, then the
    // version dispatch with and without the encryption-type gate.
    reader.readImageFileExtended(bytes);
    reader.readImageFileExtended2(bytes);
    for (const bool gate : {true, false})
        reader.getExifData(bytes, QStringLiteral("fuzz.JPG"), gate);

    QByteArray copy = bytes.toByteArray();
    QString error;
    const bool removed = reader.deletePersonalInformation(copy, &error);
    // The copy never changes size, and a refused copy is left as it was.
    if (copy.size() != bytes.size() || (!removed && copy != bytes))
        std::abort();
    return 0;
}

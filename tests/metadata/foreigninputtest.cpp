#include "metadata/exifoperator.h"
#include "metadatatestprinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// The accepted cameras as the import engine tests them: a picture from any other
// camera must never look like one of them.
bool looksLikeAcceptedCamera(const ExifEntity& exif)
{
    const auto trimmed = [](const std::optional<QString>& text) {
        return text.value_or(QString()).trimmed();
    };
    static const QStringList models = {"Lumora K-2", "Lumora K-3", "Lumora K-4", "Lumora K-5"};
    return trimmed(exif.imageDescription).contains("VELKO DENTAL DIGITAL CAMERA") &&
           trimmed(exif.maker).contains("VELKO INC.") && models.contains(trimmed(exif.model));
}

// Real pictures of other cameras, files written to crash metadata readers (read in
// place) and the inputs the fuzzer kept.
TEST(ForeignInputTest, EveryInputIsReadSafelyAndCopiedWholeOrNotAtAll)
{
    const struct
    {
        QString folder;
        QStringList names;
        bool inRepository; // must not be empty
        bool otherCameras; // no input may look like an accepted camera's picture
    } sources[] = {{TALVOREN_EXIF_SAMPLES_DIR, {"*.jpg", "*.jpeg"}, false, true},
                   {TALVOREN_SOURCE_DIR "/fuzz/corpus/exif", {"*"}, true, false}};
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("copy.JPG"));
    const ExifOperator reader;
    for (const auto& source : sources) {
        const QStringList inputs = QDir(source.folder).entryList(source.names, QDir::Files);
        EXPECT_TRUE(!source.inRepository || !inputs.isEmpty()) << source.folder.toStdString();
        for (const QString& name : inputs) {
            const QString path = QDir(source.folder).filePath(name);
            SCOPED_TRACE(path.toStdString());
            const QByteArray bytes = readAll(path);
            reader.readImageFile(bytes);
            reader.readImageFile2(bytes);
            reader.readImageFileExtended(bytes);
            reader.readImageFileExtended2(bytes);
            for (const bool gate : {true, false}) {
                reader.getExifData(bytes, QStringLiteral("input.MIF"), gate);
                for (const auto& entity :
                     {reader.getExifData(path, gate), reader.getExifData(bytes, "in.JPG", gate)}) {
                    if (!entity)
                        continue;
                    EXPECT_EQ(entity->fileSize, quint64(bytes.size()));
                    EXPECT_FALSE(source.otherCameras && looksLikeAcceptedCamera(*entity));
                    if (entity->extendedMakerNoteData) {
                        EXPECT_TRUE(entity->extendedMakerNoteData->size() == 2048 ||
                                    entity->extendedMakerNoteData->size() == 3072);
                    }
                }
            }

            QFile::remove(copy);
            QString error;
            reader.deleteExifCopyFile(path, copy, &error);
            ASSERT_EQ(QFile::exists(copy), error.isEmpty());
            if (!error.isEmpty())
                continue;
            // At most the 3,072 bytes of a maker note differ, and the gate refuses the copy.
            const QByteArray written = readAll(copy);
            ASSERT_EQ(written.size(), bytes.size());
            const auto first = std::mismatch(written.begin(), written.end(), bytes.begin()).first;
            const auto last = std::mismatch(written.rbegin(), written.rend(), bytes.rbegin()).first;
            EXPECT_LE(last.base() - first, 3072);
            EXPECT_FALSE(reader.getExifData(copy, true));
        }
    }
}
} // namespace

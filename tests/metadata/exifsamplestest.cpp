#include "metadata/exifoperator.h"
#include "metadatatestprinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// Real pictures from many cameras, and files written to crash metadata readers.
class ExifSamplesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const QDir samples(QStringLiteral(TALVOREN_EXIF_SAMPLES_DIR));
        for (const QFileInfo& info : samples.entryInfoList(QDir::Files, QDir::Name)) {
            if (info.suffix().compare("jpg", Qt::CaseInsensitive) == 0 ||
                info.suffix().compare("jpeg", Qt::CaseInsensitive) == 0)
                paths << info.absoluteFilePath();
        }
        if (paths.isEmpty())
            GTEST_SKIP() << "no samples in " << TALVOREN_EXIF_SAMPLES_DIR;
    }

    QStringList paths;
    QTemporaryDir folder;
    ExifOperator reader;
};

TEST_F(ExifSamplesTest, EverySampleIsReadSafelyAndNoneIsACameraPicture)
{
    int records = 0;
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        for (const bool gate : {true, false}) {
            const auto entity = reader.getExifData(path, gate);
            if (!entity)
                continue;
            ++records;
            EXPECT_EQ(entity->fileSize, quint64(QFileInfo(path).size()));
            EXPECT_FALSE(looksLikeAcceptedCamera(*entity));
            // Whatever a foreign maker note holds, the second generation is only
            // read with a picture extension and the first yields fixed sizes.
            if (entity->extendedMakerNoteData) {
                EXPECT_TRUE(entity->extendedMakerNoteData->size() == 2048 ||
                            entity->extendedMakerNoteData->size() == 3072);
            }
        }
    }
    std::cout << paths.size() << " samples, " << records << " reads gave a record\n";
}

TEST_F(ExifSamplesTest, CopiesWithoutPersonalInformationChangeOnlyTheMakerNote)
{
    const QString destination = folder.filePath("copy.jpg");
    int copies = 0;
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        QFile::remove(destination);
        QString error;
        reader.deleteExifCopyFile(path, destination, &error);
        QFile source(path);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        const QByteArray original = source.readAll();
        if (!error.isEmpty()) {
            EXPECT_FALSE(QFile::exists(destination));
            continue;
        }
        ++copies;
        QFile copy(destination);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        const QByteArray written = copy.readAll();
        ASSERT_EQ(written.size(), original.size());
        // At most the 3,072 bytes of a maker note differ.
        qint64 first = -1;
        qint64 last = -1;
        for (qint64 i = 0; i < written.size(); ++i) {
            if (written[i] != original[i]) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        EXPECT_LT(last - first, 3072);
        EXPECT_FALSE(reader.getExifData(destination, true));
    }
    std::cout << copies << " of " << paths.size() << " samples had areas to overwrite\n";
}
} // namespace

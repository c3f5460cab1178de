#include "metadata/exifoperator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Inputs that the fuzzer kept: each runs through every reader, both gates, a
// picture and a movie-index name, and the copy without personal information.
TEST(FuzzCorpusTest, EveryKeptInputIsHandledWithoutHarm)
{
    const QDir corpus(QStringLiteral(TALVOREN_SOURCE_DIR "/fuzz/corpus/exif"));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(names.isEmpty()) << "no corpus in " << corpus.path().toStdString();
    QTemporaryDir folder;
    const ExifOperator reader;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QString picture = folder.filePath(QStringLiteral("input.JPG"));
        QFile::remove(picture);
        ASSERT_TRUE(QFile::copy(corpus.filePath(name), picture));

        reader.readImageFile(bytes);
        reader.readImageFile2(bytes);
        reader.readImageFileExtended(bytes);
        reader.readImageFileExtended2(bytes);
        for (const bool gate : {true, false}) {
            const auto entity = reader.getExifData(picture, gate);
            if (entity) {
                EXPECT_EQ(entity->fileSize, quint64(bytes.size()));
            }
            reader.getExifData(bytes, QStringLiteral("input.MIF"), gate);
        }

        const QString copy = folder.filePath(QStringLiteral("copy.JPG"));
        QFile::remove(copy);
        QString error;
        reader.deleteExifCopyFile(picture, copy, &error);
        EXPECT_EQ(QFile::exists(copy), error.isEmpty());
        if (error.isEmpty()) {
            EXPECT_EQ(QFileInfo(copy).size(), bytes.size());
        }
    }
}
} // namespace

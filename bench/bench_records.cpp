// The imported-file table at two sizes: the duplicate test and the insert the import
// makes once per picture, timed at 1,000 rows (the baseline) and at 1,000,000 rows.
// With the hash_code index both should cost about the same; the table size should
// not show. The last line shows the duplicate test on the large table without the
// index, for comparison.
//
//   bench_records [rows-of-large-table]   (build with -DCMAKE_BUILD_TYPE=RelWithDebInfo)
#include "records/importedfiledao.h"
#include "records/seeddatabase.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {
constexpr int samples = 101;

QString hashOf(qint64 row)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArray::number(row), QCryptographicHash::Sha1).toHex());
}

ImportedFileEntity pictureRow(qint64 row)
{
    ImportedFileEntity file;
    const QString name =
        QStringLiteral("2024%1_%2.jpg").arg(row % 1000000, 10, 10, QLatin1Char('0')).arg(row % 7);
    file.setFileName(name);
    file.setCameraId(QStringLiteral("LM%1").arg(7000000 + row % 12));
    file.setDatetime(20240105103000 + row % 60);
    file.setOriginalFileName(
        QStringLiteral("/media/dr/LUMORA_SD/DCIM/100LUMRA/IMG_%1.JPG").arg(row));
    file.setTransferredFolder(
        QStringLiteral("/home/dr/Pictures/Talvoren/%1").arg(row % 5000, 8, 10, QLatin1Char('0')));
    file.setMirrorImageType(QStringLiteral("00"));
    file.setDrawingFlg(QStringLiteral("00"));
    file.setMode(QStringLiteral("0%1").arg(row % 4));
    file.setCapturedDttm(file.datetime());
    file.setHashCode(hashOf(row));
    return file;
}

// Fills a copy of the seed with rows 0..count-1 in one transaction.
bool fill(const QString& path, qint64 count)
{
    sqlite3* handle = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &handle) != SQLITE_OK)
        return false;
    sqlite3_exec(handle, "begin;", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(handle,
                       "insert into imported_file (file_name, camera_id, datetime, "
                       "original_file_name, transferred_folder, mirror_image_type, drawing_flg, "
                       "mode, captured_dttm, hash_code) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);",
                       -1, &insert, nullptr);
    bool done = true;
    for (qint64 row = 0; row < count && done; ++row) {
        const ImportedFileEntity file = pictureRow(row);
        const QByteArray texts[] = {file.fileName().toUtf8(),
                                    file.cameraId().toUtf8(),
                                    file.originalFileName().toUtf8(),
                                    file.transferredFolder().toUtf8(),
                                    file.mirrorImageType().toUtf8(),
                                    file.drawingFlg().toUtf8(),
                                    file.mode().toUtf8(),
                                    file.hashCode().toUtf8()};
        sqlite3_bind_text(insert, 1, texts[0].constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, texts[1].constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 3, file.datetime());
        for (int text = 2; text < 8; ++text)
            sqlite3_bind_text(insert, text + 2, texts[text].constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 9, file.capturedDttm());
        sqlite3_bind_text(insert, 10, texts[7].constData(), -1, SQLITE_TRANSIENT);
        done = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    done = done && sqlite3_exec(handle, "commit;", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(handle);
    return done;
}

template <typename Operation> double medianMicroseconds(int count, Operation operation)
{
    std::vector<qint64> nanoseconds;
    for (int sample = 0; sample < count; ++sample) {
        QElapsedTimer timer;
        timer.start();
        operation(sample);
        nanoseconds.push_back(timer.nsecsElapsed());
    }
    std::nth_element(nanoseconds.begin(), nanoseconds.begin() + count / 2, nanoseconds.end());
    return static_cast<double>(nanoseconds[count / 2]) / 1000.0;
}

struct Timing
{
    double duplicateTest = 0;
    double insert = 0;
};

// One duplicate test alternates between a stored picture (found) and a new one (not
// found); each insert adds a new picture. Every call opens and closes its connection
// as the import does.
Timing measure(const QString& path, qint64 rows, int count)
{
    const ImportedFileDao dao(path);
    Timing timing;
    int found = 0;
    timing.duplicateTest = medianMicroseconds(count, [&](int sample) {
        const qint64 row = sample % 2 == 0 ? (sample * 7919LL) % rows : rows + 10000000 + sample;
        const ImportedFileEntity file = pictureRow(row);
        found += static_cast<int>(dao.findByLikeFileName(file.fileName(), file.cameraId(),
                                                         file.mirrorImageType(), file.drawingFlg(),
                                                         file.mode(), file.hashCode())
                                      .size());
    });
    if (found != (count + 1) / 2)
        std::fprintf(stderr, "unexpected duplicate count %d at %lld rows\n", found, rows);
    timing.insert =
        medianMicroseconds(count, [&](int sample) { dao.insert(pictureRow(rows + sample)); });
    return timing;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const qint64 largeRows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    const qint64 smallRows = 1000;
    const QString seed = SeedDatabase::seedPath();
    QTemporaryDir folder;
    if (seed.isEmpty() || !folder.isValid()) {
        std::fprintf(stderr, "the seed database or a temporary folder is missing\n");
        return 1;
    }
    const QString smallPath = folder.filePath(QStringLiteral("small.db"));
    const QString largePath = folder.filePath(QStringLiteral("large.db"));
    if (!QFile::copy(seed, smallPath) || !QFile::copy(seed, largePath) ||
        !fill(smallPath, smallRows) || !fill(largePath, largeRows)) {
        std::fprintf(stderr, "could not build the test databases\n");
        return 1;
    }

    const Timing small = measure(smallPath, smallRows, samples);
    const Timing large = measure(largePath, largeRows, samples);

    std::printf("median of %d calls, microseconds\n", samples);
    std::printf("%-28s %16s %16s\n", "rows", "duplicate test", "insert");
    std::printf("%-28lld %16.1f %16.1f\n", smallRows, small.duplicateTest, small.insert);
    std::printf("%-28lld %16.1f %16.1f\n", largeRows, large.duplicateTest, large.insert);
    std::printf("%-28s %16.2f %16.2f\n", "ratio (large / small)",
                large.duplicateTest / small.duplicateTest, large.insert / small.insert);

    // The same query on the large table when the index is missing.
    const ImportedFileDao dao(largePath);
    dao.executeUpdate(QStringLiteral("drop index imported_file_hash_code_index;"));
    const Timing unindexed = measure(largePath, largeRows, 11);
    std::printf("%-28s %16.1f %16s   (ratio %.1f)\n", "large, without the index",
                unindexed.duplicateTest, "", unindexed.duplicateTest / small.duplicateTest);
    return 0;
}

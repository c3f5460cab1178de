// Reads 1,000 camera pictures of 2 MB with getExifData and compares the time
// with `cat` reading the same files into /dev/null in the same run (both from a
// warm page cache). Also reports how far the peak resident memory grew while
// reading, against the size of one picture.
#include "camerapicturebuilder.h"
#include "metadata/exifoperator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {
constexpr int pictureCount = 1000;
constexpr qint64 pictureSize = 2 * 1024 * 1024;
constexpr int rounds = 3;

long peakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double catSeconds(const QStringList& paths)
{
    QProcess cat;
    cat.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    cat.start(QStringLiteral("cat"), paths);
    cat.waitForFinished(-1);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (cat.exitStatus() != QProcess::NormalExit || cat.exitCode() != 0) {
        std::fprintf(stderr, "cat failed\n");
        std::exit(1);
    }
    return seconds;
}

double readSeconds(const QStringList& paths, int* records)
{
    const ExifOperator reader;
    QElapsedTimer timer;
    timer.start();
    *records = 0;
    for (const QString& path : paths) {
        if (reader.getExifData(path, true))
            ++*records;
    }
    return timer.nsecsElapsed() / 1e9;
}
} // namespace

// The pictures are written by a child process, so that this process's peak
// resident memory shows the reading alone.
void writePictures(const QString& folder)
{
    for (int i = 0; i < pictureCount; ++i) {
        CameraPictureBuilder builder;
        builder.patient(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')),
                        QStringLiteral("Patient %1").arg(i));
        builder.fileSize(pictureSize);
        builder.write(folder, QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0')));
    }
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--write")) {
        writePictures(arguments[2]);
        return 0;
    }

    QTemporaryDir folder;
    std::printf("writing %d pictures of %lld bytes ...\n", pictureCount, pictureSize);
    if (QProcess::execute(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--write"), folder.path()}) != 0) {
        std::fprintf(stderr, "writing the pictures failed\n");
        return 1;
    }
    QStringList paths;
    for (int i = 0; i < pictureCount; ++i)
        paths << folder.filePath(QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0')));
    catSeconds(paths); // warm the page cache

    // Memory first, over one pass of reads alone. The first read loads OpenSSL's
    // providers and compiles the name patterns: one-time costs, kept out.
    int records = 0;
    ExifOperator().getExifData(paths.first(), true);
    const long residentBefore = peakResidentKilobytes();
    readSeconds(paths, &records);
    const long residentGrowth = peakResidentKilobytes() - residentBefore;

    double bestCat = 1e9;
    double bestRead = 1e9;
    for (int round = 0; round < rounds; ++round) {
        bestCat = std::min(bestCat, catSeconds(paths));
        bestRead = std::min(bestRead, readSeconds(paths, &records));
    }

    const double megabytes = double(pictureCount) * pictureSize / (1024.0 * 1024.0);
    std::printf("pictures read with a record: %d of %d\n", records, pictureCount);
    std::printf("getExifData: %8.3f s  %8.0f pictures/s  %8.0f MB/s\n", bestRead,
                pictureCount / bestRead, megabytes / bestRead);
    std::printf("cat        : %8.3f s  %8.0f pictures/s  %8.0f MB/s\n", bestCat,
                pictureCount / bestCat, megabytes / bestCat);
    std::printf("ratio getExifData / cat: %.2f (best of %d rounds each)\n", bestRead / bestCat,
                rounds);
    std::printf(
        "peak resident memory grew by %ld KB over one pass of reads (one picture: %lld KB)\n",
        residentGrowth, pictureSize / 1024);
    return records == pictureCount ? 0 : 1;
}

// The import run against the work it cannot avoid. A tree of 500 camera pictures of
// 2 MB each, for 20 patients in nested folders, is imported in copy mode and in move
// mode (pause 0, record check on, the log written to a file as the application does).
// The baselines are measured on the same tree in the same run: `cp -r` of the tree plus
// `openssl sha1` of every file, since every picture must be copied and hashed once;
// for move mode `cp -r; sync; rm -r` plus the hashes, since a source may only go once
// its copy is on disk.
// Each timed step starts after a sync. The last line is the peak memory of importing a card with a
// 1 GB movie.
//
//   bench_import [pictures]   (build with -DCMAKE_BUILD_TYPE=RelWithDebInfo)
#include "camerapicturebuilder.h"
#include "common/talvorencommon.h"
#include "importer/basewatchfolderoperator.h"
#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "temphome.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qint64 pictureSize = 2 * 1024 * 1024;
constexpr int patients = 20;
constexpr qint64 movieSize = 1024LL * 1024 * 1024;

void age(const QString& path)
{
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 60;
    times[1] = times[0];
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

// Patients in folders of their own, each visit a sub-folder, as a practice's share
// or a card reader's dump looks.
void buildTree(const QString& root, int count)
{
    const QDateTime first(QDate(2024, 5, 1), QTime(9, 0));
    for (int i = 0; i < count; ++i) {
        const int patient = i % patients;
        CameraPictureBuilder picture;
        picture.patient(QString::number(1000 + patient), QStringLiteral("Patient %1").arg(patient))
            .captureDateTime(first.addSecs(i))
            .fileSize(pictureSize);
        const QString folder = QStringLiteral("%1/patient%2/visit%3")
                                   .arg(root)
                                   .arg(patient, 2, 10, QLatin1Char('0'))
                                   .arg(i % 3);
        age(picture.write(folder, QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0'))));
    }
}

double seconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// Writes back what earlier steps left dirty, so that each timed step starts from
// the same state and none pays for another's disk writes.
void settle()
{
    QProcess::execute(QStringLiteral("sync"), {});
}

double shell(const QString& command)
{
    QElapsedTimer timer;
    timer.start();
    QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), command});
    return seconds(timer);
}

// cp -r of the tree and openssl sha1 of every file in it; a move also writes the
// copy back to disk and removes the tree (cp -r; sync; rm -r).
double baseline(const QString& tree, const QString& copy, bool move)
{
    QDir(copy).removeRecursively();
    settle();
    const QString hash =
        QStringLiteral("find '%1' -type f -print0 | xargs -0 openssl sha1 > /dev/null");
    const QString copying = QStringLiteral("cp -r '%1' '%2'");
    return shell(
        (move ? hash + QStringLiteral(" && ") + copying + QStringLiteral(" && sync && rm -r '%1'")
              : copying + QStringLiteral(" && ") + hash)
            .arg(tree, copy));
}

void freshDestination(const QString& destination)
{
    QDir(destination).removeRecursively();
    QDir().mkpath(destination);
    QFile::remove(QDir(TalvorenCommon::getApplicationDataDirectory())
                      .filePath(QStringLiteral("Talvoren.db")));
    SeedDatabase::installIfMissing();
}

double importTree(const QString& tree, bool move)
{
    BaseWatchFolderOperator importer;
    importer.setRunPause(std::chrono::milliseconds(0));
    settle();
    QElapsedTimer timer;
    timer.start();
    const std::optional<QString> failure =
        importer.copyProcess(BaseWatchFolderOperator::deepEnumeration(tree), move, false);
    const double elapsed = seconds(timer);
    if (failure || importer.operationCounter() == 0)
        std::fprintf(stdout, "import failed: %s\n",
                     qPrintable(failure.value_or(QStringLiteral("nothing filed"))));
    return elapsed;
}

qint64 peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// A movie written in chunks, so that making it costs no memory either.
void writeMovie(const QString& path)
{
    QFile movie(path);
    if (!movie.open(QIODevice::WriteOnly))
        return;
    QByteArray chunk(1 << 20, '\0');
    for (qint64 written = 0; written < movieSize; written += chunk.size()) {
        chunk[0] = static_cast<char>(written >> 20);
        movie.write(chunk);
    }
    movie.close();
    age(path);
}
} // namespace

int main(int argc, char** argv)
{
    TempHome::installForProcess();
    QCoreApplication application(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 500;
    TempHome home;
    const QString tree = home.filePath(QStringLiteral("tree"));
    const QString destination = home.filePath(QStringLiteral("Pictures/Talvoren"));

    SettingsDictionary settings = *SettingsDictionary::read(UserSettings::defaultPlistPath());
    settings.setValue(SettingKeys::defTmp,
                      home.filePath(QStringLiteral(".local/share/Talvoren/temp")));
    settings.setValue(SettingKeys::destinationFolderPath, destination);
    settings.setValue(SettingKeys::destinationFolderPathMov, destination);
    settings.setValue(SettingKeys::activateAvoidMultipleImportCheck, true);
    UserSettings::write(settings);

    std::printf("building %d pictures of %lld bytes for %d patients...\n", count, pictureSize,
                patients);
    std::fflush(stdout);
    buildTree(tree, count);
    // The run logs every picture; like the application, into a file.
    std::freopen(QFile::encodeName(home.filePath(QStringLiteral("import.log"))).constData(), "a",
                 stderr);

    // Best of three each, taken in turns so that both see the same machine state.
    double best = 1e9;
    double bestMoveBaseline = 1e9;
    double bestCopy = 1e9;
    double bestMove = 1e9;
    const QString moving = home.filePath(QStringLiteral("moving"));
    const auto freshMovingTree = [&] {
        QDir(moving).removeRecursively();
        shell(QStringLiteral("cp -a '%1' '%2'").arg(tree, moving));
    };
    for (int round = 0; round < 3; ++round) {
        best = std::min(best, baseline(tree, home.filePath(QStringLiteral("baseline")), false));
        freshDestination(destination);
        bestCopy = std::min(bestCopy, importTree(tree, false));

        freshMovingTree();
        bestMoveBaseline = std::min(
            bestMoveBaseline, baseline(moving, home.filePath(QStringLiteral("baseline")), true));
        freshMovingTree();
        freshDestination(destination);
        bestMove = std::min(bestMove, importTree(moving, true));
    }
    std::printf("baseline (cp -r + openssl sha1):             %.3f s, %.0f files/s\n", best,
                count / best);
    std::printf("import, copy mode:                           %.3f s, %.0f files/s, ratio %.2f\n",
                bestCopy, count / bestCopy, bestCopy / best);
    std::printf("baseline (cp -r; sync; rm -r + openssl sha1): %.3f s, %.0f files/s\n",
                bestMoveBaseline, count / bestMoveBaseline);
    std::printf("import, move mode:                           %.3f s, %.0f files/s, ratio %.2f\n",
                bestMove, count / bestMove, bestMove / bestMoveBaseline);
    std::fflush(stdout);

    // A card with one movie of 1 GB: hashed and copied as streams.
    const QString card = home.filePath(QStringLiteral("card/DCIM"));
    CameraPictureBuilder picture;
    picture.patient(QStringLiteral("1"), QStringLiteral("Movie"))
        .writeMovieIndexPair(card, QStringLiteral("M0001"));
    age(card + QStringLiteral("/M0001.MIF"));
    writeMovie(card + QStringLiteral("/M0001.MOV"));
    freshDestination(destination);
    QFile clearPeak(QStringLiteral("/proc/self/clear_refs"));
    if (clearPeak.open(QIODevice::WriteOnly))
        clearPeak.write("5");
    clearPeak.close();
    const qint64 before = peakKilobytes();
    const double movieSeconds = importTree(home.filePath(QStringLiteral("card")), false);
    std::printf("1 GB movie: %.3f s, peak memory %.1f MB (%.1f MB before the import)\n",
                movieSeconds, peakKilobytes() / 1024.0, before / 1024.0);
    return 0;
}

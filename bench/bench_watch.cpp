// A camera card of 1,000 pictures, from its folder appearing under a volume root to
// its last picture filed (the card watch with every wait set to zero), next to a
// plain import run of the same card folder in the same process. Each is measured
// on fresh destination, staging and database, in memory where /dev/shm allows,
// several rounds; best and median are compared. The watch should add under 5 %.
//
//   bench_watch [pictures] [rounds]   (build with -DCMAKE_BUILD_TYPE=RelWithDebInfo)
#include "camerapicturebuilder.h"
#include "importer/basewatchfolderoperator.h"
#include "platform/volumeroots.h"
#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "temphome.h"
#include "watch/watchsdcardoperator.h"
#include "watch/watchwindowpresenter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// Notes the end of the card import: the copy result comes after the last filing.
class ResultPresenter : public WatchWindowPresenter
{
public:
    bool checkWindow(WatchWindow) const override { return false; }
    void showCopyFailedAlert(const QString& reason) override
    {
        std::fprintf(stdout, "import failed: %s\n", qPrintable(reason));
        finished = true;
    }
    void showCardCopyConfirmation(std::shared_ptr<WatchSDCardOperator>, const QStringList&) override
    {
    }
    void bringCardCopyConfirmationToFront() override {}
    void hideProgressWindow() override {}
    void showProgressWindow(const QStringList&) override {}
    void showCopyResult(qint64 fileCount) override
    {
        filed = fileCount;
        finished = true;
    }

    bool finished = false;
    qint64 filed = 0;
};

struct Folders
{
    QString home;
    QString root;
    QString destination;
    QString temporary;
    QString prepared;
};

void age(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        file.setFileTime(QDateTime::currentDateTime().addSecs(-600),
                         QFileDevice::FileModificationTime);
}

// The card as the camera leaves it: the marker at its top, pictures in DCIM/100LUMOR.
void writeCard(const QString& card, int pictures)
{
    const QString folder = card + QStringLiteral("/DCIM/100LUMOR");
    const QDateTime first(QDate(2024, 5, 1), QTime(9, 0));
    for (int i = 0; i < pictures; ++i) {
        CameraPictureBuilder picture;
        picture.patient(QString::number(1000 + i % 40), QStringLiteral("Bench Patient"))
            .captureDateTime(first.addSecs(i * 7));
        age(picture.write(folder, QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0'))));
    }
    QFile marker(card + QStringLiteral("/LMR_SD"));
    if (marker.open(QIODevice::WriteOnly))
        marker.close();
}

void copyTree(const QString& from, const QString& to)
{
    QDirIterator iterator(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        const QString source = iterator.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(source, target);
        age(target);
    }
}

// Empty destination, staging and records, so that every round files every picture.
void startFresh(const Folders& folders)
{
    for (const QString& folder : {folders.destination, folders.temporary, folders.root})
        QDir(folder).removeRecursively();
    for (const QString& folder : {folders.destination, folders.temporary, folders.root})
        QDir().mkpath(folder);
    QFile::remove(QDir(folders.home).filePath(QStringLiteral(".local/share/Talvoren/Talvoren.db")));
    SeedDatabase::installIfMissing();
}

qint64 plainRun(const Folders& folders, const QString& card)
{
    startFresh(folders);
    copyTree(folders.prepared, card);
    const SettingsDictionary settings = *UserSettings::getUserSettingDictionary();
    BaseWatchFolderOperator importer;
    importer.setRunPause(std::chrono::milliseconds(0));
    QElapsedTimer clock;
    clock.start();
    importer.prepareDateFormatters(settings);
    importer.copyImage(card, settings, false, false, false,
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz")));
    return clock.nsecsElapsed();
}

qint64 watchRun(const Folders& folders, const QString& card, int pictures)
{
    startFresh(folders);
    const QString waiting = folders.home + QStringLiteral("/waiting-card");
    QDir(waiting).removeRecursively();
    copyTree(folders.prepared, waiting);
    auto presenter = std::make_shared<ResultPresenter>();
    WatchWindowPresenter::setShared(presenter);
    WatchSDCardOperator().registWatchingSDCardFolder();
    // The watch drops its first batch, the one that stands for the time before it.
    while (BaseWatchFolderOperator::isFirst())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);

    QElapsedTimer clock;
    clock.start();
    QDir().rename(waiting, card);
    while (!presenter->finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const qint64 elapsed = clock.nsecsElapsed();
    WatchSDCardOperator().stopWatchingSDCardFolder();
    if (presenter->filed != pictures)
        std::fprintf(stdout, "the watch filed %lld of %d pictures\n",
                     static_cast<long long>(presenter->filed), pictures);
    return elapsed;
}
} // namespace

int main(int argc, char** argv)
{
    // In memory where possible: the disk's flushes would drown the difference measured.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    TempHome::installForProcess();
    QCoreApplication application(argc, argv);
    const int pictures = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 10;

    Folders folders;
    folders.home = QDir::homePath();
    folders.root = folders.home + QStringLiteral("/media");
    folders.destination = folders.home + QStringLiteral("/Pictures/Talvoren");
    folders.temporary = folders.home + QStringLiteral("/.local/share/Talvoren/temp");
    folders.prepared = folders.home + QStringLiteral("/prepared-card");

    SettingsDictionary settings = *SettingsDictionary::read(UserSettings::defaultPlistPath());
    settings.setValue(SettingKeys::defTmp, folders.temporary);
    settings.setValue(SettingKeys::destinationFolderPath, folders.destination);
    settings.setValue(SettingKeys::confirmBeforeSending, 1002);
    settings.setValue(SettingKeys::ejectRemovableDevice, false);
    UserSettings::write(settings);
    VolumeRoots::setReplacement({folders.root});
    CardWatchTimings noWaits;
    noWaits.latency = noWaits.batchPause = noWaits.windowPause = noWaits.runPause =
        std::chrono::milliseconds(0);
    WatchSDCardOperator::setTimings(noWaits);
    writeCard(folders.prepared, pictures);
    // The import logs eleven lines per picture; both sides write them, to nowhere.
    std::freopen("/dev/null", "w", stderr);

    std::vector<double> plainMs;
    std::vector<double> watchMs;
    for (int round = 0; round < rounds; ++round) {
        // A card name of its own per round: the watch remembers the cards it imported.
        const QString card = folders.root + QStringLiteral("/LUMORA_SD_%1").arg(round);
        // Alternating which goes first keeps the disk's state from favouring one side.
        if (round % 2 == 0) {
            plainMs.push_back(plainRun(folders, card) / 1e6);
            watchMs.push_back(watchRun(folders, card, pictures) / 1e6);
        } else {
            watchMs.push_back(watchRun(folders, card, pictures) / 1e6);
            plainMs.push_back(plainRun(folders, card) / 1e6);
        }
        std::printf("round %2d: plain %8.1f ms, watch %8.1f ms\n", round, plainMs.back(),
                    watchMs.back());
    }
    const auto best = [](std::vector<double> values) {
        return *std::min_element(values.begin(), values.end());
    };
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        const size_t middle = values.size() / 2;
        return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    };
    std::printf("pictures: %d, rounds: %d\n", pictures, rounds);
    std::printf("plain import run of the card folder:       best %8.1f ms, median %8.1f ms\n",
                best(plainMs), median(plainMs));
    std::printf("card appears under the root -> last filed: best %8.1f ms, median %8.1f ms\n",
                best(watchMs), median(watchMs));
    std::printf("the watch adds %+.1f %% (best), %+.1f %% (median)\n",
                (best(watchMs) / best(plainMs) - 1.0) * 100.0,
                (median(watchMs) / median(plainMs) - 1.0) * 100.0);
    return 0;
}

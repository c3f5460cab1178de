// A camera card of 1,000 pictures, from its folder appearing under a volume root to
// its last picture filed (the card watch with every wait set to zero), next to a
// plain import run of the same card folder in the same process. Each is measured
// on fresh destination, staging and database, several times; the best of each is
// compared. The watch should add well under 5 %.
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
    TempHome::installForProcess();
    QCoreApplication application(argc, argv);
    const int pictures = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;

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

    qint64 bestPlain = std::numeric_limits<qint64>::max();
    qint64 bestWatch = std::numeric_limits<qint64>::max();
    for (int round = 0; round < rounds; ++round) {
        // A card name of its own per round: the watch remembers the cards it imported.
        const QString card = folders.root + QStringLiteral("/LUMORA_SD_%1").arg(round);
        // Alternating which goes first keeps the disk's state from favouring one side.
        if (round % 2 == 0) {
            bestPlain = std::min(bestPlain, plainRun(folders, card));
            bestWatch = std::min(bestWatch, watchRun(folders, card, pictures));
        } else {
            bestWatch = std::min(bestWatch, watchRun(folders, card, pictures));
            bestPlain = std::min(bestPlain, plainRun(folders, card));
        }
    }
    const double plainMs = bestPlain / 1e6;
    const double watchMs = bestWatch / 1e6;
    std::printf("pictures: %d, rounds: %d (best of each)\n", pictures, rounds);
    std::printf("plain import run of the card folder:          %9.1f ms\n", plainMs);
    std::printf("card appears under the root -> last filed:    %9.1f ms\n", watchMs);
    std::printf("ratio watch / plain: %.3f (the watch adds %+.1f %%)\n", watchMs / plainMs,
                (watchMs / plainMs - 1.0) * 100.0);
    return 0;
}

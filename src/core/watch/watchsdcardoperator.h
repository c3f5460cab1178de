#pragma once

#include "importer/basewatchfolderoperator.h"
#include "platform/volumechangesource.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>

// The waits of the card watch. The product keeps the defaults; tests and
// benchmarks set them to zero.
struct CardWatchTimings
{
    // Gathers the burst of changes of one mount into one batch.
    std::chrono::milliseconds latency{5000};
    // Lets the mount settle before the volumes are listed.
    std::chrono::milliseconds batchPause{2500};
    // Before the progress window is closed and before the card is ejected.
    std::chrono::milliseconds windowPause{1500};
    // At the start of every import run of a card operator.
    std::chrono::milliseconds runPause{BaseWatchFolderOperator::defaultRunPause};
};

// Watches the volume roots for camera cards (a file "LMR_SD" at a volume's top)
// and imports a card that is new or whose marker changed, after asking when
// "confirm before sending" is 1001. After the import the marker is re-dated, the
// progress window closed, the card ejected when "eject removable device" is on,
// and the copy result shown when "display desktop notice" is on.
class WatchSDCardOperator : public BaseWatchFolderOperator
{
public:
    using SourceFactory =
        std::function<std::unique_ptr<VolumeChangeSource>(std::chrono::milliseconds latency)>;

    WatchSDCardOperator();

    // Starts the one card watch of the process (replacing a running one). Its first
    // batch, the replay of what happened before, is dropped.
    void registWatchingSDCardFolder();
    void stopWatchingSDCardFolder();
    static bool isWatching();

    // The card import: one import run per card folder, in order, each followed by the
    // re-dating of the card's marker. A failed run ends the import and raises the alert.
    using BaseWatchFolderOperator::copyImage;
    void copyImage(const QStringList& folders, WatchSDCardOperator& selfInstance);

    // One batch of volume changes: finds the cards, decides, imports or asks, and
    // stores the batch's identifier under "EVENT_ID_SD_CARD".
    static void handleBatch(const VolumeChangeBatch& batch);

    static CardWatchTimings timings();
    static void setTimings(const CardWatchTimings& timings);
    // Where batches come from: the mount table and the volume roots unless replaced.
    static void setSourceFactory(SourceFactory factory);

private:
    // Runs each card in turn, adding each run's picture count to total as it goes, so
    // that a failed run leaves the count of the cards before it.
    void importCards(const QStringList& folders, const SettingsDictionary& settings, qint64& total);
};

#pragma once

#include "importer/copyfailedexception.h"
#include "importer/destinationfilenaming.h"
#include "importer/importfolderwalk.h"
#include "importer/importrecords.h"
#include "importer/importreport.h"
#include "importer/patientfoldertally.h"
#include "importer/runproblems.h"
#include "platform/importlock.h"
#include "settings/settingsdictionary.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

struct ImportRunSettings;
class PictureImport;

// The import engine. One import run (copyImage) takes a source folder and files
// every camera picture in it and below it: it reads each picture's Exif data and
// maker note, builds the patient folder and the new name, checks the imported-file
// table, stages the copy under the temporary folder ("def tmp"/picture and
// "def tmp"/movie), removes or trashes the source as the settings ask, records the
// import, writes the XML sidecar, reports progress, and at the end of the
// outermost run moves the staged folders into the destination folders.
//
// The folder watch timers and the card import derive from this class. Runs are
// synchronous and never overlap: within a process their callers see to that, across
// processes the import lock that every outermost run holds. Each picture's record is
// committed as soon as it is staged.
class BaseWatchFolderOperator : public DestinationFileNaming
{
public:
    // The notification posted once per filed picture while the progress window is open.
    static QString notificationNameUpdateProgress()
    {
        return QStringLiteral("notificationNameUpdateProgress");
    }
    static constexpr std::chrono::milliseconds defaultRunPause{500};

    BaseWatchFolderOperator();
    virtual ~BaseWatchFolderOperator();
    BaseWatchFolderOperator(const BaseWatchFolderOperator&) = delete;
    BaseWatchFolderOperator& operator=(const BaseWatchFolderOperator&) = delete;

    // Operator preparation, done by every caller before its first run: the format
    // that reads the date of the Exif original date-time ("yyyy:MM:dd") and the one
    // that names the day folder.
    const QString& originalDateFormatter() const { return originalDateFormat; }
    void setOriginalDateFormatter(const QString& format) { originalDateFormat = format; }
    const QString& folderDateFormatter() const { return folderDateFormat; }
    void setFolderDateFormatter(const QString& format) { folderDateFormat = format; }
    // Sets both: "yyyy:MM:dd", and "date format string" with "YYYY" written "yyyy"
    // and "DD" written "dd".
    void prepareDateFormatters(const SettingsDictionary& settings);

    // Pictures and movie-index pictures that the last run put into the destination,
    // nested runs and pictures an earlier run left staged included; a staged copy
    // dropped because its content is filed already does not count.
    qint64 operationCounter() const { return counter; }
    void setOperationCounter(qint64 value) { counter = value; }

    // The folders the pictures filed since the last clear went into, with counts.
    const PatientFolderTally& filedFolders() const { return filedFolderTally; }
    void clearFiledFolders() { filedFolderTally.clear(); }

    // One import run on a folder. settingDictionary supplies "zero padding length
    // string" and "activate avoid multiple import check"; every other setting is read
    // from the settings file at the start of the run. Throws CopyFailedException on
    // the first failure (every other exception is turned into one).
    void copyImage(const QString& folder, const SettingsDictionary& settingDictionary, bool isMove,
                   bool isImport, bool isRecursive, const QString& timestamp);

    // The folder-tree run of a folder poll: every file and folder below the polled
    // folder (hidden ones included) is reduced to the top-most folders that hold
    // anything, and each of them gets one import run. Creates the transferring marker
    // for its duration (it is removed also when a run fails). In an Import-folder
    // poll, hidden entries go to the Trash. A tree without anything to import only
    // files what a failed run left staged. Returns the failure reason of the run
    // that failed (the remaining top folders are then not run), none on success;
    // operationCounter then holds the pictures filed by all its runs. Runs on one
    // operator are serialised.
    std::optional<QString> copyProcess(const QStringList& enumeration, bool isForceMove,
                                       bool isImport);
    // The same for a tree listed once the import lock is held: an import that waited
    // for another one lists what that one left.
    std::optional<QString> copyProcess(const std::function<QStringList()>& enumerate,
                                       bool isForceMove, bool isImport);
    // Every file and folder below the folder, hidden ones included (the deep
    // enumeration a poll hands to copyProcess); empty when the folder is missing.
    static QStringList deepEnumeration(const QString& folder);
    // The folders that hold the enumeration's files, reduced to the top-most ones,
    // shortest path first. Entries whose name begins with "." or that are hidden,
    // and everything inside such folders, are passed over.
    static QStringList topFolders(const QStringList& enumeration);
    // True when the path is one of the folders or lies inside one of them.
    static bool checkPartialMatch(const QSet<QString>& folders, const QString& path);

    // An outermost run holds the per-user import lock (one import at a time across
    // processes). By default it waits for an import of another process to end, and
    // calls whileWaiting once when it starts to wait; a poll skips instead
    // (copyProcess then files nothing and returns none).
    void setImportLockPolicy(ImportLock::WhenHeld whenHeld, std::function<void()> whileWaiting = {})
    {
        lockPolicy = whenHeld;
        whileWaitingForLock = std::move(whileWaiting);
    }

    // The transferring marker and the picture count, by the names the watch sources
    // and the card confirmation know them.
    static void createTransferringFile();
    static void deleteTransferringFile();
    static int getTotalImageFileCount(const QString& folder, int startCount);

    // Tests and benchmarks shorten the pause at the start of every run (and after
    // trashing a duplicate movie pair); the product keeps half a second.
    void setRunPause(std::chrono::milliseconds pause) { runPause = pause; }
    std::chrono::milliseconds runPauseLength() const { return runPause; }

    // Where the runs report what they did with each file; none by default.
    void setImportReport(ImportReport* report) { importReport = report; }
    void reportStarted(const QString& path) const
    {
        if (importReport)
            importReport->started(path);
    }
    void report(const QString& path, ImportReport::Outcome outcome,
                const QString& detail = {}) const
    {
        if (importReport)
            importReport->handled(path, outcome, detail);
    }
    // A source staged as stagedPath, to be filed into folder by the final filing.
    void reportStaged(const QString& path, const QString& folder, const QString& stagedPath) const
    {
        report(path, ImportReport::Outcome::Filed, folder);
        if (importReport)
            importReport->stagedAs(path, stagedPath);
    }
    // A picture the run leaves behind while it goes on with the others.
    void pictureRefused(const QString& path, const QString& reason)
    {
        problems.pictureRefused(path, reason);
        report(path, ImportReport::Outcome::Failed, reason);
    }
    void sourceVanished(const QString& path)
    {
        problems.sourceVanished(path);
        report(path, ImportReport::Outcome::Failed,
               QStringLiteral("it disappeared during the run"));
    }

    // The application tells whether the progress window is open; without an
    // answer no progress is posted.
    static void setProgressWindowCheck(std::function<bool()> isProgressWindowOpen);

    // The class-level flag that makes the card watch drop its next event batch.
    static bool isFirst();
    static void setIsFirst(bool value);

protected:
    // Called once a picture's copy (or a movie's) is staged, before the source is
    // checked for changes and removed. Tests use it to change a source meanwhile.
    virtual void stagedCopyWritten(const QString& sourcePath) { Q_UNUSED(sourcePath); }

private:
    friend class PictureImport;

    void runFolder(const QString& folder, const SettingsDictionary& settingDictionary, bool isMove,
                   bool isImport, bool isRecursive, const QString& timestamp);
    void runEntry(const ImportFolderWalk::Entry& entry, PictureImport& pictures,
                  const ImportRunSettings& settings, bool isMove, bool isImport,
                  const QString& timestamp);
    void fileStagedFolders(const ImportRunSettings& settings);
    // One outermost run per top folder of a folder-tree run; the first failure that
    // ends a run ends them all, pictures left behind are reported after the others.
    std::optional<QString> runTopFolders(const QStringList& folders,
                                         const SettingsDictionary& settings, bool isMove,
                                         bool isImport);
    // An Import-folder poll sends hidden entries to the Trash.
    static void trashHiddenEntries(const QStringList& enumeration);
    // A poll that finds nothing to import still files what an earlier, failed run
    // left staged; a failure there is only logged (the poll has nothing to report).
    void fileLeftovers();
    // Holds the import lock and the records' connection for an outermost run.
    struct OutermostRun;
    void pause() const;
    static bool isProgressWindowOpen();

    QString originalDateFormat;
    QString folderDateFormat;
    qint64 counter = 0;
    std::chrono::milliseconds runPause = defaultRunPause;
    std::recursive_mutex processLock;
    std::optional<ImportRecords> records; // while an outermost run holds the lock
    RunProblems problems;
    QString sourceRoot;
    PatientFolderTally filedFolderTally;
    bool insideFolderTreeRun = false;
    ImportReport* importReport = nullptr;
    ImportLock::WhenHeld lockPolicy = ImportLock::WhenHeld::Wait;
    std::function<void()> whileWaitingForLock;
};

#pragma once

#include "importer/importrunsettings.h"
#include "metadata/exifentity.h"

#include <QString>
#include <functional>
#include <optional>

// What an import run does with one picture it has read, decided from its Exif data,
// the run's settings, the names staged so far and the imported-file records. The
// run and its preview ask this one class, so the preview cannot disagree with the
// run. It writes nothing and logs nothing.
class ImportDecision
{
public:
    enum class Kind
    {
        Picture,
        MovieIndex
    };

    enum class Outcome
    {
        NotCameraPicture, // no record, or not from an accepted camera
        NoDateTime,       // no usable original date-time to name it by
        NotSent,          // no patient ID while "not sending image" is on
        DuplicateInRun,   // the same shot is staged already by this run
        AlreadyImported,  // the records hold this picture already
        RecordOnly,       // a patient-information picture: recorded, never filed
        File              // staged under newPath and filed into destinationFolder
    };

    struct Verdict
    {
        Outcome outcome = Outcome::NotCameraPicture;
        // Set from NotSent on: the folder below the destination (camera serial, patient
        // folder, day folder), that folder below the destination the picture files
        // into, and from DuplicateInRun on the staged path of the new name.
        QString relativeFolder;
        QString destinationFolder;
        QString newPath;
    };

    // The free staged path for the picture in a staging folder, none when the same
    // shot is staged there already.
    using NameChooser = std::function<std::optional<QString>(
        const QString& stagingFolder, const QString& path, const ExifEntity& exif)>;
    // True when the records hold a picture of that new file name and these values.
    using RecordsTest = std::function<bool(const QString& fileName, const ExifEntity& exif)>;

    ImportDecision(const ImportRunSettings& settings, QString originalDateFormat,
                   QString folderDateFormat);

    Verdict decide(const QString& path, Kind kind, const std::optional<ExifEntity>& exif,
                   const NameChooser& chooseName, const RecordsTest& isRecorded) const;

    // Whether a picture of this shooting mode is a patient-information picture that
    // is recorded but never filed.
    bool isPatientInformation(const ExifEntity& exif) const;
    // The relative folder of a picture under its destination: optional camera
    // serial folder, patient folder, optional day folder.
    QString filingPath(const ExifEntity& exif, const std::optional<QString>& patientID,
                       const std::optional<QString>& patientName) const;
    // A patient ID made safe as a folder name; one that leaves nothing usable (only
    // ":" characters, or "." and "..") is empty, so the picture files under
    // "No Information".
    static std::optional<QString> safePatientID(const std::optional<QString>& patientID);
    static QString noInformationFolder() { return QStringLiteral("No Information"); }
    // The new name's file on disk for a staged path (its last component).
    static QString fileNameOf(const QString& path);
    static QString joinPath(const QString& folder, const QString& relative);

private:
    const ImportRunSettings& settings;
    QString originalDateFormat;
    QString folderDateFormat;
};

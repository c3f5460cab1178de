#pragma once

#include "records/importedfiledao.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Read-only questions about what was filed, for the people who look after the
// pictures: the latest records, those of a patient, of a day on, of an original
// file. Newest first (by record id, which the table's primary key keeps ordered,
// so the latest rows come without a sort even with a million records).
class ImportHistory : private ImportedFileDao
{
public:
    struct Filter
    {
        // Text in the patient folder (patient ID or name), ASCII letters in any case.
        QString patient;
        // Records of import runs on or after this day.
        std::optional<QDate> since;
        // The original file's name (last component of its path) or its whole path.
        QString original;
        // At most this many records; 0 for all.
        int limit = 0;
    };

    using ImportedFileDao::ImportedFileDao;

    QList<ImportedFileEntity> find(const Filter& filter) const;
    QList<ImportedFileEntity> recent(int count) const;
    // The SHA-1 of every record that the import's duplicate test would match by name,
    // camera, flip direction, draw flag and mode alone: a preview then needs a
    // picture's hash only when this is not empty.
    QStringList hashesOfLikeFileName(const QString& fileName, const QString& cameraId,
                                     const QString& mirrorImageType, const QString& drawingFlg,
                                     const QString& mode) const;
};

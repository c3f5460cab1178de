#pragma once

#include <QString>
#include <functional>
#include <optional>

// Final filing of an import run: moves every folder of a staging folder into the
// destination folder, merging with the folders already there.
//
// Unlike a plain merging move it never replaces a picture whose content differs:
// a staged shot whose name is taken by a different file takes the next free "(n)"
// name, and its companions (the movie of a movie-index picture, the hidden XML
// sidecar) follow it to that name. A shot whose content already stands under its
// name or one of its "(n)" names is filed already; its staged copy is dropped.
// Copies left incomplete by an interrupted run are removed, never filed.
//
// Several processes, also on several machines, may file into one destination at
// once: every name is claimed atomically (see FileCopier::moveFile), and a shot
// that loses its name to another writer takes the next free number.
class StagedFolderFiler
{
public:
    // Told of every staged file that stands in its destination folder under another
    // name than the staged one (a "(n)" name, or the name of the same content filed
    // before), so that its record can name the file as it stands.
    using FiledUnderOtherName = std::function<void(
        const QString& destinationFolder, const QString& stagedName, const QString& filedName)>;

    // A staged stem split into the stem the naming built and the collision number it
    // added: "x(3)" is x and 3; a stem without a number of 2 or more has 1.
    struct NumberedStem
    {
        QString base;
        int index = 1;
    };
    static NumberedStem numberedStem(const QString& stem);
    // The collision number under which the name stands for that base and extension:
    // 1 for base + extension, n for base + "(n)" + extension with n of 2 or more;
    // none for any other name.
    static std::optional<int> collisionNumber(const QString& name, const QString& base,
                                              const QString& extension);

    struct Listener
    {
        FiledUnderOtherName filedUnderOtherName;
        // Told of every staged shot (its staged path without the extension) dropped
        // because its content stands in the destination already.
        std::function<void(const QString& stagedShot)> filedAlready;
    };

    // Files what it can and reports the first failure; whatever could not be filed
    // stays staged for the next run. filedShots (when given) is increased by the
    // shots put into the destination; those dropped as filed already do not count.
    static bool fileStagedFolders(const QString& stagingFolder, const QString& destinationFolder,
                                  QString* error, int* filedShots = nullptr,
                                  const Listener& listener = {});
};

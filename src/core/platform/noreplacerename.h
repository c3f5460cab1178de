#pragma once

#include <QByteArray>

// Renames a file or folder only when nothing stands at the new name, as one atomic
// step also where several machines write into the same folder (a share on a NAS):
// renameat2 with RENAME_NOREPLACE, else (file systems without the flag) a hard link
// followed by removing the old name, else (file systems without hard links) an
// exclusive create of the new name that the rename then takes over. Returns 0, or
// -1 with errno set; EEXIST means the name was taken, by whoever came first.
int renameWithoutReplacing(const QByteArray& from, const QByteArray& to);

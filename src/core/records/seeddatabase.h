#pragma once

#include <QString>

// The database the application ships ("Talvoren.db" among the resources): the
// imported_file table with all its columns and indexes and no rows.
class SeedDatabase
{
public:
    // Start-up step: copies the seed to the database path (the application's
    // "Talvoren.db" when empty) when no file is there; an existing database gets
    // the hash_code index when it has the column but not the index. Returns true
    // when a database file is in place afterwards.
    static bool installIfMissing(const QString& databasePath = {});
    // The shipped seed file; empty when the resources lack it.
    static QString seedPath();
};

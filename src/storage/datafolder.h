#pragma once
#include "core/dberror.h"

#include <QString>
#include <memory>

namespace morvello {

class Database;

// Start-up checks of the data folder "permorvello" below baseDir (letter case
// of the names ignored).
//
// Fails when the folder itself is missing. Creates an empty results database
// "testi1.mdb" when it is missing or empty (a file of no bytes holds
// nothing); an existing results file is never replaced. Creates the export
// template "exporttesti.mdb" when it is missing or empty (the export checks
// it whole before each use, see ensureExportTemplate).
DbError prepareDataFolder(const QString &baseDir);

// The export template at `path` is a whole database with a tabtesti of the 34
// columns; one that is missing, empty or damaged is made again from the
// schema (a damaged one is kept aside, renamed with the date).
DbError ensureExportTemplate(const QString &path);

// Opens "permorvello\testi1.mdb" and makes sure it is whole (indexes checked
// against their tables) and has the tables, columns and column types the
// program uses. On any such trouble returns null with a message naming the
// file and the trouble; the file is left as it was.
//
// Then brings a file of an earlier version up to date, each step in one
// transaction: the unique "nome" index is made (again) on the engine's own
// collation, and the stored names are put in today's form. What stops a step
// (names that would be one pupil) is left as it is and described in the
// database's notices().
std::unique_ptr<Database> openResultsDatabase(const QString &baseDir, DbError *error = nullptr);

} // namespace morvello

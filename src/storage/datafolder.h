// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dberror.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

namespace morvello {

class Database;

// Start-up checks of the data folder "permorvello" below baseDir (letter case
// of the names ignored).
//
// Fails when the folder itself is missing. Removes what an interrupted
// first start left (the databases' unfinished "….nuovo-…" files). Creates an empty results database
// "testi1.mdb" when it is missing or empty (a file of no bytes holds
// nothing); an existing results file is never replaced. Creates the export
// template "exporttesti.mdb" when it is missing or empty (the export checks
// it whole before each use, see ensureExportTemplate).
DbError prepareDataFolder(const QString &baseDir);

// The export template at `path` is a whole database with a tabtesti of the 34
// columns; one that is missing, empty or damaged is made again from the
// schema (a damaged one is kept aside, renamed with the date). A sound one
// without the history table gains it in place.
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
// An archive without an id (an earlier version's) is given one; one without
// the history of attempts gains it.
std::unique_ptr<Database> openResultsDatabase(const QString &baseDir, DbError *error = nullptr);

// The rows of the archive whose names a person reads as one pupil's (the
// same letters with other spaces, accents, apostrophes or invisible
// characters, or the same name twice), one line per group of such rows,
// each name in quotes; for the teacher's checker.
QStringList rowsNeedingALook(Database &db, DbError *error = nullptr);
// The same rows' names as stored, one list per group (the register takes
// them in with the file).
QVector<QStringList> lookAlikeRows(Database &db, DbError *error = nullptr);

// This computer's id for the history rows: a random 128-bit id in hex, made
// once and kept in the data folder ("codice-computer.txt"), never taken from
// the hardware. Empty only when there is no data folder.
QString computerId(const QString &baseDir);

} // namespace morvello

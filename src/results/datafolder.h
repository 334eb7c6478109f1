#pragma once
#include "platform/dberror.h"

#include <QString>
#include <memory>

namespace morvello {

class Database;

// Start-up checks of the data folder "permorvello" below baseDir (letter case
// of the names ignored).
//
// Fails when the folder itself is missing. Creates an empty results database
// "testi1.mdb" and an empty export template "exporttesti.mdb" when they are
// missing; an existing file is never replaced or changed.
DbError prepareDataFolder(const QString &baseDir);

// Opens "permorvello\testi1.mdb" and makes sure it is whole and has the
// tables and columns the program uses. On any trouble returns null with a
// message naming the file and the trouble; the file is left as it was.
std::unique_ptr<Database> openResultsDatabase(const QString &baseDir, DbError *error = nullptr);

} // namespace morvello

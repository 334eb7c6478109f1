#pragma once
// The results archive a benchmark works on, made and opened the way the
// program does it at start-up, so that what is timed runs on the same file.
#include "storage/datafolder.h"
#include "storage/database.h"

#include <QDir>

#include <cstdio>
#include <memory>

namespace morvello::bench {

// Creates "permorvello" below baseDir with an empty archive and export
// template, and opens the archive; null (after saying why) when that fails.
inline std::unique_ptr<Database> openArchive(const QString &baseDir)
{
    QDir(baseDir).mkpath(QStringLiteral("permorvello"));
    DbError err = prepareDataFolder(baseDir);
    std::unique_ptr<Database> db;
    if (!err.isError())
        db = openResultsDatabase(baseDir, &err);
    if (!db)
        std::fprintf(stderr, "%s\n", qPrintable(err.message));
    return db;
}

} // namespace morvello::bench

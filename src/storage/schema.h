#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

namespace morvello {
struct DbError;

namespace schema {

// The one definition of the results files. Column order is binding: the
// results screen, the printout and the export address columns by position.
struct Column {
    QString name;    // exact column name, "%" included
    QString sqlType; // declared type
};

// tabtesti: position 0 "id" (automatic row key, never written or shown by the
// program), 1 "nome", then eight groups of four (count, total, percentage,
// date and time) from position 2 to 33.
const QVector<Column> &tabtestiColumns();
// studenti: nome, argomento, rispgiuste, rispsbagliate.
const QVector<Column> &studentiColumns();

// Statements that build an empty results database / an empty export template.
QStringList resultsDatabaseStatements();
// The unique index "nome" of the results file.
QString nomeIndexStatement();
// The results file's user_version once its names are in today's form and its
// index is on the engine's own collation; older files have 0.
constexpr int kResultsFileVersion = 2;
QStringList exportTemplateStatements();

// Data file names as the program writes them.
inline QString resultsFile() { return QStringLiteral("Permorvello\\testi1.mdb"); }
inline QString exportTemplateFile() { return QStringLiteral("permorvello\\exporttesti.mdb"); }

} // namespace schema
} // namespace morvello

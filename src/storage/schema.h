// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QtGlobal>
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
// The results file's user_version, one step per change of the file made
// after its first release; older files have 0, and each open brings a file
// up to this one step at a time:
//  2  names in today's form, the "nome" index on the engine's own collation;
//  3  names with typographic apostrophes, fillers or bytes that are not
//     UTF-8 put in today's form, and the rows that could not be are marked
//     as looked at;
//  4  the history of attempts, "tentativi";
//  5  the pupils' choices of how passages look, "preferenze".
constexpr int kNamesVersion = 3;
constexpr int kHistoryVersion = 4;
constexpr int kPreferencesVersion = 5;
constexpr int kResultsFileVersion = kPreferencesVersion;
// A random id for a new archive, kept in the header's application_id (never
// 0, which means "none"): a journal found beside the file is applied only
// when it carries the same id.
qint32 newArchiveId();
QString archiveIdStatement(qint32 id);
QStringList exportTemplateStatements();

// preferenze, beside tabtesti (which stays as it is): one row per pupil who
// chose something, by the name as in tabtesti; "testoleggibile" is 1 for
// the high-legibility look of passages. Made only when missing.
QString preferencesTableStatement();

// tentativi, the history beside tabtesti: one row per save of one group,
// written in the same transaction as the row of tabtesti. Its columns:
//   codice       a random 128-bit id, in hex: the row's own, everywhere
//                (an export never copies a row the disk already has);
//   nome         the pupil's name as saved;
//   gruppo       the group, by the name of its first column ("genette");
//   conteggio, totale, percentuale, data
//                the group's four values as saved;
//   momento      when it was saved ("yyyy-MM-dd HH:mm:ss.zzz");
//   schermata    the screen that saved it ("FGenette");
//   visita       the visit's id;
//   computer     the id of the computer that saved it.
const QVector<Column> &tentativiColumns();
// The table and its unique index on codice, made only where missing, in the
// schema named (e.g. "main", or an attached export file).
QStringList historyTableStatements(const QString &schemaName = QStringLiteral("main"));
QString newRowCode();

// The lab server's tables (PostgreSQL): the same tables and columns in the
// same order, date columns as text as in the file; "id" is the row key, the
// one-row-per-pupil index folds the letters A-Z only, as the file's does,
// and each table but tabtesti ends with "ordine", the order rows came in.
// "morvello_schema" holds the version, so that a server of another program,
// or of a newer version, is told from ours.
constexpr int kServerSchemaVersion = 1;
QStringList serverSchemaStatements();
// The rights of the pupils' computers (read, insert and update the results
// and the history, nothing else) and of the teacher (read everything).
QStringList serverGrantStatements(const QString &pupilsRole, const QString &teacherRole);
// The key expression of a pupil's name on the server.
QString serverNameKey(const QString &value);
// The column that orders a server table's rows ("id" or "ordine").
QString serverOrderColumn(const QString &table);
// Double-quoted SQL identifier.
QString quotedName(const QString &identifier);

// Data file names as the program writes them.
inline QString resultsFile() { return QStringLiteral("Permorvello\\testi1.mdb"); }
inline QString exportTemplateFile() { return QStringLiteral("permorvello\\exporttesti.mdb"); }

} // namespace schema
} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What tests of every layer share: files of the repository's test data,
// bytes on disk, rows of a results file, and the content checks' findings.
#include "doubles.h"
#include "core/dberror.h"
#include "core/judgement.h"
#include "storage/database.h"
#include "text/contentcheck.h"

#include <QMap>
#include <QVariant>
#include <QVector>
#include <initializer_list>
#include <optional>

namespace morvello::test {

// Adds a row to tabtesti with the given name and the given values by
// position; every other column is left never written.
void addRow(Database &db, const QString &name, const QMap<int, QVariant> &values = {});

// Every row of a table in table order, each value as stored (null for a
// column never written).
QVector<QVector<QVariant>> tableRows(Database &db, const QString &table);

// A file's whole content (empty when it cannot be read), and writing one.
QByteArray bytesOf(const QString &path);
bool writeBytes(const QString &path, const QByteArray &data);

// Path of a file of the repository's test data (e.g. "rtf/it-abiword.rtf").
QString dataPath(const QString &relative);

// The folder of an extra RTF corpus kept outside the repository, named by
// the environment variable MORVELLO_SHARED_CORPUS; empty when the variable
// is unset or names no folder. Checks that use it skip without it.
QString sharedCorpus();
// The skip message of those checks.
extern const char *const sharedCorpusAbsent;

// A row and the names read through a store of their own over `db`.
std::optional<QVector<QVariant>> lookupPupil(Database &db, const QString &name, DbError *error = nullptr);
QStringList allNames(Database &db, DbError *error = nullptr);


// The problems the given activities' checks find in the data folder under
// base, as the checker program would list them.
QList<CheckProblem> runChecks(const QString &base,
                              std::initializer_list<void (*)(ContentCheckRegistry &)> activities);
// The problems one per line, for a failure message.
QString allLines(const QList<CheckProblem> &problems);

// A judgement in one word, for comparing: "right", "wrong" (one answer),
// "judged" (a whole board), "refused: <message>" or "ignored".
QString verdictOf(const Judgement &judgement);

} // namespace morvello::test

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dberror.h"

#include <QStringList>
#include <QVector>

namespace morvello {

class Database;

// The class view's numbers kept ready: "riepilogo" holds, per pupil (as the
// view shows them, joined names counted in) and group, the number of
// attempts, the best and latest percentage and the latest attempt's moment.
// Recounting them from the history on every refresh took close to a second
// for a term; keeping them up to date costs an import a few statements.
//
// "tentativi.ultimo" is 1 on a visit's last row of a group, the attempt: the
// saves before it were running totals of the same attempt.
namespace summary {

// The statements that bring a register of the first version up to the
// second: the flag, its index, the table, filled from what the file holds.
QStringList upgradeStatements();

// After an import's rows were added (every row with a rowid above `before`),
// in the import's own transaction: the rows that stopped being the last of
// their visit are marked so, and the pupils' numbers take the new attempts in.
bool afterImport(Database &db, qint64 before, DbError *error);

// Counts the numbers of these pupils again from their attempts (after a
// join or its undo); ids that are no longer pupils of their own lose theirs.
bool recount(Database &db, const QVector<qint64> &pupils, DbError *error);

// The pupils' numbers counted straight from the attempts (what the view
// reads when a period is chosen): rows of pupil id, group, attempts, best,
// latest percentage, latest moment; `where` narrows the attempts ("t." is
// the attempt, "a." its name's row), with its own bound values.
enum Drive { PupilsFirst, AttemptsFirst };
QString countedFromAttempts(const QString &where, Drive drive = PupilsFirst);

} // namespace summary
} // namespace morvello

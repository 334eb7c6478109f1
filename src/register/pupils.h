// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dberror.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace morvello {

class Register;

// What the teacher decides about names, beyond the program's own
// normalisation: two names that are one pupil, and pupils who left.

// Joins the pupil `name` to `into` (or to the one `into` is joined to):
// their attempts are shown as one pupil's under `into`'s name. Nothing is
// deleted; separatePupil() undoes it.
DbError joinPupils(Register &reg, qint64 name, qint64 into);
// Makes a joined name a pupil of its own again.
DbError separatePupil(Register &reg, qint64 name);
// The names joined to a pupil.
struct JoinedName
{
    qint64 id = 0;
    QString name;
};
QVector<JoinedName> joinedTo(Register &reg, qint64 pupil, DbError *error = nullptr);

// Keeps a pupil out of the class view (left the class), or brings them back.
DbError setHidden(Register &reg, qint64 pupil, bool hidden);

// Pairs of names that differ only in letters a keyboard or a name entry
// easily confuses (spaces, apostrophes, accents), for the teacher to judge.
struct LookAlike
{
    JoinedName a;
    JoinedName b;
};
QVector<LookAlike> lookAlikes(Register &reg, DbError *error = nullptr);

// A group of names the pupil program flagged in a computer's archive as one
// pupil's to a reader's eye (rows it left apart for a teacher), and the
// pupils of the register those names are counted as: one pupil when the
// register's own normalisation took them together, more when a hand join
// may be wanted.
struct FlaggedNames
{
    QStringList names; // as the archive stored them
    QString file;      // the file that first brought them
    QVector<JoinedName> pupils;
};
QVector<FlaggedNames> flaggedNames(Register &reg, DbError *error = nullptr);

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dberror.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace morvello {

class Register;

// One attempt: the last save of one group in one visit (a tabtesti group
// without history is an attempt by itself).
struct Attempt
{
    QString group; // first column's name ("genette")
    QVariant count;
    QVariant total;
    QVariant percent;
    QDateTime moment; // invalid when the file never said
    QString computer;
    bool fromHistory = true;
};

// A pupil's results in one group over the period looked at.
struct GroupCell
{
    int attempts = 0;
    double latest = 0;
    double best = 0;
    // The latest attempt's moment as the register keeps it ("yyyy-MM-dd
    // HH:mm:ss.zzz"): read as a date only when shown, a thousand pupils'
    // cells are filled without a thousand time-zone look-ups.
    QString last;
    QDateTime lastMoment() const;
};

// A moment as the register keeps it, shown as "31/12/2026 14:05"; empty
// when it is no moment the program wrote.
QString italianMoment(const QString &stored);
QByteArray italianMoment(QByteArrayView stored);

// The attempts (the last row of each visit and group), pupil by pupil in
// time order, each under the pupil it is shown as: pupil's id and name,
// group, right, total, percentage, moment, computer, whether from a
// history. Bound twice with a pupil's id for that pupil alone, with 0 for
// every pupil.
QString attemptsQuery();

struct PupilLine
{
    qint64 id = 0;
    QString name;
    bool hidden = false;
    QStringList joined;       // the names joined to this pupil
    QVector<GroupCell> cells; // one per result group, in their order
};

// Every pupil of the register with a cell per group, names in order (the
// names joined to a pupil count as that pupil; hidden pupils only when
// asked); attempts outside [from, to] (days, both included; null = open)
// are left out, and so are attempts with no moment when a period is given.
QVector<PupilLine> classTable(Register &reg, const QDate &from = {}, const QDate &to = {}, DbError *error = nullptr,
                              bool withHidden = false);

// A pupil's attempts (every pupil's when id is 0) in time order.
struct PupilAttempt
{
    QString pupil;
    Attempt attempt;
};
QVector<PupilAttempt> attemptsOf(Register &reg, qint64 pupilId, DbError *error = nullptr);

// The index in resultGroups() of a group's first column name, or -1.
int groupIndex(const QString &group);

} // namespace morvello

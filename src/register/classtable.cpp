// SPDX-License-Identifier: GPL-3.0-or-later
#include "classtable.h"

#include "register.h"
#include "summary.h"
#include "core/resultgroups.h"
#include "storage/database.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <functional>

namespace morvello {

namespace {

// The attempts (the last row of each visit and group), each under the pupil
// it is shown as.
const char *const kAttempts =
    "SELECT b.id, b.nome, t.gruppo, t.conteggio, t.totale, t.percentuale, t.momento, t.computer, t.storico "
    "FROM tentativi AS t JOIN alunni AS a ON a.id = t.alunno JOIN alunni AS b ON b.id = ifnull(a.unito_a, a.id) "
    "WHERE (? = 0 OR b.id = ?) AND t.ultimo = 1 "
    "ORDER BY b.nome, ifnull(t.momento, ''), t.rowid";

bool forEachAttempt(Register &reg, qint64 pupilId, DbError *error,
                    const std::function<void(qint64, const QString &, const Attempt &)> &each)
{
    Database &db = reg.database();
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    const QString what = QStringLiteral("la lettura del registro");
    if (!db.prepare(q, QString::fromLatin1(kAttempts), what, error))
        return false;
    q.bindValue(0, pupilId);
    q.bindValue(1, pupilId);
    if (!db.run(q, what, error))
        return false;
    while (q.next()) {
        Attempt a;
        a.group = q.value(2).toString();
        a.count = q.value(3);
        a.total = q.value(4);
        a.percent = q.value(5);
        const QVariant moment = Database::fromStoredDate(q.value(6));
        if (moment.typeId() == QMetaType::QDateTime)
            a.moment = moment.toDateTime();
        a.computer = q.value(7).toString();
        a.fromHistory = q.value(8).toInt() != 0;
        each(q.value(0).toLongLong(), q.value(1).toString(), a);
    }
    return true;
}

} // namespace

int groupIndex(const QString &group)
{
    const QVector<ResultGroup> &groups = resultGroups();
    for (int i = 0; i < groups.size(); ++i) {
        if (groups.at(i).columns[0] == group)
            return i;
    }
    return -1;
}

QVector<PupilLine> classTable(Register &reg, const QDate &from, const QDate &to, DbError *error, bool withHidden)
{
    QVector<PupilLine> lines;
    QHash<qint64, int> lineOf;
    Database &db = reg.database();
    {
        QSqlQuery q(db.connection());
        const QString what = QStringLiteral("la lettura del registro");
        if (!db.prepare(q,
                        QStringLiteral("SELECT id, nome, nascosto FROM alunni WHERE unito_a IS NULL "
                                       "AND (nascosto = 0 OR ? = 1) ORDER BY nome"),
                        what, error))
            return {};
        q.bindValue(0, withHidden ? 1 : 0);
        if (!db.run(q, what, error))
            return {};
        while (q.next()) {
            PupilLine line;
            line.id = q.value(0).toLongLong();
            line.name = q.value(1).toString();
            line.hidden = q.value(2).toInt() != 0;
            line.cells.resize(resultGroups().size());
            lineOf.insert(line.id, lines.size());
            lines.append(line);
        }
    }
    {
        QSqlQuery q(db.connection());
        q.setForwardOnly(true);
        const QString what = QStringLiteral("la lettura del registro");
        if (!db.prepare(q, QStringLiteral("SELECT unito_a, nome FROM alunni WHERE unito_a IS NOT NULL ORDER BY nome"), what,
                        error)
            || !db.run(q, what, error))
            return {};
        while (q.next()) {
            const auto it = lineOf.constFind(q.value(0).toLongLong());
            if (it != lineOf.constEnd())
                lines[*it].joined << q.value(1).toString();
        }
    }
    // The whole term is kept counted (summary.h); a period is counted from
    // its attempts.
    const bool period = from.isValid() || to.isValid();
    const QString sql = period
        ? summary::countedFromAttempts(QStringLiteral("t.momento IS NOT NULL AND t.momento >= ? AND t.momento < ?"))
        : QStringLiteral("SELECT alunno, gruppo, prove, migliore, ultima, momento FROM riepilogo");
    const QString what = QStringLiteral("la lettura del registro");
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q, sql, what, error))
        return {};
    if (period) {
        // Bounds that read as dates, never as numbers: the column's numeric
        // affinity would turn "9999" into a number, which sorts before any text.
        q.bindValue(0, from.isValid() ? from.toString(Qt::ISODate) : QStringLiteral("0000-01-01"));
        q.bindValue(1, to.isValid() ? to.addDays(1).toString(Qt::ISODate) : QStringLiteral("9999-12-31"));
    }
    if (!db.run(q, what, error))
        return {};
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        const int g = groupIndex(q.value(1).toString());
        if (g < 0 || !lineOf.contains(id))
            continue;
        GroupCell &cell = lines[lineOf.value(id)].cells[g];
        cell.attempts = q.value(2).toInt();
        cell.best = q.value(3).toDouble();
        cell.latest = q.value(4).toDouble();
        const QVariant last = Database::fromStoredDate(q.value(5));
        if (last.typeId() == QMetaType::QDateTime)
            cell.last = last.toDateTime();
    }
    return lines;
}

QVector<PupilAttempt> attemptsOf(Register &reg, qint64 pupilId, DbError *error)
{
    QVector<PupilAttempt> list;
    const bool ok = forEachAttempt(reg, pupilId, error, [&](qint64, const QString &name, const Attempt &a) {
        list.append(PupilAttempt{name, a});
    });
    return ok ? list : QVector<PupilAttempt>{};
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "classtable.h"

#include "register.h"
#include "core/resultgroups.h"
#include "storage/database.h"

#include <QHash>
#include <QPair>
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

// A period's numbers counted from its attempts: the table read front to
// back (through the pupils' index the engine would fetch the rows in a
// random order, a page read for each) and the period's rows grouped by
// name, then put together for the names joined to one pupil. The latest attempt is the one with the
// greatest moment and, among equals, the last to arrive: one text key holds
// both, and its percentage.
bool countPeriod(Database &db, const QDate &from, const QDate &to, QVector<PupilLine> &lines,
                 const QHash<qint64, int> &lineOf, DbError *error)
{
    const QString what = QStringLiteral("la lettura del registro");
    QHash<qint64, qint64> pupilOf;
    {
        QSqlQuery q(db.connection());
        q.setForwardOnly(true);
        if (!db.prepare(q, QStringLiteral("SELECT id, ifnull(unito_a, id) FROM alunni"), what, error) || !db.run(q, what, error))
            return false;
        while (q.next())
            pupilOf.insert(q.value(0).toLongLong(), q.value(1).toLongLong());
    }
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q,
                    QStringLiteral("SELECT alunno, gruppo, count(*), max(percentuale), "
                                   "max(momento || char(31) || printf('%020d', rowid) || char(31) || ifnull(percentuale, '')) "
                                   "FROM tentativi NOT INDEXED WHERE ultimo = 1 AND momento IS NOT NULL AND momento >= ? "
                                   "AND momento < ? "
                                   "GROUP BY alunno, gruppo"),
                    what, error))
        return false;
    // Bounds that read as dates, never as numbers: the column's numeric
    // affinity would turn "9999" into a number, which sorts before any text.
    q.bindValue(0, from.isValid() ? from.toString(Qt::ISODate) : QStringLiteral("0000-01-01"));
    q.bindValue(1, to.isValid() ? to.addDays(1).toString(Qt::ISODate) : QStringLiteral("9999-12-31"));
    if (!db.run(q, what, error))
        return false;
    QHash<QPair<int, int>, QString> latestKey;
    while (q.next()) {
        const auto line = lineOf.constFind(pupilOf.value(q.value(0).toLongLong()));
        const int g = groupIndex(q.value(1).toString());
        if (g < 0 || line == lineOf.constEnd())
            continue;
        GroupCell &cell = lines[*line].cells[g];
        const QString key = q.value(4).toString();
        QString &latest = latestKey[qMakePair(*line, g)];
        const bool first = cell.attempts == 0;
        cell.attempts += q.value(2).toInt();
        const double best = q.value(3).toDouble();
        cell.best = first ? best : std::max(cell.best, best);
        if (first || key > latest) {
            latest = key;
            const QStringList parts = key.split(QChar(0x1f));
            cell.last = parts.value(0);
            cell.latest = parts.value(2).toDouble();
        }
    }
    return true;
}

} // namespace

namespace {

int digits(const QChar *s, int n, bool *ok)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9') {
            *ok = false;
            return 0;
        }
        v = v * 10 + (c - u'0');
    }
    return v;
}

} // namespace

// Read by its characters, by the same rule as the storage's own dates
// ("yyyy-MM-dd HH:mm:ss", 'T' or a space between, up to three decimals),
// without making a date-time of it.
QString italianMoment(const QString &stored)
{
    const int n = int(stored.size());
    if (n < 19 || (n > 19 && (n < 21 || n > 23 || stored.at(19) != QLatin1Char('.'))))
        return {};
    const QChar *c = stored.constData();
    if (c[4] != QLatin1Char('-') || c[7] != QLatin1Char('-') || (c[10] != QLatin1Char(' ') && c[10] != QLatin1Char('T'))
        || c[13] != QLatin1Char(':') || c[16] != QLatin1Char(':'))
        return {};
    bool ok = true;
    const int y = digits(c, 4, &ok), mo = digits(c + 5, 2, &ok), d = digits(c + 8, 2, &ok);
    const int h = digits(c + 11, 2, &ok), mi = digits(c + 14, 2, &ok), se = digits(c + 17, 2, &ok);
    if (n > 19)
        digits(c + 20, n - 20, &ok);
    if (!ok || !QDate::isValid(y, mo, d) || !QTime::isValid(h, mi, se))
        return {};
    const QChar out[] = {c[8], c[9], u'/', c[5], c[6], u'/', c[0], c[1], c[2], c[3], u' ', c[11], c[12], u':', c[14], c[15]};
    return QString(out, 16);
}

QDateTime GroupCell::lastMoment() const
{
    const QVariant moment = Database::fromStoredDate(last.isEmpty() ? QVariant() : QVariant(last));
    return moment.typeId() == QMetaType::QDateTime ? moment.toDateTime() : QDateTime();
}

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
    if (from.isValid() || to.isValid()) {
        if (!countPeriod(db, from, to, lines, lineOf, error))
            return {};
        return lines;
    }
    // The whole term is kept counted (summary.h).
    const QString what = QStringLiteral("la lettura del registro");
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!db.prepare(q, QStringLiteral("SELECT alunno, gruppo, prove, migliore, ultima, momento FROM riepilogo"), what, error)
        || !db.run(q, what, error))
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
        cell.last = q.value(5).toString();
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

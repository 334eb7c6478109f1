// SPDX-License-Identifier: GPL-3.0-or-later
#include "classtable.h"

#include "register.h"
#include "core/resultgroups.h"
#include "storage/database.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>
#include <functional>

namespace morvello {

QString attemptsQuery()
{
    return QStringLiteral(
        "SELECT b.id, b.nome, t.gruppo, t.conteggio, t.totale, t.percentuale, t.momento, t.computer, t.storico "
        "FROM tentativi AS t JOIN alunni AS a ON a.id = t.alunno JOIN alunni AS b ON b.id = ifnull(a.unito_a, a.id) "
        "WHERE (? = 0 OR b.id = ?) AND t.ultimo = 1 "
        "ORDER BY b.nome, ifnull(t.momento, ''), t.rowid");
}

namespace {

bool forEachAttempt(Register &reg, qint64 pupilId, DbError *error,
                    const std::function<void(qint64, const QString &, const Attempt &)> &each)
{
    Database &db = reg.database();
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    const QString what = QStringLiteral("la lettura del registro");
    if (!db.prepare(q, attemptsQuery(), what, error))
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
// random order, a page read for each), straight from the engine, and
// counted here: grouped and sorted by the engine, a term of a thousand
// pupils took ten times the class view's budget. The latest attempt is the
// one with the greatest moment and, among equals, the last to arrive.
bool countPeriod(Database &db, const QDate &from, const QDate &to, QVector<PupilLine> &lines,
                 const QHash<qint64, int> &lineOf, DbError *error)
{
    const QString what = QStringLiteral("la lettura del registro");
    QHash<qint64, int> lineOfRow;
    {
        QSqlQuery q(db.connection());
        q.setForwardOnly(true);
        if (!db.prepare(q, QStringLiteral("SELECT id, ifnull(unito_a, id) FROM alunni"), what, error) || !db.run(q, what, error))
            return false;
        while (q.next()) {
            const auto line = lineOf.constFind(q.value(1).toLongLong());
            if (line != lineOf.constEnd())
                lineOfRow.insert(q.value(0).toLongLong(), *line);
        }
    }
    const int groups = int(resultGroups().size());
    struct Latest
    {
        std::string moment;
        qint64 row = 0;
        bool hasBest = false;
    };
    std::vector<Latest> latest(size_t(lines.size()) * size_t(groups));
    qint64 lastPupil = -1;
    int line = -1;
    int g = -1;
    // The rows of a pupil's groups come interleaved: the groups are told
    // apart over the engine's bytes, without a text made for each row.
    QVector<QByteArray> groupKeys;
    for (const ResultGroup &rg : resultGroups())
        groupKeys << rg.columns[0].toUtf8();
    const bool read = db.scan(
        QStringLiteral("SELECT alunno, gruppo, percentuale, momento, rowid FROM tentativi NOT INDEXED "
                       "WHERE ultimo = 1 AND momento IS NOT NULL AND +momento >= ? AND +momento < ?"),
        // Bounds that read as dates, never as numbers: the column's numeric
        // affinity would turn "9999" into a number, which sorts before any
        // text; and the moments compared as they are ("+"), without the
        // engine trying each bound as a number on every row.
        {from.isValid() ? from.toString(Qt::ISODate) : QStringLiteral("0000-01-01"),
         to.isValid() ? to.addDays(1).toString(Qt::ISODate) : QStringLiteral("9999-12-31")},
        what,
        [&](const Database::RawRow &row) {
            if (row.whole(0) != lastPupil) {
                lastPupil = row.whole(0);
                line = lineOfRow.value(lastPupil, -1);
            }
            const QByteArrayView group = row.text(1);
            g = -1;
            for (int i = 0; i < groups && g < 0; ++i)
                g = group == QByteArrayView(groupKeys.at(i)) ? i : -1;
            if (line < 0 || g < 0)
                return true;
            GroupCell &cell = lines[line].cells[g];
            Latest &mark = latest[size_t(line) * size_t(groups) + size_t(g)];
            const bool first = cell.attempts == 0;
            ++cell.attempts;
            if (!row.isNull(2)) {
                const double percent = row.number(2);
                cell.best = mark.hasBest ? std::max(cell.best, percent) : percent;
                mark.hasBest = true;
            }
            const QByteArrayView moment = row.text(3);
            const std::string_view momentText(moment.data(), size_t(moment.size()));
            const int order = momentText.compare(mark.moment);
            if (first || order > 0 || (order == 0 && row.whole(4) > mark.row)) {
                mark.moment.assign(momentText);
                mark.row = row.whole(4);
                cell.latest = row.isNull(2) ? 0.0 : row.number(2);
            }
            return true;
        },
        error);
    if (!read)
        return false;
    for (int l = 0; l < lines.size(); ++l) {
        for (int c = 0; c < groups; ++c) {
            if (lines[l].cells[c].attempts > 0)
                lines[l].cells[c].last = QString::fromStdString(latest[size_t(l) * size_t(groups) + size_t(c)].moment);
        }
    }
    return true;
}

} // namespace

namespace {

char16_t unit(QChar c)
{
    return c.unicode();
}

char16_t unit(char c)
{
    return char16_t(uchar(c));
}

template <typename Char>
int digits(const Char *s, int n, bool *ok)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const char16_t c = unit(s[i]);
        if (c < u'0' || c > u'9') {
            *ok = false;
            return 0;
        }
        v = v * 10 + (c - u'0');
    }
    return v;
}

// Read by its characters, by the same rule as the storage's own dates
// ("yyyy-MM-dd HH:mm:ss", 'T' or a space between, up to three decimals),
// without making a date-time of it. Fills the 16 characters of
// "31/12/2026 14:05"; false when it is no moment the program wrote.
template <typename Char>
bool italianMomentOf(const Char *c, qsizetype n, char out[16])
{
    if (n < 19 || (n > 19 && (n < 21 || n > 23 || unit(c[19]) != u'.')))
        return false;
    if (unit(c[4]) != u'-' || unit(c[7]) != u'-' || (unit(c[10]) != u' ' && unit(c[10]) != u'T')
        || unit(c[13]) != u':' || unit(c[16]) != u':')
        return false;
    bool ok = true;
    const int y = digits(c, 4, &ok), mo = digits(c + 5, 2, &ok), d = digits(c + 8, 2, &ok);
    const int h = digits(c + 11, 2, &ok), mi = digits(c + 14, 2, &ok), se = digits(c + 17, 2, &ok);
    if (n > 19)
        digits(c + 20, int(n - 20), &ok);
    if (!ok || !QDate::isValid(y, mo, d) || !QTime::isValid(h, mi, se))
        return false;
    const int from[] = {8, 9, -1, 5, 6, -1, 0, 1, 2, 3, -2, 11, 12, -3, 14, 15};
    for (int i = 0; i < 16; ++i)
        out[i] = from[i] == -1 ? '/' : from[i] == -2 ? ' ' : from[i] == -3 ? ':' : char(unit(c[from[i]]));
    return true;
}

} // namespace

QString italianMoment(const QString &stored)
{
    char out[16];
    return italianMomentOf(stored.constData(), stored.size(), out) ? QString::fromLatin1(out, 16) : QString();
}

QByteArray italianMoment(QByteArrayView stored)
{
    char out[16];
    return italianMomentOf(stored.data(), stored.size(), out) ? QByteArray(out, 16) : QByteArray();
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "summary.h"

#include "storage/database.h"

#include <QSqlQuery>

namespace morvello::summary {

namespace {

const QString kWhat = QStringLiteral("il riepilogo del registro");

// A later save of the same visit and group than the row `row` of tentativi:
// the moment first, the order of arrival when two share it.
QString laterInVisit(const QString &row)
{
    return QStringLiteral("EXISTS (SELECT 1 FROM main.tentativi AS u WHERE u.visita = %1.visita AND u.gruppo = %1.gruppo "
                          "AND (ifnull(u.momento, ''), u.rowid) > (ifnull(%1.momento, ''), %1.rowid))")
        .arg(row);
}

bool run(Database &db, const QString &sql, const QVariantList &values, DbError *error)
{
    QSqlQuery q(db.connection());
    if (!db.prepare(q, sql, kWhat, error))
        return false;
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    return db.run(q, kWhat, error);
}

bool runSince(Database &db, const QString &sql, qint64 before, DbError *error)
{
    QSqlQuery q(db.connection());
    if (!db.prepare(q, sql, kWhat, error))
        return false;
    q.bindValue(QStringLiteral(":before"), before);
    return db.run(q, kWhat, error);
}

const QString kColumns = QStringLiteral("(alunno, gruppo, prove, migliore, ultima, momento, riga)");

// The pupils listed in temp.rifare are counted again whole.
bool recountListed(Database &db, DbError *error)
{
    QSqlQuery any(db.connection());
    if (!db.prepare(any, QStringLiteral("SELECT 1 FROM temp.rifare LIMIT 1"), kWhat, error) || !db.run(any, kWhat, error))
        return false;
    if (!any.next())
        return true;
    any.finish();
    return run(db, QStringLiteral("DELETE FROM main.riepilogo WHERE alunno IN (SELECT alunno FROM temp.rifare)"), QVariantList{}, error)
           && run(db,
                  QStringLiteral("INSERT INTO main.riepilogo %1 %2")
                      .arg(kColumns, countedFromAttempts(QStringLiteral("ifnull(a.unito_a, a.id) IN (SELECT alunno FROM temp.rifare)"))),
                  {}, error);
}

bool listFresh(Database &db, DbError *error)
{
    return run(db, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS rifare (alunno INTEGER PRIMARY KEY)"), QVariantList{}, error)
           && run(db, QStringLiteral("DELETE FROM temp.rifare"), QVariantList{}, error);
}

} // namespace

QString countedFromAttempts(const QString &where, Drive drive)
{
    // One pass: the window gives each attempt its pupil's count and best,
    // and numbers them latest first; the first of each is the latest.
    return QStringLiteral(
               "SELECT pid, gruppo, prove, migliore, percentuale, momento, riga FROM ("
               "SELECT ifnull(a.unito_a, a.id) AS pid, t.gruppo, t.percentuale, t.momento, t.rowid AS riga, "
               "count(*) OVER w AS prove, max(t.percentuale) OVER w AS migliore, "
               "row_number() OVER (PARTITION BY ifnull(a.unito_a, a.id), t.gruppo "
               "ORDER BY ifnull(t.momento, '') DESC, t.rowid DESC) AS n "
               "FROM %2 WHERE t.ultimo = 1 AND (%1) "
               "WINDOW w AS (PARTITION BY ifnull(a.unito_a, a.id), t.gruppo)) WHERE n = 1")
        .arg(where,
             // CROSS JOIN keeps the engine to this order: from a range of new
             // rows, never from every pupil's rows.
             drive == AttemptsFirst ? QStringLiteral("main.tentativi AS t CROSS JOIN main.alunni AS a ON a.id = t.alunno")
                                    : QStringLiteral("main.alunni AS a CROSS JOIN main.tentativi AS t ON t.alunno = a.id"));
}

QStringList upgradeStatements()
{
    return {
        QStringLiteral("ALTER TABLE tentativi ADD COLUMN ultimo INTEGER NOT NULL DEFAULT 1"),
        QStringLiteral("UPDATE tentativi SET ultimo = 0 WHERE visita IS NOT NULL AND ") + laterInVisit(QStringLiteral("tentativi")),
        QStringLiteral("CREATE TABLE riepilogo (alunno INTEGER NOT NULL REFERENCES alunni(id), gruppo TEXT NOT NULL, "
                       "prove INTEGER NOT NULL, migliore DOUBLE, ultima DOUBLE, momento DATETIME, riga INTEGER, "
                       "PRIMARY KEY (alunno, gruppo)) WITHOUT ROWID"),
        QStringLiteral("INSERT INTO riepilogo %1 %2").arg(kColumns, countedFromAttempts(QStringLiteral("1"))),
    };
}

bool afterImport(Database &db, qint64 before, DbError *error)
{
    if (!listFresh(db, error))
        return false;
    // Rows already counted that a new row of their visit follows (a visit
    // exported half way, the rest on a later disk): their pupils are counted
    // again whole, since a best or a count cannot be taken back. Found from
    // the new rows, so that an import costs what it brings, not what the
    // register holds.
    const QString superseded = QStringLiteral(
        "SELECT t.rowid AS riga, t.alunno AS alunno FROM main.tentativi AS n "
        "CROSS JOIN main.tentativi AS t ON t.visita = n.visita AND t.gruppo = n.gruppo "
        "WHERE n.rowid > :before AND t.rowid <= :before AND t.ultimo = 1 "
        "AND (ifnull(n.momento, ''), n.rowid) > (ifnull(t.momento, ''), t.rowid)");
    if (!runSince(db,
                  QStringLiteral("INSERT OR IGNORE INTO temp.rifare SELECT ifnull(a.unito_a, a.id) FROM (%1) AS s "
                                 "JOIN main.alunni AS a ON a.id = s.alunno")
                      .arg(superseded),
                  before, error)
        || !runSince(db, QStringLiteral("UPDATE main.tentativi SET ultimo = 0 WHERE rowid IN (SELECT riga FROM (%1))").arg(superseded),
                     before, error)
        || !runSince(db,
                     QStringLiteral("UPDATE main.tentativi SET ultimo = 0 WHERE rowid > :before AND visita IS NOT NULL AND ")
                         + laterInVisit(QStringLiteral("tentativi")),
                     before, error))
        return false;
    // Everyone else: the new attempts added to what was counted.
    const QString merge = QStringLiteral(
        "INSERT INTO main.riepilogo %1 SELECT * FROM (%2) WHERE 1 ON CONFLICT (alunno, gruppo) DO UPDATE SET "
        "prove = prove + excluded.prove, "
        "migliore = CASE WHEN migliore IS NULL OR excluded.migliore > migliore THEN excluded.migliore ELSE migliore END, "
        "ultima = CASE WHEN (ifnull(excluded.momento, ''), excluded.riga) > (ifnull(momento, ''), riga) "
        "THEN excluded.ultima ELSE ultima END, "
        "momento = CASE WHEN (ifnull(excluded.momento, ''), excluded.riga) > (ifnull(momento, ''), riga) "
        "THEN excluded.momento ELSE momento END, "
        "riga = CASE WHEN (ifnull(excluded.momento, ''), excluded.riga) > (ifnull(momento, ''), riga) "
        "THEN excluded.riga ELSE riga END")
                              .arg(kColumns, countedFromAttempts(QStringLiteral(
                                                 "t.rowid > :before AND ifnull(a.unito_a, a.id) NOT IN (SELECT alunno FROM temp.rifare)"),
                                             AttemptsFirst));
    return runSince(db, merge, before, error) && recountListed(db, error);
}

bool recount(Database &db, const QVector<qint64> &pupils, DbError *error)
{
    if (!listFresh(db, error))
        return false;
    for (const qint64 id : pupils) {
        if (!run(db, QStringLiteral("INSERT OR IGNORE INTO temp.rifare (alunno) VALUES (?)"), QVariantList{id}, error))
            return false;
    }
    return recountListed(db, error);
}

} // namespace morvello::summary

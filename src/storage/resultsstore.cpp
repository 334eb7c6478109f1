// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultsstore.h"

#include "schema.h"

#include "serverlink.h"
#include "storage/database.h"
#include "core/numeric.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace morvello {

namespace {

const QString kSaving = QStringLiteral("il salvataggio");
const QString kReading = QStringLiteral("la lettura");

QString quoted(const QString &identifier)
{
    QString s = identifier;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString byName(const Database &db)
{
    // The comparison of the "nome" index, so that the index answers.
    if (db.isServer())
        return schema::serverNameKey(QStringLiteral("\"nome\"")) + QStringLiteral(" = ")
               + schema::serverNameKey(QStringLiteral("?"));
    return QStringLiteral("\"nome\" = ? COLLATE %1").arg(Database::nameCollation());
}

// The row key: SQLite's own rowid in a file, "id" on a server.
QString rowKey(const Database &db)
{
    return db.isServer() ? QStringLiteral("\"id\"") : QStringLiteral("rowid");
}

// A server hands 16-bit columns back as int; the file as the engine's
// 64-bit integers, which the callers know.
QVariant asRead(const QVariant &v)
{
    if (v.isNull())
        return QVariant();
    if (v.typeId() == QMetaType::Int)
        return QVariant(qlonglong(v.toInt()));
    return v;
}

} // namespace

// Statements are prepared once, at their first use, and kept: a save is then
// a lookup and one or two writes on statements the engine already knows.
struct ResultsStore::Prepared
{
    std::unique_ptr<QSqlQuery> find;
    std::unique_ptr<QSqlQuery> insert;
    std::unique_ptr<QSqlQuery> row;
    std::unique_ptr<QSqlQuery> student;
    std::unique_ptr<QSqlQuery> history;
    QHash<int, std::shared_ptr<QSqlQuery>> update; // by group
};

QVariant storedGroupValue(const ResultGroup &group, int which, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    if (which == GroupValue::Date)
        return value;
    if (group.int16[which])
        return QVariant(qlonglong(toInt16(value.toDouble())));
    return QVariant(value.toDouble());
}

ResultsStore::ResultsStore(Database &db) : m_db(db), m_q(std::make_unique<Prepared>()) {}

ResultsStore::~ResultsStore() = default;

bool ResultsStore::isOpen() const
{
    return m_db.isOpen();
}

void ResultsStore::close()
{
    // Statements go before their connection.
    m_q = std::make_unique<Prepared>();
    m_db.close();
}

DbError ResultsStore::notOpen() const
{
    return DbError::make(DbErrorCode::NotOpen, notOpenMessage());
}

static bool prepareOnce(Database &db, std::unique_ptr<QSqlQuery> &q, const QString &sql, const QString &what,
                        DbError *error)
{
    if (q)
        return true;
    auto fresh = std::make_unique<QSqlQuery>(db.connection());
    fresh->setForwardOnly(true);
    if (!db.prepare(*fresh, sql, what, error))
        return false;
    q = std::move(fresh);
    return true;
}

bool ResultsStore::findRow(const QString &nome, qint64 *rowid, DbError *error)
{
    *rowid = -1;
    if (!prepareOnce(m_db, m_q->find,
                     // On a server the row is locked until the save commits: two
                     // computers saving the same pupil take turns.
                     QStringLiteral("SELECT %2 FROM \"tabtesti\" WHERE %1 ORDER BY %2 LIMIT 1%3")
                         .arg(byName(m_db), rowKey(m_db), m_db.isServer() ? QStringLiteral(" FOR UPDATE") : QString()),
                     kSaving, error))
        return false;
    QSqlQuery &q = *m_q->find;
    q.bindValue(0, nome);
    if (!m_db.run(q, kSaving, error))
        return false;
    if (q.next())
        *rowid = q.value(0).toLongLong();
    else if (q.lastError().type() != QSqlError::NoError) {
        if (error)
            *error = m_db.failure(q, kSaving);
        q.finish();
        return false;
    }
    q.finish();
    return true;
}

bool ResultsStore::writeGroup(qint64 rowid, const GroupValues &g, const QDateTime &now, DbError *error,
                              QVariant stored[4])
{
    const ResultGroup &group = resultGroup(g.group);
    std::shared_ptr<QSqlQuery> &q = m_q->update[group.firstColumn()];
    if (!q) {
        QStringList sets;
        for (const QString &c : group.columns)
            sets << quoted(c) + QStringLiteral("=?");
        auto fresh = std::make_shared<QSqlQuery>(m_db.connection());
        if (!m_db.prepare(*fresh,
                          QStringLiteral("UPDATE \"tabtesti\" SET %1 WHERE %2=?").arg(sets.join(QLatin1Char(',')), rowKey(m_db)),
                          kSaving, error))
            return false;
        q = fresh;
    }
    QVariant date = g.date;
    if (date.isNull() || !date.isValid())
        date = group.dateText.isEmpty() ? QVariant(now) : QVariant(group.dateText);
    const QVariant values[4] = {g.count, g.total, g.percent, date};
    for (int k = 0; k < 4; ++k) {
        stored[k] = Database::toStored(storedGroupValue(group, k, values[k]));
        q->bindValue(k, stored[k]);
    }
    q->bindValue(4, rowid);
    if (!m_db.run(*q, kSaving, error))
        return false;
    if (q->numRowsAffected() == 0) {
        if (error)
            *error = DbError::make(DbErrorCode::NoCurrentRecord,
                                   QStringLiteral("La riga dell'alunno non esiste più nell'archivio dei risultati."));
        return false;
    }
    return true;
}

bool ResultsStore::writeHistory(const QString &nome, const GroupValues &g, const QVariant stored[4],
                                const QDateTime &now, const SaveOrigin &origin, bool pending, const QString &given,
                                DbError *error)
{
    if (!prepareOnce(m_db, m_q->history,
                     QStringLiteral("INSERT INTO \"tentativi\" (\"codice\",\"nome\",\"gruppo\",\"conteggio\",\"totale\","
                                    "\"percentuale\",\"data\",\"momento\",\"schermata\",\"visita\",\"computer\") "
                                    "VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
                     kSaving, error))
        return false;
    QSqlQuery &q = *m_q->history;
    const QString code = given.isEmpty() ? schema::newRowCode() : given;
    q.bindValue(0, code);
    q.bindValue(1, nome);
    q.bindValue(2, resultGroup(g.group).columns[0]);
    for (int k = 0; k < 4; ++k)
        q.bindValue(3 + k, stored[k]);
    // To the millisecond: the saves of one visit follow each other quickly.
    q.bindValue(7, now.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
    q.bindValue(8, origin.screen.isEmpty() ? QVariant() : QVariant(origin.screen));
    q.bindValue(9, origin.visit.isEmpty() ? QVariant() : QVariant(origin.visit));
    q.bindValue(10, m_computerId.isEmpty() ? QVariant() : QVariant(m_computerId));
    if (!m_db.run(q, kSaving, error))
        return false;
    if (!pending)
        return true;
    QSqlQuery mark(m_db.connection());
    if (!m_db.prepare(mark, QStringLiteral("INSERT INTO \"%1\" (\"codice\") VALUES (?)").arg(ServerLink::pendingTable()),
                      kSaving, error))
        return false;
    mark.bindValue(0, code);
    return m_db.run(mark, kSaving, error);
}

ResultsStore *ResultsStore::remote() const
{
    return m_link ? m_link->server() : nullptr;
}

bool ResultsStore::lost(const DbError &error) const
{
    if (!m_link || !Database::isConnectionLoss(error))
        return false;
    m_link->dropped();
    return true;
}

int ResultsStore::pendingCount()
{
    return m_link ? m_link->pendingCount() : 0;
}

DbError ResultsStore::save(const QString &nome, const QVector<GroupValues> &groups, const QDateTime &now,
                           const SaveOrigin &origin)
{
    if (m_link && !nome.isEmpty())
        return m_link->save(nome, groups, now, origin);
    return saveHere(nome, groups, now, origin);
}

DbError ResultsStore::saveHere(const QString &nome, const QVector<GroupValues> &groups, const QDateTime &now,
                               const SaveOrigin &origin, bool pending, const QStringList &codes)
{
    // The program never creates a row without a name: nothing to write, and
    // no lock to take.
    if (nome.isEmpty())
        return DbError{};
    if (!m_db.isOpen())
        return notOpen();
    DbError error;
    // Insert and edit go to the disk together or not at all.
    const bool own = !m_db.inTransaction();
    if (own && !m_db.beginTransaction(&error))
        return error;
    auto fail = [&]() {
        if (own)
            m_db.rollback();
        return error;
    };
    qint64 rowid = -1;
    if (!findRow(nome, &rowid, &error))
        return fail();
    if (rowid < 0 && m_db.isServer()) {
        // The first save of a pupil on a server: whichever computer inserts
        // first, the others find its row, locked, and edit it.
        if (!prepareOnce(m_db, m_q->insert,
                         QStringLiteral("INSERT INTO \"tabtesti\" (\"nome\") VALUES (?) ON CONFLICT DO NOTHING"), kSaving,
                         &error))
            return fail();
        m_q->insert->bindValue(0, nome);
        if (!m_db.run(*m_q->insert, kSaving, &error) || !findRow(nome, &rowid, &error))
            return fail();
        if (rowid < 0) {
            error = DbError::make(DbErrorCode::NoCurrentRecord,
                                  QStringLiteral("La riga dell'alunno non esiste più nell'archivio dei risultati."));
            return fail();
        }
    }
    if (rowid < 0) {
        if (!prepareOnce(m_db, m_q->insert, QStringLiteral("INSERT INTO \"tabtesti\" (\"nome\") VALUES (?)"), kSaving,
                         &error))
            return fail();
        m_q->insert->bindValue(0, nome);
        if (m_db.run(*m_q->insert, kSaving, &error)) {
            rowid = m_q->insert->lastInsertId().toLongLong();
        } else {
            // Another copy of the program added the same pupil first: its
            // row is the one to edit.
            if (error.number != DbErrorCode::DuplicateKey)
                return fail();
            const DbError duplicate = error;
            if (!findRow(nome, &rowid, &error))
                return fail();
            if (rowid < 0) {
                error = duplicate;
                return fail();
            }
        }
    }
    for (int i = 0; i < groups.size(); ++i) {
        const GroupValues &g = groups.at(i);
        QVariant stored[4];
        if (!writeGroup(rowid, g, now, &error, stored)
            || !writeHistory(nome, g, stored, now, origin, pending, codes.value(i), &error))
            return fail();
    }
    if (own && !m_db.commit(&error))
        return error;
    return DbError{};
}

std::optional<QVector<QVariant>> ResultsStore::pupilRow(const QString &nome, DbError *error)
{
    if (ResultsStore *server = remote()) {
        DbError e;
        auto row = server->pupilRow(nome, &e);
        if (!lost(e)) {
            if (error)
                *error = e;
            return row;
        }
    }
    DbError local;
    DbError *err = error ? error : &local;
    *err = DbError{};
    if (!m_db.isOpen()) {
        *err = notOpen();
        return std::nullopt;
    }
    if (!prepareOnce(m_db, m_q->row,
                     QStringLiteral("SELECT * FROM \"tabtesti\" WHERE %1 ORDER BY %2 LIMIT 1").arg(byName(m_db), rowKey(m_db)),
                     kReading, err))
        return std::nullopt;
    QSqlQuery &q = *m_q->row;
    q.bindValue(0, nome);
    if (!m_db.run(q, kReading, err))
        return std::nullopt;
    if (!q.next()) {
        if (q.lastError().type() != QSqlError::NoError)
            *err = m_db.failure(q, kReading);
        q.finish();
        return std::nullopt;
    }
    const int n = q.record().count();
    QVector<QVariant> row(n);
    for (int i = 0; i < n; ++i) {
        const QVariant v = q.value(i);
        if (!v.isNull())
            row[i] = asRead(v);
    }
    q.finish();
    for (const ResultGroup &g : resultGroups()) {
        const int date = g.firstColumn() + GroupValue::Date;
        if (date < n)
            row[date] = Database::fromStoredDate(row[date]);
    }
    return row;
}

QStringList ResultsStore::names(DbError *error)
{
    if (ResultsStore *server = remote()) {
        DbError e;
        const QStringList out = server->names(&e);
        if (!lost(e)) {
            if (error)
                *error = e;
            return out;
        }
    }
    if (error)
        *error = DbError{};
    QStringList out;
    if (!m_db.isOpen()) {
        if (error)
            *error = notOpen();
        return out;
    }
    // One query in table order: the menu's list of a whole school's pupils
    // fills at once.
    QSqlQuery q(m_db.connection());
    q.setForwardOnly(true);
    const QString what = QStringLiteral("la lettura dei nomi");
    if (!m_db.prepare(q, QStringLiteral("SELECT \"nome\" FROM \"tabtesti\" ORDER BY %1").arg(rowKey(m_db)), what, error)
        || !m_db.run(q, what, error))
        return out;
    while (q.next())
        out << q.value(0).toString();
    if (q.lastError().type() != QSqlError::NoError && error)
        *error = m_db.failure(q, what);
    return out;
}

DbError ResultsStore::appendStudentRow(const QString &nome, const QString &argomento, double right, double second)
{
    if (ResultsStore *server = remote()) {
        const DbError e = server->appendStudentRow(nome, argomento, right, second);
        if (!lost(e))
            return e;
    }
    if (nome.isEmpty())
        return DbError{};
    if (!m_db.isOpen())
        return notOpen();
    DbError error;
    if (!prepareOnce(m_db, m_q->student,
                     QStringLiteral("INSERT INTO \"studenti\" (\"nome\",\"argomento\",\"rispgiuste\",\"rispsbagliate\") "
                                    "VALUES (?,?,?,?)"),
                     kSaving, &error))
        return error;
    QSqlQuery &q = *m_q->student;
    q.bindValue(0, nome);
    q.bindValue(1, argomento);
    q.bindValue(2, right);
    q.bindValue(3, second);
    // Outside a transaction of ours each statement is its own durable commit.
    if (!m_db.run(q, kSaving, &error))
        return error;
    return DbError{};
}

bool ResultsStore::forEachRow(const std::function<bool(const QVector<QVariant> &)> &row, DbError *error)
{
    // Not retried here when the server goes away halfway: some rows would
    // be handed over twice.
    if (ResultsStore *server = remote()) {
        DbError e;
        const bool ok = server->forEachRow(row, &e);
        lost(e);
        if (error)
            *error = e;
        return ok;
    }
    if (error)
        *error = DbError{};
    if (!m_db.isOpen()) {
        if (error)
            *error = notOpen();
        return false;
    }
    QSqlQuery q(m_db.connection());
    q.setForwardOnly(true);
    if (!m_db.prepare(q, QStringLiteral("SELECT * FROM \"tabtesti\" ORDER BY %1").arg(rowKey(m_db)), kReading, error)
        || !m_db.run(q, kReading, error))
        return false;
    const int n = q.record().count();
    QVector<QVariant> values(n);
    while (q.next()) {
        for (int i = 0; i < n; ++i)
            values[i] = m_db.isServer() ? asRead(q.value(i)) : q.value(i);
        if (!row(values))
            return true;
    }
    // A read that stopped on a damaged page is not the end of the table.
    if (q.lastError().type() != QSqlError::NoError) {
        if (error)
            *error = m_db.failure(q, kReading);
        return false;
    }
    return true;
}

QStringList ResultsStore::tableColumns(const QString &schemaName, DbError *error)
{
    QStringList names;
    QSqlQuery q(m_db.connection());
    q.setForwardOnly(true);
    const QString what = QStringLiteral("la copia dei risultati");
    if (!m_db.prepare(q, QStringLiteral("PRAGMA %1.table_info(\"tabtesti\")").arg(quoted(schemaName)), what, error)
        || !m_db.run(q, what, error))
        return {};
    while (q.next())
        names << q.value(1).toString();
    return names;
}

DbError ResultsStore::appendAllRowsTo(const QString &otherFile, int *rows, int *historyRows)
{
    if (rows)
        *rows = 0;
    if (historyRows)
        *historyRows = 0;
    if (ResultsStore *server = remote()) {
        const DbError e = server->appendAllRowsTo(otherFile, rows, historyRows);
        if (!lost(e))
            return e;
    }
    if (!m_db.isOpen())
        return notOpen();
    if (m_db.isServer())
        return copyServerRowsTo(otherFile, rows, historyRows);
    const QString what = QStringLiteral("la copia dei risultati");
    DbError error;
    // The other file joins this connection under its own name; the rows
    // then travel inside the engine, in one statement.
    if (!m_db.attach(otherFile, QStringLiteral("disco"), &error))
        return error;
    auto detach = [this] { m_db.detach(QStringLiteral("disco")); };
    // Column j goes into column j, whatever the other file calls it.
    const int n = int(schema::tabtestiColumns().size());
    const QStringList from = tableColumns(QStringLiteral("main"), &error);
    const QStringList to = error.isError() ? QStringList() : tableColumns(QStringLiteral("disco"), &error);
    if (!error.isError() && (from.size() < n || to.size() < n))
        error = DbError::make(DbErrorCode::TableNotFound,
                              QStringLiteral("Nel file \"%1\" manca la tabella dei risultati.").arg(otherFile));
    if (error.isError()) {
        detach();
        return error;
    }
    QStringList source;
    QStringList target;
    for (int j = 0; j < n; ++j) {
        source << quoted(from.at(j));
        target << quoted(to.at(j));
    }
    bool ok = m_db.exec(QStringLiteral("PRAGMA \"disco\".synchronous=FULL"), {}, &error)
              && m_db.beginTransaction(&error);
    if (ok) {
        QSqlQuery copy(m_db.connection());
        ok = m_db.prepare(copy,
                          QStringLiteral("INSERT INTO \"disco\".\"tabtesti\" (%1) SELECT %2 FROM \"main\".\"tabtesti\" "
                                         "ORDER BY rowid")
                              .arg(target.join(QLatin1Char(',')), source.join(QLatin1Char(','))),
                          what, &error)
             && m_db.run(copy, what, &error);
        if (ok && rows)
            *rows = copy.numRowsAffected();
        copy.finish();
        // The history: the rows the disk has not got yet, each once however
        // often the same computer exports (the codes are unique).
        for (const QString &sql : schema::historyTableStatements(QStringLiteral("disco")))
            ok = ok && m_db.exec(sql, {}, &error);
        if (ok) {
            QStringList cols;
            for (const schema::Column &c : schema::tentativiColumns())
                cols << quoted(c.name);
            const QString list = cols.join(QLatin1Char(','));
            QStringList fromT;
            for (const QString &c : cols)
                fromT << QStringLiteral("t.") + c;
            QSqlQuery history(m_db.connection());
            ok = m_db.prepare(history,
                              QStringLiteral("INSERT INTO \"disco\".\"tentativi\" (%1) SELECT %2 FROM \"main\".\"tentativi\" "
                                             "AS t WHERE NOT EXISTS (SELECT 1 FROM \"disco\".\"tentativi\" AS d WHERE "
                                             "d.\"codice\" = t.\"codice\") ORDER BY t.rowid")
                                  .arg(list, fromT.join(QLatin1Char(','))),
                              what, &error)
                 && m_db.run(history, what, &error);
            if (ok && historyRows)
                *historyRows = history.numRowsAffected();
            history.finish();
        }
        if (ok)
            ok = m_db.commit(&error);
        else
            m_db.rollback();
    }
    detach();
    if (!ok) {
        if (rows)
            *rows = 0;
        if (historyRows)
            *historyRows = 0;
    }
    return ok ? DbError{} : error;
}

DbError ResultsStore::copyServerRowsTo(const QString &otherFile, int *rows, int *historyRows)
{
    // A server's rows cannot be attached to a file: they travel through
    // the program, into one transaction on the other file.
    const QString what = QStringLiteral("la copia dei risultati");
    DbError error;
    std::unique_ptr<Database> disk = Database::open(otherFile, &error);
    if (!disk)
        return error;
    ResultsStore target(*disk);
    const int n = int(schema::tabtestiColumns().size());
    const QStringList to = target.tableColumns(QStringLiteral("main"), &error);
    if (error.isError())
        return error;
    if (to.size() < n)
        return DbError::make(DbErrorCode::TableNotFound,
                             QStringLiteral("Nel file \"%1\" manca la tabella dei risultati.").arg(otherFile));
    QStringList target34;
    QStringList marks;
    for (int j = 0; j < n; ++j) {
        target34 << quoted(to.at(j));
        marks << QStringLiteral("?");
    }
    if (!disk->exec(QStringLiteral("PRAGMA synchronous=FULL"), {}, &error) || !disk->beginTransaction(&error))
        return error;
    bool ok = true;
    for (const QString &sql : schema::historyTableStatements())
        ok = ok && disk->exec(sql, {}, &error);
    int copied = 0;
    int copiedHistory = 0;
    QSqlQuery insert(disk->connection());
    ok = ok
         && disk->prepare(insert,
                          QStringLiteral("INSERT INTO \"tabtesti\" (%1) VALUES (%2)")
                              .arg(target34.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                          what, &error);
    DbError readError;
    if (ok)
        ok = forEachRow(
            [&](const QVector<QVariant> &values) {
                for (int j = 0; j < n; ++j)
                    insert.bindValue(j, values.value(j));
                if (!disk->run(insert, what, &error))
                    return false;
                ++copied;
                return true;
            },
            &readError);
    ok = ok && !error.isError() && !readError.isError();
    if (readError.isError())
        error = readError;
    if (ok) {
        QStringList cols;
        QStringList holes;
        for (const schema::Column &c : schema::tentativiColumns()) {
            cols << quoted(c.name);
            holes << QStringLiteral("?");
        }
        QSqlQuery read(m_db.connection());
        read.setForwardOnly(true);
        QSqlQuery add(disk->connection());
        ok = m_db.prepare(read,
                          QStringLiteral("SELECT %1 FROM \"tentativi\" ORDER BY \"ordine\"").arg(cols.join(QLatin1Char(','))),
                          what, &error)
             && m_db.run(read, what, &error)
             && disk->prepare(add,
                              QStringLiteral("INSERT INTO \"tentativi\" (%1) SELECT %2 WHERE NOT EXISTS (SELECT 1 FROM "
                                             "\"tentativi\" WHERE \"codice\" = ?)")
                                  .arg(cols.join(QLatin1Char(',')), holes.join(QLatin1Char(','))),
                              what, &error);
        const int m = int(cols.size());
        while (ok && read.next()) {
            for (int j = 0; j < m; ++j)
                add.bindValue(j, asRead(read.value(j)));
            add.bindValue(m, read.value(0));
            ok = disk->run(add, what, &error);
            if (ok)
                copiedHistory += add.numRowsAffected();
        }
        if (ok && read.lastError().type() != QSqlError::NoError) {
            error = m_db.failure(read, what);
            ok = false;
        }
    }
    insert.finish();
    if (ok)
        ok = disk->commit(&error);
    else
        disk->rollback();
    disk->close();
    if (ok) {
        if (rows)
            *rows = copied;
        if (historyRows)
            *historyRows = copiedHistory;
    }
    return ok ? DbError{} : error;
}

} // namespace morvello

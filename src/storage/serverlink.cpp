// SPDX-License-Identifier: GPL-3.0-or-later
#include "serverlink.h"

#include "database.h"
#include "resultsstore.h"
#include "schema.h"

#include "core/ticker.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

namespace morvello {

namespace {

constexpr int kCheckEveryMs = 60 * 1000;
const QString kSending = QStringLiteral("l'invio dei risultati in attesa");

const ResultGroup *groupByFirstColumn(const QString &name)
{
    for (const ResultGroup &g : resultGroups())
        if (g.columns[0] == name)
            return &g;
    return nullptr;
}

// The letters A-Z folded, as both archives compare names.
QString nameKey(const QString &nome)
{
    QString k = nome;
    for (QChar &c : k)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return k;
}

} // namespace

ServerLink::ServerLink(const ServerConfig &config, ResultsStore &local, QObject *parent)
    : QObject(parent), m_config(config), m_local(local)
{
}

ServerLink::~ServerLink()
{
    // A check still waiting for its answer is waited for (2 s at most):
    // its thread must not outlive the program.
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
    m_serverStore.reset();
    m_serverDb.reset();
}

bool ServerLink::online() const
{
    return m_serverStore && m_serverDb && m_serverDb->isOpen();
}

DbError ServerLink::checkServerArchive(Database &db, const ServerConfig &config)
{
    QSqlQuery q(db.connection());
    if (!q.exec(QStringLiteral("SELECT max(\"versione\") FROM \"morvello_schema\""))) {
        const QString state = q.lastError().nativeErrorCode();
        if (state == QLatin1String("42P01"))
            return DbError::make(DbErrorCode::TableNotFound,
                                 QStringLiteral("Il server dei risultati \"%1\" contiene l'archivio di un altro programma, "
                                                "non quello di Morvello: i risultati restano in questo computer. "
                                                "Il tecnico della scuola può preparare l'archivio con "
                                                "morvello-server-setup.")
                                     .arg(config.shownName()));
        return db.failure(q, QStringLiteral("il controllo dell'archivio"));
    }
    const int version = q.next() ? q.value(0).toInt() : 0;
    if (version > schema::kServerSchemaVersion)
        return DbError::make(DbErrorCode::CannotOpen,
                             QStringLiteral("L'archivio sul server dei risultati \"%1\" è di una versione più recente di "
                                            "Morvello: questo computer non può usarlo e tiene i risultati per sé. "
                                            "Bisogna aggiornare Morvello su questo computer.")
                                 .arg(config.shownName()));
    if (version < 1)
        return DbError::make(DbErrorCode::TableNotFound,
                             QStringLiteral("L'archivio sul server dei risultati \"%1\" non è stato preparato del tutto: "
                                            "i risultati restano in questo computer.")
                                 .arg(config.shownName()));
    return DbError{};
}

void ServerLink::start(TickSource *ticks)
{
    if (!m_ticker && ticks) {
        m_ticker = ticks->newTicker(this);
        connect(m_ticker, &Ticker::timeout, this, [this] {
            if (!online())
                probeInBackground();
        });
        m_ticker->start(kCheckEveryMs);
    }
    probeInBackground();
}

void ServerLink::probeInBackground()
{
    if (m_probing || online())
        return;
    m_probing = true;
    // The wait for a server that does not answer (up to 2 s) is the worker's:
    // the screens never see it.
    auto result = std::make_shared<DbError>();
    const ServerConfig config = m_config;
    QThread *worker = QThread::create([config, result] {
        std::unique_ptr<Database> db = Database::openServer(config, result.get());
        if (db) {
            *result = checkServerArchive(*db, config);
            db->close();
        }
    });
    m_worker = worker;
    connect(worker, &QThread::finished, this, [this, worker, result] {
        worker->deleteLater();
        m_worker = nullptr;
        m_probing = false;
        probed(*result);
    });
    worker->start();
}

void ServerLink::probed(const DbError &error)
{
    if (error.isError()) {
        tellOnce(error);
        return;
    }
    DbError e;
    if (!connectNow(&e))
        tellOnce(e);
}

void ServerLink::tellOnce(const DbError &error)
{
    // A server that is simply off is no news: the pupil's results are safe
    // here. One that refuses us is said once, when it first does.
    if (error.number == DbErrorCode::ConnectionFailed || !m_tell)
        return;
    QString key = error.message;
    key.truncate(key.indexOf(QLatin1Char('\n')) < 0 ? key.size() : key.indexOf(QLatin1Char('\n')));
    if (m_told.contains(key))
        return;
    m_told.insert(key);
    m_tell(error.message);
}

bool ServerLink::connectNow(DbError *error)
{
    if (online())
        return true;
    DbError e;
    std::unique_ptr<Database> db = Database::openServer(m_config, &e);
    if (db)
        e = checkServerArchive(*db, m_config);
    if (e.isError()) {
        if (error)
            *error = e;
        return false;
    }
    m_serverDb = std::move(db);
    m_serverStore = std::make_unique<ResultsStore>(*m_serverDb);
    m_serverStore->setComputerId(m_local.computerId());
    e = sendPending();
    if (e.isError()) {
        // Still waiting; the next check tries again.
        dropped();
        if (error)
            *error = e;
        return false;
    }
    emit onlineChanged(true);
    return true;
}

void ServerLink::dropped()
{
    if (!m_serverDb)
        return;
    m_serverStore.reset();
    m_serverDb->close();
    m_serverDb.reset();
    emit onlineChanged(false);
}

bool ServerLink::ensurePendingTable(DbError *error)
{
    if (m_pendingTableReady)
        return true;
    // Kept beside the history in the same file, so that a row and its mark
    // are written together: outside the file's version steps, since only a
    // computer with a server ever has it.
    m_pendingTableReady = m_local.database().exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"%1\" (\"codice\" TEXT PRIMARY KEY)").arg(pendingTable()), {}, error);
    return m_pendingTableReady;
}

DbError ServerLink::save(const QString &nome, const QVector<GroupValues> &groups, const QDateTime &now,
                         const SaveOrigin &origin)
{
    QStringList codes;
    for (int i = 0; i < groups.size(); ++i)
        codes << schema::newRowCode();
    if (online()) {
        const DbError e = m_serverStore->saveHere(nome, groups, now, origin, false, codes);
        if (!e.isError())
            return e;
        // Gone in the middle, or refusing: the server rolled it back, the
        // file takes it and it waits there; a refusal is said once.
        tellOnce(e);
        dropped();
    }
    DbError e;
    if (!ensurePendingTable(&e))
        return e;
    return m_local.saveHere(nome, groups, now, origin, true, codes);
}

int ServerLink::pendingCount()
{
    if (!m_local.isOpen())
        return 0;
    QSqlQuery q(m_local.database().connection());
    // No table yet: nothing ever waited.
    if (!q.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(pendingTable())) || !q.next())
        return 0;
    return q.value(0).toInt();
}

DbError ServerLink::sendPending(int *sent)
{
    if (sent)
        *sent = 0;
    if (!m_serverDb || !m_serverDb->isOpen())
        return DbError::make(DbErrorCode::ConnectionFailed, QStringLiteral("Il server dei risultati non è collegato."));
    Database &local = m_local.database();
    Database &server = *m_serverDb;
    DbError error;
    QStringList cols;
    QStringList holes;
    for (const schema::Column &c : schema::tentativiColumns()) {
        cols << schema::quotedName(c.name);
        holes << QStringLiteral("?");
    }
    struct Row {
        QVector<QVariant> values;
    };
    QVector<Row> rows;
    {
        QSqlQuery q(local.connection());
        q.setForwardOnly(true);
        QStringList fromT;
        for (const QString &c : cols)
            fromT << QStringLiteral("t.") + c;
        if (!q.exec(QStringLiteral("SELECT %1 FROM \"tentativi\" AS t JOIN \"%2\" AS a ON a.\"codice\" = t.\"codice\" "
                                   "ORDER BY t.rowid")
                        .arg(fromT.join(QLatin1Char(',')), pendingTable()))) {
            // No table: nothing was ever kept back.
            if (q.lastError().databaseText().contains(QLatin1String("no such table")))
                return DbError{};
            return local.failure(q, kSending);
        }
        while (q.next()) {
            Row r;
            for (int j = 0; j < cols.size(); ++j)
                r.values << q.value(j);
            rows << r;
        }
    }
    if (rows.isEmpty())
        return DbError{};

    if (!server.beginTransaction(&error))
        return error;
    auto fail = [&]() {
        server.rollback();
        return error;
    };
    QSqlQuery add(server.connection());
    if (!server.prepare(add,
                        QStringLiteral("INSERT INTO \"tentativi\" (%1) VALUES (%2) ON CONFLICT (\"codice\") DO NOTHING")
                            .arg(cols.join(QLatin1Char(',')), holes.join(QLatin1Char(','))),
                        kSending, &error))
        return fail();
    // The pupils and groups whose newest row may now be one of these.
    QHash<QPair<QString, QString>, QString> touched; // (name, group) -> the name as saved
    QSet<QString> codes;
    for (const Row &r : rows) {
        for (int j = 0; j < r.values.size(); ++j)
            add.bindValue(j, r.values.at(j));
        if (!server.run(add, kSending, &error))
            return fail();
        const QString nome = r.values.at(1).toString();
        touched.insert({nameKey(nome), r.values.at(2).toString()}, nome);
        codes.insert(r.values.at(0).toString());
    }
    add.finish();
    const QString key = schema::serverNameKey(QStringLiteral("\"nome\""));
    const QString keyOf = schema::serverNameKey(QStringLiteral("?"));
    QSqlQuery newest(server.connection());
    QSqlQuery makeRow(server.connection());
    QSqlQuery lock(server.connection());
    if (!server.prepare(newest,
                        QStringLiteral("SELECT \"codice\", \"conteggio\", \"totale\", \"percentuale\", \"data\" FROM "
                                       "\"tentativi\" WHERE %1 = %2 AND \"gruppo\" = ? "
                                       "ORDER BY \"momento\" DESC, \"ordine\" DESC LIMIT 1")
                            .arg(key, keyOf),
                        kSending, &error)
        || !server.prepare(makeRow, QStringLiteral("INSERT INTO \"tabtesti\" (\"nome\") VALUES (?) ON CONFLICT DO NOTHING"),
                           kSending, &error)
        || !server.prepare(lock, QStringLiteral("SELECT \"id\" FROM \"tabtesti\" WHERE %1 = %2 ORDER BY \"id\" LIMIT 1 FOR UPDATE")
                                     .arg(key, keyOf),
                           kSending, &error))
        return fail();
    for (auto it = touched.cbegin(); it != touched.cend(); ++it) {
        const ResultGroup *group = groupByFirstColumn(it.key().second);
        if (!group)
            continue;
        const QString nome = it.value();
        // The pupil's row first, locked: a computer saving the same pupil
        // meanwhile waits, so the newest row read next stays the newest.
        makeRow.bindValue(0, nome);
        lock.bindValue(0, nome);
        if (!server.run(makeRow, kSending, &error) || !server.run(lock, kSending, &error))
            return fail();
        if (!lock.next())
            continue;
        const qlonglong id = lock.value(0).toLongLong();
        lock.finish();
        newest.bindValue(0, nome);
        newest.bindValue(1, group->columns[0]);
        if (!server.run(newest, kSending, &error))
            return fail();
        if (!newest.next() || !codes.contains(newest.value(0).toString())) {
            newest.finish();
            continue; // the server's own save is the newer
        }
        QVariant values[4];
        for (int k = 0; k < 4; ++k)
            values[k] = newest.value(1 + k);
        newest.finish();
        QStringList sets;
        for (const QString &c : group->columns)
            sets << schema::quotedName(c) + QStringLiteral("=?");
        QSqlQuery update(server.connection());
        if (!server.prepare(update, QStringLiteral("UPDATE \"tabtesti\" SET %1 WHERE \"id\"=?").arg(sets.join(QLatin1Char(','))),
                            kSending, &error))
            return fail();
        for (int k = 0; k < 4; ++k) {
            QVariant v = values[k];
            if (group->int16[k] && !v.isNull())
                v = QVariant(qlonglong(qRound64(v.toDouble())));
            update.bindValue(k, v);
        }
        update.bindValue(4, id);
        if (!server.run(update, kSending, &error))
            return fail();
    }
    if (!server.commit(&error))
        return error;
    // Only now are they off the list: a run stopped before this line sends
    // them again, and the server keeps each code once.
    if (!local.beginTransaction(&error))
        return error;
    QSqlQuery done(local.connection());
    if (!local.prepare(done, QStringLiteral("DELETE FROM \"%1\" WHERE \"codice\" = ?").arg(pendingTable()), kSending, &error)) {
        local.rollback();
        return error;
    }
    for (const QString &code : std::as_const(codes)) {
        done.bindValue(0, code);
        if (!local.run(done, kSending, &error)) {
            local.rollback();
            return error;
        }
    }
    done.finish();
    if (!local.commit(&error))
        return error;
    if (sent)
        *sent = int(codes.size());
    return DbError{};
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "serversetup.h"

#include "database.h"
#include "schema.h"
#include "serverlink.h"

#include <QRegularExpression>
#include <QSqlQuery>

namespace morvello {

namespace {

// Names become identifiers in statements that cannot take bound values
// (CREATE ROLE, GRANT): only plain ones are accepted.
bool plainName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    return plain.match(name).hasMatch();
}

bool run(Database &db, const QStringList &statements, DbError *error)
{
    for (const QString &sql : statements)
        if (!db.exec(sql, {}, error))
            return false;
    return true;
}

// One value of a query with bound values; invalid when there is no row.
QVariant single(Database &db, const QString &sql, const QVariantList &values, DbError *error)
{
    QSqlQuery q(db.connection());
    const QString what = QStringLiteral("la preparazione del server");
    if (!db.prepare(q, sql, what, error))
        return QVariant();
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!db.run(q, what, error) || !q.next())
        return QVariant();
    return q.value(0);
}

} // namespace

DbError setUpServer(const ServerConfig &admin, const ServerSetup &setup, QStringList *report)
{
    QStringList done;
    for (const QString &name : {setup.database, setup.pupilsRole, setup.teacherRole})
        if (!plainName(name))
            return DbError::make(DbErrorCode::Generic,
                                 QStringLiteral("\"%1\" non va bene come nome: si usano lettere minuscole senza accenti, "
                                                "cifre e \"_\".")
                                     .arg(name));
    if (setup.pupilsRole == setup.teacherRole)
        return DbError::make(DbErrorCode::Generic, QStringLiteral("I computer degli alunni e il docente hanno bisogno di due nomi diversi."));
    DbError error;
    {
        std::unique_ptr<Database> server = Database::openServer(admin, &error);
        if (!server)
            return error;
        const QVariant exists = single(*server, QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"),
                                       {setup.database}, &error);
        if (error.isError())
            return error;
        if (!exists.isValid()) {
            if (!server->exec(QStringLiteral("CREATE DATABASE %1").arg(schema::quotedName(setup.database)), {}, &error))
                return error;
            done << QStringLiteral("Creato l'archivio \"%1\".").arg(setup.database);
        }
        for (const QString &role : {setup.pupilsRole, setup.teacherRole}) {
            const QVariant has = single(*server, QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?"), {role}, &error);
            if (error.isError())
                return error;
            if (has.isValid())
                continue;
            if (!server->exec(QStringLiteral("CREATE ROLE %1 LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE NOREPLICATION")
                                  .arg(schema::quotedName(role)),
                              {}, &error))
                return error;
            done << QStringLiteral("Creato il ruolo \"%1\" (la password si assegna con ALTER ROLE).").arg(role);
        }
    }

    ServerConfig here = admin;
    here.database = setup.database;
    here.service.clear();
    std::unique_ptr<Database> db = Database::openServer(here, &error);
    if (!db)
        return error;
    const QVariant ours = single(*db, QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = 'public' AND tablename = ?"),
                                 {QStringLiteral("morvello_schema")}, &error);
    if (error.isError())
        return error;
    if (ours.isValid()) {
        error = ServerLink::checkServerArchive(*db, here);
        if (error.isError())
            return error;
    } else {
        const QVariant others = single(*db, QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'public'"), {},
                                       &error);
        if (error.isError())
            return error;
        if (others.toInt() > 0)
            return DbError::make(DbErrorCode::Generic,
                                 QStringLiteral("L'archivio \"%1\" contiene già le tabelle di un altro programma: non è "
                                                "stato toccato. Scegliere un altro nome.")
                                     .arg(setup.database));
        // The tables all at once or not at all.
        if (!db->beginTransaction(&error))
            return error;
        if (!run(*db, schema::serverSchemaStatements(), &error)) {
            db->rollback();
            return error;
        }
        if (!db->commit(&error))
            return error;
        done << QStringLiteral("Create le tabelle dei risultati in \"%1\".").arg(setup.database);
    }
    const QString database = schema::quotedName(setup.database);
    QStringList rights = schema::serverGrantStatements(setup.pupilsRole, setup.teacherRole);
    rights << QStringLiteral("REVOKE ALL ON DATABASE %1 FROM PUBLIC").arg(database)
           << QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2, %3")
                  .arg(database, schema::quotedName(setup.pupilsRole), schema::quotedName(setup.teacherRole));
    if (!run(*db, rights, &error))
        return error;
    done << QStringLiteral("Diritti assegnati: \"%1\" legge, aggiunge e aggiorna i risultati; \"%2\" legge tutto.")
                .arg(setup.pupilsRole, setup.teacherRole);
    if (report)
        *report = done;
    return DbError{};
}

} // namespace morvello

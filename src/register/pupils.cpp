// SPDX-License-Identifier: GPL-3.0-or-later
#include "pupils.h"

#include "register.h"
#include "summary.h"
#include "core/pupilname.h"
#include "storage/database.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>

namespace morvello {

namespace {

const QString kWhat = QStringLiteral("la modifica del registro");

// A name with accents, apostrophes and spaces taken away: two names with the
// same skeleton are worth a look.
QString skeleton(const QString &name)
{
    const QString plain = name.normalized(QString::NormalizationForm_D);
    QString out;
    for (const QChar c : plain) {
        if (c.isLetterOrNumber() && c.category() != QChar::Mark_NonSpacing)
            out += c.toUpper();
    }
    return out;
}

} // namespace

DbError joinPupils(Register &reg, qint64 name, qint64 into)
{
    Database &db = reg.database();
    DbError error;
    if (name == into)
        return DbError::make(DbErrorCode::Generic, QStringLiteral("Un alunno non si unisce a sé stesso."));
    QSqlQuery target(db.connection());
    if (!db.prepare(target, QStringLiteral("SELECT coalesce(unito_a, id) FROM alunni WHERE id = ?"), kWhat, &error))
        return error;
    target.bindValue(0, into);
    if (!db.run(target, kWhat, &error))
        return error;
    if (!target.next())
        return DbError::make(DbErrorCode::NoCurrentRecord, QStringLiteral("L'alunno scelto non è nel registro."));
    const qint64 root = target.value(0).toLongLong();
    target.finish();
    if (root == name)
        return DbError::make(DbErrorCode::Generic, QStringLiteral("Un alunno non si unisce a sé stesso."));
    // The names already joined to `name` follow it, so that no pupil is
    // joined to a joined one; the class view's numbers follow in the same
    // transaction.
    if (!db.beginTransaction(&error))
        return error;
    if (!db.exec(QStringLiteral("UPDATE alunni SET unito_a = ? WHERE id = ? OR unito_a = ?"), {root, name, name}, &error)
        || !summary::recount(db, {name, root}, &error)) {
        db.rollback();
        return error;
    }
    db.commit(&error);
    return error;
}

DbError separatePupil(Register &reg, qint64 name)
{
    Database &db = reg.database();
    DbError error;
    QSqlQuery was(db.connection());
    if (!db.prepare(was, QStringLiteral("SELECT unito_a FROM alunni WHERE id = ?"), kWhat, &error))
        return error;
    was.bindValue(0, name);
    if (!db.run(was, kWhat, &error))
        return error;
    const qint64 root = was.next() ? was.value(0).toLongLong() : 0;
    was.finish();
    if (!db.beginTransaction(&error))
        return error;
    if (!db.exec(QStringLiteral("UPDATE alunni SET unito_a = NULL WHERE id = ?"), {name}, &error)
        || !summary::recount(db, {name, root}, &error)) {
        db.rollback();
        return error;
    }
    db.commit(&error);
    return error;
}

QVector<JoinedName> joinedTo(Register &reg, qint64 pupil, DbError *error)
{
    Database &db = reg.database();
    QVector<JoinedName> list;
    QSqlQuery q(db.connection());
    if (!db.prepare(q, QStringLiteral("SELECT id, nome FROM alunni WHERE unito_a = ? ORDER BY nome"), kWhat, error))
        return {};
    q.bindValue(0, pupil);
    if (!db.run(q, kWhat, error))
        return {};
    while (q.next())
        list.append({q.value(0).toLongLong(), q.value(1).toString()});
    return list;
}

DbError setHidden(Register &reg, qint64 pupil, bool hidden)
{
    DbError error;
    reg.database().exec(QStringLiteral("UPDATE alunni SET nascosto = ? WHERE id = ?"), {hidden ? 1 : 0, pupil}, &error);
    return error;
}

QVector<LookAlike> lookAlikes(Register &reg, DbError *error)
{
    Database &db = reg.database();
    QSqlQuery q(db.connection());
    if (!db.prepare(q, QStringLiteral("SELECT id, nome FROM alunni WHERE unito_a IS NULL ORDER BY nome"), kWhat, error)
        || !db.run(q, kWhat, error))
        return {};
    QHash<QString, JoinedName> first;
    QVector<LookAlike> pairs;
    while (q.next()) {
        const JoinedName n{q.value(0).toLongLong(), q.value(1).toString()};
        const QString key = skeleton(n.name);
        if (first.contains(key))
            pairs.append({first.value(key), n});
        else
            first.insert(key, n);
    }
    return pairs;
}

QVector<FlaggedNames> flaggedNames(Register &reg, DbError *error)
{
    Database &db = reg.database();
    QVector<FlaggedNames> list;
    {
        QSqlQuery q(db.connection());
        q.setForwardOnly(true);
        if (!db.prepare(q, QStringLiteral("SELECT nomi, file FROM nomi_segnalati ORDER BY nomi"), kWhat, error)
            || !db.run(q, kWhat, error))
            return {};
        while (q.next())
            list.append({q.value(0).toString().split(QChar(0x1f)), q.value(1).toString(), {}});
    }
    QSqlQuery pupil(db.connection());
    if (!db.prepare(pupil,
                    QStringLiteral("SELECT b.id, b.nome FROM alunni AS a JOIN alunni AS b ON b.id = ifnull(a.unito_a, a.id) "
                                   "WHERE a.nome = ?"),
                    kWhat, error))
        return {};
    for (FlaggedNames &f : list) {
        for (const QString &name : std::as_const(f.names)) {
            pupil.bindValue(0, normalisedPupilName(name));
            if (!db.run(pupil, kWhat, error))
                return {};
            if (pupil.next()) {
                const JoinedName p{pupil.value(0).toLongLong(), pupil.value(1).toString()};
                if (std::none_of(f.pupils.cbegin(), f.pupils.cend(), [&](const JoinedName &o) { return o.id == p.id; }))
                    f.pupils.append(p);
            }
            pupil.finish();
        }
    }
    return list;
}

} // namespace morvello

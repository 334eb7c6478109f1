// SPDX-License-Identifier: GPL-3.0-or-later
#include "preferences.h"

#include "database.h"

#include <QSqlQuery>
#include <QVariant>

namespace morvello {

bool PupilPreferences::legibleText(const QString &nome, DbError *error) const
{
    DbError e;
    QSqlQuery q(m_db.connection());
    const QString what = QStringLiteral("lettura delle preferenze");
    bool on = false;
    if (m_db.prepare(q, QStringLiteral("SELECT \"testoleggibile\" FROM \"preferenze\" WHERE \"nome\" = ?"), what, &e)) {
        q.addBindValue(nome);
        if (m_db.run(q, what, &e) && q.next())
            on = q.value(0).toInt() != 0;
    }
    if (error)
        *error = e;
    return on;
}

DbError PupilPreferences::setLegibleText(const QString &nome, bool on)
{
    DbError e;
    m_db.exec(QStringLiteral("INSERT INTO \"preferenze\" (\"nome\", \"testoleggibile\") VALUES (?, ?) "
                             "ON CONFLICT(\"nome\") DO UPDATE SET \"testoleggibile\" = excluded.\"testoleggibile\""),
              {nome, on ? 1 : 0}, &e);
    return e;
}

} // namespace morvello

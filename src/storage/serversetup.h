// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "serverconfig.h"

#include "core/dberror.h"

#include <QStringList>

namespace morvello {

// What morvello-server-setup does on a school's PostgreSQL server, as one
// of its superusers (`admin`, whose database is only where it connects
// first): the archive's database when missing, its tables, and two login
// roles, made when missing, without passwords (the technician gives them
// with ALTER ROLE ... PASSWORD, or uses certificates):
//  - `pupils`, the lab's computers: read, add and update the results and
//    the history, add the registrations; no deletion, no change of tables;
//  - `teacher`, the register: reads everything.
// Run again, it only sets the rights again. A database holding another
// program's tables, or an archive of a newer version, is left untouched.
// *report gets what was done, one Italian line each.
struct ServerSetup
{
    QString database = QStringLiteral("morvello");
    QString pupilsRole = QStringLiteral("morvello_alunni");
    QString teacherRole = QStringLiteral("morvello_docente");
};
DbError setUpServer(const ServerConfig &admin, const ServerSetup &setup, QStringList *report = nullptr);

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/dberror.h"

#include <QString>

namespace morvello {

class Database;

// What a pupil chose about how the program looks, kept in the archive's
// table "preferenze" under the pupil's name, so that it follows the pupil
// from run to run on this computer.
class PupilPreferences
{
public:
    explicit PupilPreferences(Database &db) : m_db(db) {}

    // Whether the pupil asked for the high-legibility look; false for a
    // pupil who never chose, and when the archive cannot say (error set).
    bool legibleText(const QString &nome, DbError *error = nullptr) const;
    DbError setLegibleText(const QString &nome, bool on);

private:
    Database &m_db;
};

} // namespace morvello

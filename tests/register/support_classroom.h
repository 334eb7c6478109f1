// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Classroom computers for the register's tests: each keeps a real results
// archive, saves as the pupil program does, and exports onto "disks".
#include "core/resultgroups.h"
#include "storage/database.h"
#include "storage/resultsstore.h"

#include <QDateTime>
#include <QString>
#include <memory>

namespace morvello::test {

class ClassroomComputer
{
public:
    // A computer with its archive at `archive` (created) and its own id.
    ClassroomComputer(const QString &archive, const QString &computerId);
    ~ClassroomComputer();

    bool ok() const { return m_db != nullptr; }
    QString archive() const { return m_path; }
    // A pupil's visit: every score is one save, the last one its attempt.
    // A visit id given again goes on with that visit (a look at the archive
    // and back, an export in between).
    bool visit(const QString &pupil, FieldGroup group, const QVector<Score> &saves, const QDateTime &start,
               const QString &visitId = {});
    // Exports onto the disk file (made from the template when missing).
    bool exportTo(const QString &diskFile);
    void close();

private:
    QString m_path;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<ResultsStore> m_store;
};

// An export disk of a version before the history of attempts: tabtesti
// only, one row per pupil holding the groups given for them (name, group,
// score, date), the whole appended `times` times as repeated exports did.
struct OldRow
{
    QString pupil;
    FieldGroup group;
    Score score;
    QDateTime when;
};
bool writeOldExport(const QString &diskFile, const QVector<OldRow> &rows, int times = 1);

} // namespace morvello::test

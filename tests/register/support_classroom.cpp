// SPDX-License-Identifier: GPL-3.0-or-later
#include "support_classroom.h"

#include "storage/schema.h"

#include <QFileInfo>
#include <QUuid>

namespace morvello::test {

ClassroomComputer::ClassroomComputer(const QString &archive, const QString &computerId)
    : m_path(archive)
{
    if (!Database::create(archive, schema::resultsDatabaseStatements()))
        return;
    m_db = Database::open(archive);
    if (!m_db)
        return;
    m_store = std::make_unique<ResultsStore>(*m_db);
    m_store->setComputerId(computerId);
}

ClassroomComputer::~ClassroomComputer()
{
    close();
}

void ClassroomComputer::close()
{
    m_store.reset();
    if (m_db)
        m_db->close();
    m_db.reset();
}

bool ClassroomComputer::visit(const QString &pupil, FieldGroup group, const QVector<Score> &saves,
                              const QDateTime &start, const QString &visitId)
{
    const SaveOrigin origin{QStringLiteral("FGenette"),
                            visitId.isEmpty() ? QUuid::createUuid().toString(QUuid::Id128) : visitId};
    QDateTime when = start;
    for (const Score &s : saves) {
        if (m_store->save(pupil, {GroupValues::of(group, s)}, when, origin).isError())
            return false;
        when = when.addSecs(60);
    }
    return true;
}

bool ClassroomComputer::exportTo(const QString &diskFile)
{
    if (!QFileInfo::exists(diskFile) && !Database::create(diskFile, schema::exportTemplateStatements()))
        return false;
    return !m_store->appendAllRowsTo(diskFile).isError();
}

bool writeOldExport(const QString &diskFile, const QVector<OldRow> &rows, int times)
{
    // The template of that version: its tabtesti and nothing else.
    QStringList statements = schema::exportTemplateStatements();
    statements = statements.mid(0, 2);
    if (!Database::create(diskFile, statements))
        return false;
    std::unique_ptr<Database> db = Database::open(diskFile);
    if (!db)
        return false;
    // One tabtesti row per pupil, holding each group given for them.
    QStringList pupils;
    for (const OldRow &r : rows) {
        if (!pupils.contains(r.pupil))
            pupils << r.pupil;
    }
    for (int t = 0; t < times; ++t) {
        for (const QString &pupil : pupils) {
            QStringList cols{QStringLiteral("\"nome\"")};
            QVariantList values{pupil};
            for (const OldRow &r : rows) {
                if (r.pupil != pupil)
                    continue;
                const ResultGroup &g = resultGroup(r.group);
                for (int k = 0; k < 4; ++k)
                    cols << QLatin1Char('"') + g.columns[k] + QLatin1Char('"');
                values << r.score.right << r.score.total << r.score.percent
                       << (g.dateText.isEmpty() ? QVariant(r.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                                : QVariant(g.dateText));
            }
            QStringList marks;
            for (int i = 0; i < values.size(); ++i)
                marks << QStringLiteral("?");
            if (!db->exec(QStringLiteral("INSERT INTO tabtesti (%1) VALUES (%2)").arg(cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                          values))
                return false;
        }
    }
    db->close();
    return true;
}

} // namespace morvello::test

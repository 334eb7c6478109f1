// SPDX-License-Identifier: GPL-3.0-or-later
#include "registercsv.h"

#include "register.h"
#include "core/resultgroups.h"
#include "storage/database.h"

#include <QHash>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>
#include <functional>

namespace morvello {

namespace {

QString number(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    QLocale italian(QLocale::Italian, QLocale::Italy);
    italian.setNumberOptions(QLocale::OmitGroupSeparator);
    return italian.toString(v.toDouble(), 'g', 15);
}

QString groupCaption(const QString &group)
{
    const int g = groupIndex(group);
    return g < 0 ? group : resultGroups().at(g).gridCaption.trimmed();
}

} // namespace

QString csvField(const QString &value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n'))
        && !value.contains(QLatin1Char('\r')))
        return value;
    QString q = value;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QByteArray csvDocument(const QVector<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        for (const QString &f : row)
            fields << csvField(f);
        // A line with one empty field would be an empty line, which readers
        // skip: the quotes keep the field.
        if (fields.size() == 1 && fields.first().isEmpty())
            fields.first() = QStringLiteral("\"\"");
        text += fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray classCsv(const QVector<PupilLine> &lines)
{
    QVector<QStringList> rows;
    QStringList head{QStringLiteral("Alunno")};
    for (const ResultGroup &g : resultGroups()) {
        const QString caption = g.gridCaption.trimmed();
        head << caption + QStringLiteral(" - ultimo %") << caption + QStringLiteral(" - migliore %")
             << caption + QStringLiteral(" - prove");
    }
    rows << head;
    for (const PupilLine &line : lines) {
        QStringList row{line.name};
        for (const GroupCell &c : line.cells) {
            if (c.attempts == 0)
                row << QString() << QString() << QStringLiteral("0");
            else
                row << number(c.latest) << number(c.best) << QString::number(c.attempts);
        }
        rows << row;
    }
    return csvDocument(rows);
}

namespace {

// The engine's number as the Italian spreadsheet reads it, without a
// locale object per field: whole numbers as they are, others with 15
// significant digits and the decimal comma.
void appendNumber(QByteArray &to, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return;
    const double d = v.toDouble();
    if (d == std::floor(d) && std::fabs(d) < 1e15) {
        to += QByteArray::number(qint64(d));
        return;
    }
    QByteArray text = QByteArray::number(d, 'g', 15);
    text.replace('.', ',');
    to += text;
}

// The few texts that come back on every line (pupil, group, computer),
// quoted and encoded once.
class FieldCache
{
public:
    const QByteArray &field(const QString &value, const std::function<QString(const QString &)> &shown = {})
    {
        auto it = m_fields.constFind(value);
        if (it == m_fields.constEnd()) {
            if (m_fields.size() > 4096)
                m_fields.clear();
            it = m_fields.insert(value, csvField(shown ? shown(value) : value).toUtf8());
        }
        return *it;
    }

private:
    QHash<QString, QByteArray> m_fields;
};

} // namespace

bool writeAttemptsCsv(Register &reg, QIODevice &out, DbError *error)
{
    Database &db = reg.database();
    const QString what = QStringLiteral("la lettura del registro");
    QSqlQuery q(db.connection());
    // Read once, front to back: the driver keeps no rows behind. One pass
    // over the table in its own order and one sort: reading pupil by pupil
    // through their index would visit every page of the table once a pupil.
    q.setForwardOnly(true);
    if (!db.prepare(q,
                    QStringLiteral("SELECT b.nome, t.gruppo, t.conteggio, t.totale, t.percentuale, t.momento, t.computer, "
                                   "t.storico FROM tentativi AS t JOIN alunni AS a ON a.id = t.alunno "
                                   "JOIN alunni AS b ON b.id = ifnull(a.unito_a, a.id) WHERE t.ultimo = 1 "
                                   "ORDER BY b.nome, ifnull(t.momento, ''), t.rowid"),
                    what, error)
        || !db.run(q, what, error))
        return false;
    QByteArray buffer = QByteArrayLiteral("\xEF\xBB\xBF");
    buffer += csvField(QStringLiteral("Alunno")).toUtf8() + ';' + csvField(QStringLiteral("Attività")).toUtf8()
              + QByteArrayLiteral(";Giuste;Totale;Percentuale;Data;Computer;Origine\r\n");
    constexpr int kChunk = 1 << 20;
    buffer.reserve(kChunk + 4096);
    FieldCache groups;
    FieldCache computers;
    const auto caption = [](const QString &group) { return groupCaption(group); };
    auto flush = [&] {
        const bool whole = out.write(buffer) == buffer.size();
        buffer.clear();
        if (!whole && error)
            *error = DbError::make(DbErrorCode::Generic, out.errorString());
        return whole;
    };
    FieldCache pupils;
    while (q.next()) {
        buffer += pupils.field(q.value(0).toString());
        buffer += ';';
        buffer += groups.field(q.value(1).toString(), caption);
        buffer += ';';
        appendNumber(buffer, q.value(2));
        buffer += ';';
        appendNumber(buffer, q.value(3));
        buffer += ';';
        appendNumber(buffer, q.value(4));
        buffer += ';';
        buffer += italianMoment(q.value(5).toString()).toLatin1();
        buffer += ';';
        buffer += computers.field(q.value(6).toString());
        buffer += q.value(7).toInt() != 0 ? QByteArrayLiteral(";storia\r\n") : QByteArrayLiteral(";tabtesti\r\n");
        if (buffer.size() >= kChunk && !flush())
            return false;
    }
    if (q.lastError().type() != QSqlError::NoError) {
        if (error)
            *error = db.failure(q, what);
        return false;
    }
    return flush();
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "registercsv.h"

#include "register.h"
#include "core/resultgroups.h"
#include "storage/database.h"

#include <QHash>
#include <QLocale>

#include <charconv>
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
void appendNumber(QByteArray &to, const Database::RawRow &row, int column)
{
    if (row.isNull(column))
        return;
    const double d = row.number(column);
    if (d == std::floor(d) && std::fabs(d) < 1e15) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, qint64(d)).ptr;
        to.append(digits, end - digits);
        return;
    }
    QByteArray text = QByteArray::number(d, 'g', 15);
    text.replace('.', ',');
    to += text;
}

// A text that comes back on line after line (a group, a computer), quoted
// and encoded once.
class FieldCache
{
public:
    const QByteArray &field(QByteArrayView stored, const std::function<QString(const QString &)> &shown = {})
    {
        if (m_last && stored == QByteArrayView(m_lastStored))
            return *m_last;
        // Looked up over the engine's bytes, not a copy of them.
        auto it = m_fields.constFind(QByteArray::fromRawData(stored.data(), stored.size()));
        if (it == m_fields.constEnd()) {
            if (m_fields.size() > 4096)
                m_fields.clear();
            const QString value = QString::fromUtf8(stored);
            it = m_fields.insert(stored.toByteArray(), csvField(shown ? shown(value) : value).toUtf8());
        }
        m_lastStored = it.key();
        m_last = &it.value();
        return *m_last;
    }

private:
    QHash<QByteArray, QByteArray> m_fields;
    QByteArray m_lastStored;
    const QByteArray *m_last = nullptr;
};

} // namespace

bool writeAttemptsCsv(Register &reg, QIODevice &out, DbError *error)
{
    // One pass over the table in its own order and one sort, read straight
    // from the engine: reading pupil by pupil through their index would
    // visit every page of the table once a pupil, and a value object per
    // field would cost more than the reading.
    QByteArray buffer = QByteArrayLiteral("\xEF\xBB\xBF");
    buffer += csvField(QStringLiteral("Alunno")).toUtf8() + ';' + csvField(QStringLiteral("Attività")).toUtf8()
              + QByteArrayLiteral(";Giuste;Totale;Percentuale;Data;Computer;Origine\r\n");
    constexpr int kChunk = 1 << 20;
    buffer.reserve(kChunk + 4096);
    FieldCache groups;
    FieldCache computers;
    const auto caption = [](const QString &group) { return groupCaption(group); };
    auto flush = [&] {
        const bool written = out.write(buffer) == buffer.size();
        buffer.clear();
        if (!written && error)
            *error = DbError::make(DbErrorCode::Generic, out.errorString());
        return written;
    };
    qint64 pupil = -1;
    QByteArray pupilField;
    const bool read = reg.database().scan(
        attemptsQuery(), {0, 0}, QStringLiteral("la lettura del registro"),
        [&](const Database::RawRow &row) {
            if (row.whole(0) != pupil) {
                pupil = row.whole(0);
                pupilField = csvField(QString::fromUtf8(row.text(1))).toUtf8();
            }
            buffer += pupilField;
            buffer += ';';
            buffer += groups.field(row.text(2), caption);
            buffer += ';';
            appendNumber(buffer, row, 3);
            buffer += ';';
            appendNumber(buffer, row, 4);
            buffer += ';';
            appendNumber(buffer, row, 5);
            buffer += ';';
            buffer += italianMoment(row.text(6));
            buffer += ';';
            buffer += computers.field(row.text(7));
            buffer += row.whole(8) != 0 ? QByteArrayLiteral(";storia\r\n") : QByteArrayLiteral(";tabtesti\r\n");
            return buffer.size() < kChunk || flush();
        },
        error);
    return read ? flush() : false;
}

} // namespace morvello

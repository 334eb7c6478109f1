// SPDX-License-Identifier: GPL-3.0-or-later
#include "registercsv.h"

#include "core/resultgroups.h"

#include <QLocale>

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

QString italianDate(const QDateTime &when)
{
    return when.isValid() ? when.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : QString();
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

QByteArray attemptsCsv(const QVector<PupilAttempt> &attempts)
{
    QVector<QStringList> rows;
    rows << QStringList{QStringLiteral("Alunno"), QStringLiteral("Attività"), QStringLiteral("Giuste"),
                        QStringLiteral("Totale"), QStringLiteral("Percentuale"), QStringLiteral("Data"),
                        QStringLiteral("Computer"), QStringLiteral("Origine")};
    for (const PupilAttempt &p : attempts) {
        const Attempt &a = p.attempt;
        rows << QStringList{p.pupil,
                            groupCaption(a.group),
                            number(a.count),
                            number(a.total),
                            number(a.percent),
                            italianDate(a.moment),
                            a.computer,
                            a.fromHistory ? QStringLiteral("storia") : QStringLiteral("tabtesti")};
    }
    return csvDocument(rows);
}

} // namespace morvello

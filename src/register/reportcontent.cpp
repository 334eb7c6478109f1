// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportcontent.h"

#include "progress.h"
#include "register.h"
#include "core/resultgroups.h"
#include "storage/database.h"

#include <QLocale>
#include <QSqlQuery>

namespace morvello {

namespace {

QString number(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? QLocale(QLocale::Italian, QLocale::Italy).toString(d, 'g', 6) : v.toString();
}

QString percent(double p)
{
    return QLocale(QLocale::Italian, QLocale::Italy).toString(p, 'g', 4);
}

QString date(const QDateTime &when)
{
    return when.isValid() ? when.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : QStringLiteral("—");
}

const QString kSchoolKey = QStringLiteral("scuola");

} // namespace

QString ReportHeading::line() const
{
    QStringList parts;
    if (!school.trimmed().isEmpty())
        parts << school.trimmed();
    if (!className.trimmed().isEmpty())
        parts << QStringLiteral("Classe %1").arg(className.trimmed());
    if (!period.isEmpty())
        parts << period;
    return parts.join(QStringLiteral(" — "));
}

QString periodText(const QDate &from, const QDate &to)
{
    const QString f = from.toString(QStringLiteral("dd/MM/yyyy"));
    const QString t = to.toString(QStringLiteral("dd/MM/yyyy"));
    if (from.isValid() && to.isValid())
        return QStringLiteral("dal %1 al %2").arg(f, t);
    if (from.isValid())
        return QStringLiteral("dal %1").arg(f);
    if (to.isValid())
        return QStringLiteral("fino al %1").arg(t);
    return QStringLiteral("tutto il registro");
}

QString schoolName(Register &reg, DbError *error)
{
    Database &db = reg.database();
    QSqlQuery q(db.connection());
    const QString what = QStringLiteral("la lettura del registro");
    if (!db.prepare(q, QStringLiteral("SELECT valore FROM registro WHERE chiave = ?"), what, error))
        return {};
    q.bindValue(0, kSchoolKey);
    if (!db.run(q, what, error) || !q.next())
        return {};
    return q.value(0).toString();
}

DbError setSchoolName(Register &reg, const QString &school)
{
    DbError error;
    reg.database().exec(QStringLiteral("INSERT OR REPLACE INTO registro (chiave, valore) VALUES (?, ?)"),
                        {kSchoolKey, school.simplified()}, &error);
    return error;
}

QString shortGroupCaption(int group)
{
    // Both rhetorical-figure groups under one word would read as one: the
    // second is named by what it asks for.
    static const char *const captions[] = {"Espositivi",       "Poesia",        "Figure",        "Definizioni",
                                           "Trovare sequenze", "Aiuti chiesti", "Tipo sequenze", "Génette"};
    return group >= 0 && group < 8 ? QString::fromUtf8(captions[group]) : QString();
}

ReportTable attemptsTable(const QVector<PupilAttempt> &attempts, bool shortCaptions)
{
    ReportTable t;
    t.headers = {QStringLiteral("Data"),   QStringLiteral("Attività"), QStringLiteral("Giuste"),
                 QStringLiteral("Totale"), QStringLiteral("%"),        QStringLiteral("Computer")};
    t.widths = {17, 37, 9, 9, 9, 19};
    t.numeric = {false, false, true, true, true, false};
    for (const PupilAttempt &pa : attempts) {
        const Attempt &a = pa.attempt;
        const int g = groupIndex(a.group);
        const std::optional<double> p = attemptPercent(a);
        const QString activity = g < 0 ? a.group
                                 : shortCaptions ? shortGroupCaption(g)
                                                 : resultGroups().at(g).gridCaption.trimmed();
        t.rows.append({date(a.moment), activity, number(a.count),
                       number(a.total), p ? percent(*p) : QString(), a.computer});
    }
    return t;
}

ReportTable pupilSummaryTable(const PupilLine &line)
{
    ReportTable t;
    t.headers = {QStringLiteral("Attività"), QStringLiteral("Tentativi"), QStringLiteral("Ultimo %"),
                 QStringLiteral("Migliore %"), QStringLiteral("Ultima data")};
    t.widths = {40, 13, 13, 13, 21};
    t.numeric = {false, true, true, true, false};
    for (int g = 0; g < line.cells.size() && g < resultGroups().size(); ++g) {
        const GroupCell &c = line.cells.at(g);
        const QString caption = resultGroups().at(g).gridCaption.trimmed();
        if (c.attempts == 0)
            t.rows.append({caption, QStringLiteral("0"), QString(), QString(), QString()});
        else
            t.rows.append({caption, QString::number(c.attempts), percent(c.latest), percent(c.best), date(c.lastMoment())});
    }
    return t;
}

ReportTable classTableReport(const QVector<PupilLine> &lines, QColor (*shade)(double))
{
    ReportTable t;
    t.headers << QStringLiteral("Alunno");
    // The groups' columns as wide as their longest word ("Definizioni"); a
    // long name wraps instead.
    t.widths << 20;
    t.numeric << false;
    for (int g = 0; g < resultGroups().size(); ++g) {
        t.headers << shortGroupCaption(g);
        t.widths << 10;
        t.numeric << true;
    }
    for (const PupilLine &line : lines) {
        QStringList row{line.name};
        QVector<QColor> shades{QColor()};
        for (const GroupCell &c : line.cells) {
            row << (c.attempts ? percent(c.latest) : QString());
            shades << (c.attempts && shade ? shade(c.latest) : QColor());
        }
        t.rows.append(row);
        t.shades.append(shades);
    }
    return t;
}

QVector<int> paginate(const QVector<double> &rowHeights, double firstSpace, double pageSpace)
{
    QVector<int> starts;
    double left = firstSpace;
    for (int r = 0; r < rowHeights.size(); ++r) {
        const double h = rowHeights.at(r);
        // Every page takes at least one row, whatever its height.
        if (starts.isEmpty()) {
            starts << r;
        } else if (h > left) {
            starts << r;
            left = pageSpace;
        }
        left -= h;
    }
    return starts;
}

} // namespace morvello

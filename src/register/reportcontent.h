// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "classtable.h"
#include "core/dberror.h"

#include <QColor>
#include <QDate>
#include <QStringList>
#include <QVector>

namespace morvello {

class Register;

// The words and numbers of the printed reports, apart from how they are
// drawn: tables as text, the heading of every page, and where the pages
// break.

// What heads every page: school, class and the period the report covers.
struct ReportHeading
{
    QString school;
    QString className;
    QString period;
    QString line() const; // "Scuola … — Classe 2B — dal … al …"
};
// "dal 01/09/2026 al 31/12/2026", "dal 01/09/2026", "fino al …", or
// "tutto il registro" when both ends are open.
QString periodText(const QDate &from, const QDate &to);

// The school's name is kept in the register, once per class, for the
// reports' heading; empty until the teacher gives it.
QString schoolName(Register &reg, DbError *error = nullptr);
DbError setSchoolName(Register &reg, const QString &school);

struct ReportTable
{
    QStringList headers;
    QVector<double> widths;         // share of the line's width, per column
    QVector<bool> numeric;          // right-aligned columns
    QVector<QStringList> rows;
    QVector<QVector<QColor>> shades; // per cell, invalid for none; may be empty
};

// Every attempt of one pupil: date, activity, right, total, percentage,
// computer; the activity by its short caption where room is scarce.
ReportTable attemptsTable(const QVector<PupilAttempt> &attempts, bool shortCaptions = false);
// Per group: attempts, latest, best, last date of one pupil.
ReportTable pupilSummaryTable(const PupilLine &line);
// The class view: a line per pupil, the latest percentage per group,
// shaded with `shade` (the class view's scale).
ReportTable classTableReport(const QVector<PupilLine> &lines, QColor (*shade)(double) = nullptr);

// A group's caption short enough for a column, an axis or a legend
// ("Trovare sequenze").
QString shortGroupCaption(int group);

// The pages of a table: the index of the first row of each page. The first
// page has `firstSpace` left under the table's header, each later page
// `pageSpace` (both already less the repeated header). A row is never cut:
// it goes whole to the next page. Every page takes at least one row, so a
// caller whose first row does not fit in `firstSpace` starts a new page
// first. No rows, no pages.
QVector<int> paginate(const QVector<double> &rowHeights, double firstSpace, double pageSpace);

} // namespace morvello

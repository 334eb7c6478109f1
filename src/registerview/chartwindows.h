// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "register/progress.h"

#include <QDate>
#include <QWidget>

class QChart;
class QChartView;
class QLabel;
class QTableWidget;

namespace morvello {

class Dialogs;
class Register;

// One pupil's attempts over time: the chart of every group on the left,
// the attempts themselves in a table on the right, and the command that
// prints the pupil's report. The register stays the caller's and must
// outlive the window.
class PupilChartWindow : public QWidget
{
    Q_OBJECT
public:
    PupilChartWindow(Register &reg, qint64 pupil, const QString &name, const QDate &from, const QDate &to,
                     Dialogs &dialogs, QWidget *parent = nullptr);

    QChart *chart() const;
    QChartView *chartView() const { return m_view; }
    QTableWidget *attemptsTable() const { return m_table; }
    const PupilProgress &progress() const { return m_progress; }
    // Prints the report through the print dialog; returns what the teacher
    // was told.
    QString printReport();

private:
    Register &m_reg;
    qint64 m_pupil;
    QString m_name;
    QDate m_from;
    QDate m_to;
    Dialogs &m_dialogs;
    PupilProgress m_progress;
    QChartView *m_view = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_summary = nullptr;
};

// The class chart in a window of its own, with the class report's print
// command.
class ClassChartWindow : public QWidget
{
    Q_OBJECT
public:
    ClassChartWindow(Register &reg, const QVector<PupilLine> &lines, const QDate &from, const QDate &to,
                     Dialogs &dialogs, QWidget *parent = nullptr);
    QChart *chart() const;
    QString printReport();

private:
    Register &m_reg;
    QDate m_from;
    QDate m_to;
    Dialogs &m_dialogs;
    QChartView *m_view = nullptr;
};

} // namespace morvello

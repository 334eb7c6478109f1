// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartwindows.h"

#include "progresscharts.h"
#include "registerreport.h"
#include "core/dialogs.h"
#include "core/resultgroups.h"
#include "register/register.h"
#include "register/reportcontent.h"

#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace morvello {

namespace {

QPushButton *printButton(QWidget *parent)
{
    return new QPushButton(QStringLiteral("Stampa il resoconto..."), parent);
}

void tellIfAny(Dialogs &dialogs, const QString &message)
{
    if (!message.isEmpty())
        dialogs.message(message);
}

} // namespace

PupilChartWindow::PupilChartWindow(Register &reg, qint64 pupil, const QString &name, const QDate &from,
                                   const QDate &to, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_reg(reg)
    , m_pupil(pupil)
    , m_name(name)
    , m_from(from)
    , m_to(to)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("graficoAlunno"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("%1 — tentativi nel tempo").arg(name));
    DbError error;
    const QVector<PupilAttempt> attempts = attemptsInPeriod(attemptsOf(reg, pupil, &error), from, to);
    m_progress = pupilProgress(attempts);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_summary = new QLabel(this);
    QString summary = QStringLiteral("<b>%1</b> — %2 — %3 tentativi")
                          .arg(name.toHtmlEscaped(), periodText(from, to))
                          .arg(attempts.size());
    if (m_progress.unplaced > 0)
        summary += QStringLiteral(" (%1 senza data o percentuale: solo nella tabella)").arg(m_progress.unplaced);
    if (error.isError())
        summary = error.message.toHtmlEscaped();
    m_summary->setText(summary);
    top->addWidget(m_summary, 1);
    QPushButton *print = printButton(this);
    connect(print, &QPushButton::clicked, this, [this] { printReport(); });
    top->addWidget(print);
    layout->addLayout(top);

    auto *split = new QSplitter(Qt::Horizontal, this);
    m_view = new QChartView(pupilChart(m_progress), split);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumWidth(480);
    m_table = new QTableWidget(split);
    m_table->setObjectName(QStringLiteral("tentativiGrafico"));
    const ReportTable table = morvello::attemptsTable(attempts, true);
    m_table->setColumnCount(int(table.headers.size()));
    m_table->setHorizontalHeaderLabels(table.headers);
    m_table->setRowCount(int(table.rows.size()));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    for (int r = 0; r < table.rows.size(); ++r) {
        for (int c = 0; c < table.headers.size(); ++c) {
            auto *item = new QTableWidgetItem(table.rows.at(r).value(c));
            if (table.numeric.value(c))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(r, c, item);
        }
    }
    // Widths from the header and a sample of rows: measuring a thousand rows
    // would cost more than the chart.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setResizeContentsPrecision(100);
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    split->addWidget(m_view);
    split->addWidget(m_table);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({600, 400});
    layout->addWidget(split, 1);
}

QChart *PupilChartWindow::chart() const
{
    return m_view->chart();
}

QString PupilChartWindow::printReport()
{
    const QString message = printWithDialog(
        m_dialogs, QStringLiteral("Resoconto di %1").arg(m_name), QStringLiteral("Resoconto %1").arg(m_name),
        [this](QPrinter &printer, QString *problem) {
            return writePupilReport(printer, m_reg, m_pupil, m_from, m_to, problem);
        });
    tellIfAny(m_dialogs, message);
    return message;
}

ClassChartWindow::ClassChartWindow(Register &reg, const QVector<PupilLine> &lines, const QDate &from, const QDate &to,
                                   Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_reg(reg)
    , m_from(from)
    , m_to(to)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("graficoClasse"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Classe %1 — ultimi risultati").arg(reg.className()));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("<b>Classe %1</b> — %2 — %3 alunni")
                                  .arg(reg.className().toHtmlEscaped(), periodText(from, to))
                                  .arg(lines.size()),
                              this),
                   1);
    QPushButton *print = printButton(this);
    connect(print, &QPushButton::clicked, this, [this] { printReport(); });
    top->addWidget(print);
    layout->addLayout(top);
    m_view = new QChartView(classChart(bandCounts(lines)), this);
    m_view->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(m_view, 1);
}

QChart *ClassChartWindow::chart() const
{
    return m_view->chart();
}

QString ClassChartWindow::printReport()
{
    const QString message = printWithDialog(
        m_dialogs, QStringLiteral("Resoconto della classe %1").arg(m_reg.className()),
        QStringLiteral("Resoconto classe %1").arg(m_reg.className()),
        [this](QPrinter &printer, QString *problem) { return writeClassReport(printer, m_reg, m_from, m_to, problem); });
    tellIfAny(m_dialogs, message);
    return message;
}

} // namespace morvello

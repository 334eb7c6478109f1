// SPDX-License-Identifier: GPL-3.0-or-later
// The register window's charts and reports: kept apart from the class view
// they start from.
#include "registerwindow.h"

#include "classmodel.h"

#include "chartwindows.h"
#include "registerreport.h"
#include "registerdialogs.h"
#include "register/register.h"
#include "register/reportcontent.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QItemSelectionModel>
#include <QTableView>

namespace morvello {

namespace {

// The name as the register keeps it: the class view's cell may carry a
// note such as " (nascosto)".
QString pupilName(const QVector<PupilLine> &lines, qint64 id, const QString &shown)
{
    for (const PupilLine &l : lines) {
        if (l.id == id)
            return l.name;
    }
    return shown;
}

} // namespace

void RegisterWindow::setDialogs(Dialogs *dialogs)
{
    m_dialogs = dialogs;
}

void RegisterWindow::buildReportMenu()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("&Grafici e stampa"));
    menu->addAction(QStringLiteral("&Grafico dell'alunno scelto (doppio clic sul nome)"), this,
                    [this] { openPupilChart(chosenRow()); });
    menu->addAction(QStringLiteral("Grafico della &classe"), this, [this] { openClassChart(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Stampa il resoconto della c&lasse..."), this, [this] { printClassReport(); });
    menu->addAction(QStringLiteral("Stampa il resoconto dell'&alunno scelto..."), this,
                    [this] { printPupilReport(chosenRow()); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Nome della scuola nei resoconti..."), this, &RegisterWindow::askSchoolName);
    if (!m_dialogs) {
        m_ownDialogs = std::make_unique<RegisterDialogs>(this);
        m_dialogs = m_ownDialogs.get();
    }
}

int RegisterWindow::chosenRow() const
{
    const QModelIndexList chosen = m_class->selectionModel()->selectedRows();
    return chosen.isEmpty() ? -1 : chosen.first().row();
}

QDate RegisterWindow::periodFrom() const
{
    return m_period->isChecked() ? m_from->date() : QDate();
}

QDate RegisterWindow::periodTo() const
{
    return m_period->isChecked() ? m_to->date() : QDate();
}

void RegisterWindow::closeChartWindows()
{
    // They read the register that is about to go.
    for (const QPointer<QWidget> &w : std::as_const(m_charts))
        delete w.data();
    m_charts.clear();
}

PupilChartWindow *RegisterWindow::openPupilChart(int row)
{
    if (!m_reg)
        return nullptr;
    if (row < 0 || row >= m_model->rowCount()) {
        m_dialogs->message(QStringLiteral("Scegliere prima un alunno nella tabella della classe."));
        return nullptr;
    }
    const qint64 id = m_model->line(row).id;
    const QString pupil = pupilName(m_lines, id, m_model->line(row).name);
    auto *window = new PupilChartWindow(*m_reg, id, pupil, periodFrom(), periodTo(), *m_dialogs, this);
    window->resize(1200, 700);
    window->show();
    m_charts << window;
    return window;
}

ClassChartWindow *RegisterWindow::openClassChart()
{
    if (!m_reg)
        return nullptr;
    auto *window = new ClassChartWindow(*m_reg, m_lines, periodFrom(), periodTo(), *m_dialogs, this);
    window->resize(1000, 600);
    window->show();
    m_charts << window;
    return window;
}

QString RegisterWindow::printClassReport()
{
    if (!m_reg)
        return {};
    const QString message = printWithDialog(
        *m_dialogs, QStringLiteral("Resoconto della classe %1").arg(m_reg->className()),
        QStringLiteral("Resoconto classe %1").arg(m_reg->className()), [this](QPrinter &printer, QString *problem) {
            return writeClassReport(printer, *m_reg, periodFrom(), periodTo(), problem);
        });
    if (!message.isEmpty())
        m_dialogs->message(message);
    return message;
}

QString RegisterWindow::printPupilReport(int row)
{
    if (!m_reg)
        return {};
    if (row < 0 || row >= m_model->rowCount()) {
        const QString message = QStringLiteral("Scegliere prima un alunno nella tabella della classe.");
        m_dialogs->message(message);
        return message;
    }
    const qint64 id = m_model->line(row).id;
    const QString pupil = pupilName(m_lines, id, m_model->line(row).name);
    const QString message = printWithDialog(
        *m_dialogs, QStringLiteral("Resoconto di %1").arg(pupil), QStringLiteral("Resoconto %1").arg(pupil),
        [this, id](QPrinter &printer, QString *problem) {
            return writePupilReport(printer, *m_reg, id, periodFrom(), periodTo(), problem);
        });
    if (!message.isEmpty())
        m_dialogs->message(message);
    return message;
}

void RegisterWindow::askSchoolName()
{
    if (!m_reg)
        return;
    bool ok = false;
    const QString school = QInputDialog::getText(this, QStringLiteral("Nome della scuola"),
                                                 QStringLiteral("Nome della scuola, in testa a ogni pagina dei resoconti:"),
                                                 QLineEdit::Normal, schoolName(*m_reg), &ok);
    if (!ok)
        return;
    const DbError error = setSchoolName(*m_reg, school);
    if (error.isError())
        m_dialogs->message(error.message);
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "flaggednamespane.h"

#include "register/register.h"

#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace morvello {

namespace {

QString quoted(const QStringList &names)
{
    QStringList out;
    for (QString n : names) {
        // A tab or a line break in a stored name is shown, not obeyed.
        n.replace(QLatin1Char('\t'), QStringLiteral("⇥")).replace(QLatin1Char('\n'), QStringLiteral("↵"));
        out << QStringLiteral("«%1»").arg(n);
    }
    return out.join(QStringLiteral(", "));
}

} // namespace

FlaggedNamesPane::FlaggedNamesPane(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("nomiSegnalati"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_title = new QLabel(QStringLiteral("Nomi simili segnalati"), this);
    m_title->setWordWrap(true);
    m_list = new QListWidget(this);
    m_list->setWordWrap(true);
    m_list->setAlternatingRowColors(true);
    m_join = new QPushButton(QStringLiteral("Unisci in un solo alunno..."), this);
    m_join->setEnabled(false);
    layout->addWidget(m_title);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_join, 0, Qt::AlignRight);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        m_join->setEnabled(row >= 0 && row < m_groups.size() && m_groups.at(row).pupils.size() > 1);
    });
    connect(m_join, &QPushButton::clicked, this, &FlaggedNamesPane::joinChosen);
}

void FlaggedNamesPane::setRegister(Register *reg)
{
    m_reg = reg;
    refresh();
}

void FlaggedNamesPane::refresh()
{
    m_list->clear();
    m_groups.clear();
    m_join->setEnabled(false);
    DbError error;
    if (m_reg)
        m_groups = flaggedNames(*m_reg, &error);
    for (const FlaggedNames &f : std::as_const(m_groups)) {
        QStringList pupils;
        for (const JoinedName &p : f.pupils)
            pupils << p.name;
        const QString counted = f.pupils.size() > 1
            ? QStringLiteral("Nel registro sono %1 alunni diversi: %2. Se sono la stessa persona, unirli.")
                  .arg(f.pupils.size())
                  .arg(pupils.join(QStringLiteral(", ")))
            : QStringLiteral("Nel registro contati come un solo alunno: %1.").arg(pupils.value(0, QStringLiteral("—")));
        auto *item = new QListWidgetItem(QStringLiteral("%1\nda %2. %3")
                                             .arg(quoted(f.names), QFileInfo(f.file).fileName(), counted),
                                         m_list);
        item->setToolTip(QDir::toNativeSeparators(f.file));
    }
    m_title->setText(error.isError() ? error.message
                     : m_groups.isEmpty()
                         ? QStringLiteral("Nomi simili segnalati: nessuno nei file importati.")
                         : QStringLiteral("Nomi simili segnalati dai computer della classe (%1):").arg(m_groups.size()));
}

bool FlaggedNamesPane::joinGroup(int row, int into, DbError *error)
{
    if (!m_reg || row < 0 || row >= m_groups.size() || into < 0 || into >= m_groups.at(row).pupils.size())
        return false;
    const FlaggedNames group = m_groups.at(row);
    for (int i = 0; i < group.pupils.size(); ++i) {
        if (i == into)
            continue;
        *error = joinPupils(*m_reg, group.pupils.at(i).id, group.pupils.at(into).id);
        if (error->isError())
            return false;
    }
    emit pupilsJoined();
    return true;
}

void FlaggedNamesPane::joinChosen()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_groups.size())
        return;
    QStringList names;
    for (const JoinedName &p : m_groups.at(row).pupils)
        names << p.name;
    bool ok = false;
    const QString into = QInputDialog::getItem(this, QStringLiteral("Unisci"),
                                               QStringLiteral("Sono la stessa persona: con quale nome mostrarla?"), names,
                                               0, false, &ok);
    if (!ok)
        return;
    DbError error;
    if (!joinGroup(row, int(names.indexOf(into)), &error) && error.isError())
        QMessageBox::warning(this, QStringLiteral("Unisci"), error.message);
}

} // namespace morvello

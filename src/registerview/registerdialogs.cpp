// SPDX-License-Identifier: GPL-3.0-or-later
#include "registerdialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

namespace morvello {

namespace {

QString title(QWidget *parent)
{
    return parent && parent->window() ? parent->window()->windowTitle() : QStringLiteral("Registro del docente");
}

} // namespace

void RegisterDialogs::message(const QString &text)
{
    QMessageBox::information(m_parent, title(m_parent), text);
}

std::optional<QString> RegisterDialogs::input(const QString &prompt, int maxLength)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title(m_parent), prompt, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text.left(maxLength);
}

int RegisterDialogs::choose(const QString &text, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title(m_parent), text, QMessageBox::NoButton, m_parent);
    QList<QAbstractButton *> added;
    for (int i = 0; i < buttons.size(); ++i)
        added << box.addButton(buttons.at(i), i == buttons.size() - 1 ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    box.exec();
    const int index = int(added.indexOf(box.clickedButton()));
    return index >= 0 ? index : int(buttons.size()) - 1;
}

bool RegisterDialogs::choosePrinter(QPrinter &printer)
{
    QPrintDialog dialog(&printer, m_parent);
    dialog.setObjectName(QStringLiteral("RegistroStampa"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QString> RegisterDialogs::chooseFolder(const QString &caption, const QString &start)
{
    const QString folder = QFileDialog::getExistingDirectory(m_parent, caption, start);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtdialogs.h"

#include "guidewindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

namespace morvello {

// Pupils read these boxes from a classroom chair: a size above the desktop's.
static void useReadableFont(QWidget *box)
{
    QFont f = box->font();
    f.setPointSizeF(qMax(f.pointSizeF(), 12.0));
    box->setFont(f);
}

static QWidget *dialogParent(QWidget *preferred)
{
    if (preferred)
        return preferred;
    QWidget *w = QApplication::activeWindow();
    return w;
}

void QtDialogs::message(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, programTitle(), text, QMessageBox::Ok, dialogParent(m_parent));
    box.setObjectName(QStringLiteral("MorvelloMessage"));
    useReadableFont(&box);
    box.exec();
}

std::optional<QString> QtDialogs::input(const QString &prompt, int maxLength)
{
    QInputDialog dlg(dialogParent(m_parent));
    dlg.setObjectName(QStringLiteral("MorvelloInput"));
    // The font before the parts: each part lays out its text as it is made,
    // and a font set afterwards would have cost one more font at start-up.
    useReadableFont(&dlg);
    dlg.setWindowTitle(programTitle());
    dlg.setLabelText(prompt);
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setTextValue(QString());
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Annulla"));
    dlg.resize(qMax(dlg.sizeHint().width(), 560), dlg.sizeHint().height());
    if (auto *edit = dlg.findChild<QLineEdit *>())
        edit->setMaxLength(maxLength);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.textValue().left(maxLength);
}

int QtDialogs::choose(const QString &text, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::NoIcon, programTitle(), text, QMessageBox::NoButton, dialogParent(m_parent));
    box.setObjectName(QStringLiteral("MorvelloScelta"));
    QList<QAbstractButton *> added;
    for (int i = 0; i < buttons.size(); ++i) {
        const bool closing = i == buttons.size() - 1;
        added << box.addButton(buttons[i], closing ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (closing)
            box.setEscapeButton(added.last());
    }
    if (!added.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton *>(added.first()));
    useReadableFont(&box);
    box.exec();
    const int index = int(added.indexOf(box.clickedButton()));
    return index >= 0 ? index : int(buttons.size()) - 1;
}

bool QtDialogs::choosePrinter(QPrinter &printer)
{
    QPrintDialog dlg(&printer, dialogParent(m_parent));
    dlg.setObjectName(QStringLiteral("MorvelloStampa"));
    // One page: no range, selection or current page to choose.
    dlg.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dlg.exec() == QDialog::Accepted;
}

std::optional<QString> QtDialogs::chooseFolder(const QString &title, const QString &start)
{
    // Qt's own file dialog keeps its history and last folder in the user's
    // Qt settings. The program keeps no settings: while the chooser is open
    // they go to a folder that is then thrown away, so every chooser starts
    // afresh from `start`.
    QTemporaryDir scratch;
    if (scratch.isValid()) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch.path());
    }
    QFileDialog dlg(dialogParent(m_parent), title, start);
    dlg.setObjectName(QStringLiteral("MorvelloCartella"));
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setLabelText(QFileDialog::Accept, QStringLiteral("Scegli"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().constFirst();
}

QtDialogs::~QtDialogs()
{
    delete m_guide;
}

void QtDialogs::showGuide(const QString &dataFolder)
{
    if (!m_guide) {
        auto *guide = new GuideWindow(dataFolder);
        guide->setAttribute(Qt::WA_DeleteOnClose);
        m_guide = guide;
    }
    m_guide->show();
    m_guide->raise();
    m_guide->activateWindow();
}

} // namespace morvello

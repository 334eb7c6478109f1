#include "qtdialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

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
    dlg.setWindowTitle(programTitle());
    dlg.setLabelText(prompt);
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setTextValue(QString());
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Annulla"));
    useReadableFont(&dlg);
    dlg.resize(qMax(dlg.sizeHint().width(), 560), dlg.sizeHint().height());
    if (auto *edit = dlg.findChild<QLineEdit *>())
        edit->setMaxLength(maxLength);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.textValue().left(maxLength);
}

} // namespace morvello

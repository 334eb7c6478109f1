// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidewindow.h"

#include "core/dialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace morvello {

QString GuideWindow::pageHtml(const QString &dataFolder)
{
    QFile page(QStringLiteral(":/guida/guida.html"));
    if (!page.open(QIODevice::ReadOnly))
        return QStringLiteral("<p>La guida non è disponibile: il programma è incompleto.</p>");
    QString html = QString::fromUtf8(page.readAll());
    return html.replace(QStringLiteral("@CARTELLA_DATI@"),
                        QDir::toNativeSeparators(dataFolder).toHtmlEscaped());
}

GuideWindow::GuideWindow(const QString &dataFolder, QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("MorvelloGuida"));
    setWindowTitle(programTitle() + QStringLiteral(" - Guida per l'insegnante"));
    auto *layout = new QVBoxLayout(this);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("GuidaTesto"));
    m_browser->setOpenLinks(true);           // the page's own table of contents
    m_browser->setOpenExternalLinks(false);  // there are none, and no browser is started
    QFont f = m_browser->font();
    f.setPointSizeF(qMax(f.pointSizeF(), 11.0));
    m_browser->setFont(f);
    m_browser->setHtml(pageHtml(dataFolder));
    layout->addWidget(m_browser);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Chiudi"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    layout->addWidget(buttons);
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);

    resize(760, 680);
}

} // namespace morvello

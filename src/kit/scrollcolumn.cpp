// SPDX-License-Identifier: GPL-3.0-or-later
#include "scrollcolumn.h"

#include "screen.h"

#include <QScrollBar>

namespace morvello {

ScrollColumn::ScrollColumn(Screen *screen, const QString &name, const QRect &twips, const QRect &barTwips)
    : QScrollArea(screen), m_screen(screen), m_bar(new QScrollBar(Qt::Vertical, screen))
{
    setObjectName(name);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Its own bar would take the width of the controls: the one shown
    // stands beside the column.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setFocusPolicy(Qt::NoFocus);
    auto *content = new QWidget;
    content->setObjectName(name + QStringLiteral("Contenuto"));
    setWidget(content);
    // The screen's background shows through, as around any other control.
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    screen->setDesignGeometry(this, twips);
    screen->addHolder(content, twips.topLeft());

    m_bar->setObjectName(name + QStringLiteral("Barra"));
    m_bar->setAccessibleName(QStringLiteral("Scorri il testo"));
    m_bar->hide();
    screen->setDesignGeometry(m_bar, barTwips);
    QScrollBar *inner = verticalScrollBar();
    connect(inner, &QScrollBar::rangeChanged, m_bar, [this, inner](int min, int max) {
        m_bar->setRange(min, max);
        m_bar->setPageStep(inner->pageStep());
        m_bar->setSingleStep(inner->singleStep());
        m_bar->setVisible(max > min);
    });
    connect(inner, &QScrollBar::valueChanged, m_bar, &QScrollBar::setValue);
    connect(m_bar, &QScrollBar::valueChanged, inner, &QScrollBar::setValue);
    connect(screen, &Screen::laidOut, this, [this] {
        fitContent();
        clearCorners();
    });
}

void ScrollColumn::adopt(QWidget *control)
{
    const bool shown = !control->isHidden();
    control->setParent(widget());
    m_screen->setDesignGeometry(control, m_screen->designGeometry(control));
    control->setVisible(shown);
}

void ScrollColumn::fitContent()
{
    int bottom = 0;
    for (QWidget *w : widget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (!w->isHidden())
            bottom = qMax(bottom, w->geometry().bottom() + 1);
    // A line of text at a time for the bar's arrows.
    verticalScrollBar()->setSingleStep(qMax(1, m_screen->px(320)));
    widget()->resize(viewport()->width(), qMax(bottom, viewport()->height()));
}

void ScrollColumn::keepClear(QWidget *control)
{
    m_clear << control;
    clearCorners();
}

void ScrollColumn::clearCorners()
{
    QRegion shown(rect());
    for (const QPointer<QWidget> &w : std::as_const(m_clear))
        if (w && w->parentWidget() == parentWidget())
            shown -= w->geometry().translated(-pos());
    if (shown == QRegion(rect()))
        clearMask();
    else
        setMask(shown);
}

bool ScrollColumn::scrolls() const
{
    return verticalScrollBar()->maximum() > 0;
}

void ScrollColumn::resizeEvent(QResizeEvent *e)
{
    QScrollArea::resizeEvent(e);
    fitContent();
    clearCorners();
}

} // namespace morvello

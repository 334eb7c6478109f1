// SPDX-License-Identifier: GPL-3.0-or-later
#include "passageview.h"

#include "screen.h"

#include <QScrollBar>
#include <QTextDocument>
#include <cmath>

namespace morvello {

PassageView::PassageView(Screen *screen, const QString &name, const QString &accessibleName, const QRect &twips,
                         Lines lines)
    : RichTextView(screen), m_screen(screen), m_lines(lines)
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    // A pupil who cannot see reaches the passage with Tab, as any other
    // control, and leaves it with Tab again.
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    screen->setDesignGeometry(this, twips);
    connect(screen, &Screen::laidOut, this, &PassageView::fit);
}

RtfResult PassageView::load(const QString &windowsPath, const QString &baseDir)
{
    const RtfResult r = loadFile(windowsPath, baseDir);
    contentLoaded();
    return r;
}

void PassageView::contentLoaded()
{
    m_zoom = 1.0;
    fit();
    verticalScrollBar()->setValue(0);
}

void PassageView::showContentOf(const QTextDocumentFragment &content, double zoom)
{
    setContent(content);
    m_zoom = zoom > 0 ? zoom : 1.0;
    fit();
}

void PassageView::rescaleTo(double zoom)
{
    if (std::abs(zoom - m_zoom) < 1e-6)
        return;
    scaleTypeSizes(document(), zoom / m_zoom);
    m_zoom = zoom;
}

QSizeF PassageView::measure()
{
    QTextDocument *doc = document();
    const qreal width = doc->textWidth();
    doc->setTextWidth(m_lines == Lines::Keep ? -1 : viewport()->width());
    const QSizeF size = doc->size();
    doc->setTextWidth(width);
    return size;
}

void PassageView::fit()
{
    const double scale = m_screen->scale();
    document()->setDocumentMargin(qMax(3.0, 6.0 * scale));
    // Type sizes are points: on a display that counts more pixels to the
    // inch the same points are already larger.
    rescaleTo(qMax(1.0, scale * 96.0 / qMax(1, logicalDpiY())));
    const QSizeF room(viewport()->width(), viewport()->height());
    if (document()->isEmpty() || room.width() < 20 || room.height() < 20)
        return;
    // Extent follows type size nearly in proportion (its square, when lines
    // wrap): a step or two settles it.
    for (int step = 0; step < 4 && m_zoom > 1.0; ++step) {
        const QSizeF size = measure();
        const bool fits = size.height() <= room.height() && (m_lines == Lines::Wrap || size.width() <= room.width());
        if (fits)
            break;
        const double ratio = m_lines == Lines::Keep
                                 ? qMin(room.width() / size.width(), room.height() / size.height())
                                 : std::sqrt(room.height() / size.height());
        rescaleTo(qMax(1.0, m_zoom * ratio * 0.97));
    }
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "passagelabel.h"

#include "passageview.h"
#include "reader.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScrollArea>
#include <QStyleOption>
#include <QTextLayout>
#include <cmath>

namespace morvello {

namespace {
// The text as a label draws it: a line end breaks the line, a carriage
// return is a blank, and so is a tab unless the text runs from the left.
QString drawnText(QString text, bool tabs)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\n'))
            c = QChar::LineSeparator;
        else if (c == QLatin1Char('\r') || (c == QLatin1Char('\t') && !tabs))
            c = QLatin1Char(' ');
    }
    return text;
}
} // namespace

PassageLabel::PassageLabel(QWidget *parent) : StyledLabel(QString(), parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

void PassageLabel::setLegibleSpacing(bool on)
{
    if (on == m_legible)
        return;
    m_legible = on;
    updateGeometry();
    update();
}

qreal PassageLabel::layOut(QTextLayout &layout, const QRectF &room, bool whole) const
{
    QFont f = font();
    if (m_legible)
        f.setLetterSpacing(QFont::PercentageSpacing, PassageView::LegibleLetterSpacing);
    layout.setFont(f);
    const bool tabs = alignment() & Qt::AlignLeft;
    layout.setText(drawnText(text(), tabs));
    QTextOption option;
    if (tabs)
        option.setTabStopDistance(std::round(QFontMetricsF(f).horizontalAdvance(QLatin1Char('x')) * 8));
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
    // Each line is placed by the label, across as well as down: the
    // layout's own alignment stays left.
    option.setAlignment(Qt::AlignLeft);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    const qreal width = wordWrap() ? qMax<qreal>(0, room.width()) : 0x01000000;
    qreal height = 0;
    layout.beginLayout();
    if (m_legible) {
        // One and a half type sizes from line to line, as in a passage view.
        // A typeface taller than that reaches past the last line's stretch:
        // the label holds it whole, and the mark of any line too.
        const qreal pitch = std::round(PassageView::LegibleLineSpacing * f.pixelSize());
        qreal top = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            const qreal own = line.ascent() + line.descent();
            line.setPosition(QPointF(0, top + qMax<qreal>(0, std::floor((pitch - own) / 2))));
            height = top + qMax(pitch, own);
            top += pitch;
        }
    } else {
        // As a plain label draws its text, to the pixel: the normal look of
        // the row does not change for being marked.
        const qreal leading = QFontMetricsF(f).leading();
        height = -leading;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            height = std::ceil(height + leading);
            line.setPosition(QPointF(0, height));
            height += line.ascent() + line.descent();
            if (!whole && height >= room.height())
                break;
        }
    }
    layout.endLayout();
    const Qt::Alignment a = alignment();
    for (int i = 0; i < layout.lineCount() && (a & (Qt::AlignRight | Qt::AlignHCenter)); ++i) {
        QTextLine line = layout.lineAt(i);
        const qreal spare = room.width() - line.horizontalAdvance();
        line.setPosition(QPointF((a & Qt::AlignRight) ? spare : spare / 2, line.y()));
    }
    return qMax<qreal>(0, height);
}

QPointF PassageLabel::origin(const QRectF &room, qreal height) const
{
    const Qt::Alignment a = alignment();
    qreal y = 0;
    if (a & Qt::AlignBottom)
        y = room.height() - height;
    else if (a & Qt::AlignVCenter)
        y = (room.height() - height) / 2;
    return QPointF(room.x(), room.y() + y);
}

int PassageLabel::heightForWidth(int width) const
{
    const QMargins m = contentsMargins();
    QTextLayout layout;
    const qreal h = layOut(layout, QRectF(0, 0, width - m.left() - m.right(), 1e6), true);
    return int(std::ceil(h)) + m.top() + m.bottom();
}

void PassageLabel::paintEvent(QPaintEvent *e)
{
    QFrame::paintEvent(e);
    QPainter p(this);
    const QRectF room = QRectF(contentsRect());
    QTextLayout layout;
    const qreal height = layOut(layout, room, false);
    const QPointF at = origin(room, height);
    QStyleOption opt;
    opt.initFrom(this);
    p.setPen(QPen(opt.palette.brush(foregroundRole()), p.pen().widthF()));
    p.save();
    if (!room.contains(QRectF(at, QSizeF(room.width(), height))))
        p.setClipRect(room, Qt::IntersectClip);
    // The mark drawn as a passage view draws it: the text and its colours
    // show through the band.
    QVector<QTextLayout::FormatRange> ranges;
    if (m_mark.first >= 0) {
        QTextLayout::FormatRange range;
        range.start = m_mark.first;
        range.length = m_mark.second - m_mark.first;
        range.format = readingMarkFormat();
        ranges << range;
    }
    layout.draw(&p, at, ranges);
    p.restore();
    paintEdges(p);
}

QRect PassageLabel::readingRect() const
{
    if (m_mark.first < 0)
        return QRect();
    const QRectF room = QRectF(contentsRect());
    QTextLayout layout;
    const QPointF at = origin(room, layOut(layout, room, false));
    QRectF band;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const int a = qMax(m_mark.first, line.textStart());
        const int b = qMin(m_mark.second, line.textStart() + line.textLength());
        if (a >= b)
            continue;
        const qreal left = line.cursorToX(a), right = line.cursorToX(b);
        band |= QRectF(left, line.y(), right - left, line.height()).translated(at);
    }
    return band.toAlignedRect();
}

void PassageLabel::markReading(int start, int end)
{
    const int last = int(text().size());
    start = qBound(0, start, last);
    m_mark = {start, qBound(start, end, last)};
    update();
    // Into sight: the whole row when it fits, the sentence at least.
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        auto *column = qobject_cast<QScrollArea *>(w);
        if (!column || !column->widget() || !column->widget()->isAncestorOf(this))
            continue;
        column->ensureWidgetVisible(this, 0, 0);
        const QRect band = readingRect();
        if (!band.isEmpty()) {
            const QPoint centre = mapTo(column->widget(), band.center());
            column->ensureVisible(centre.x(), centre.y(), 0, band.height() / 2 + 2);
        }
        break;
    }
}

void PassageLabel::clearReadingMark()
{
    if (m_mark.first < 0)
        return;
    m_mark = {-1, -1};
    update();
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "labels.h"

#include <QPair>

class QTextLayout;

namespace morvello {

// A label that shows a stretch of a passage (one sequence of it, on a row of
// its own): plain text, wrapped. It lays its lines out itself, as a plain
// label would, so that it knows where each sentence lies: the one being read
// aloud is marked over it as in a passage view, and the legible look can set
// its lines and letters wider apart, which a plain label cannot.
class PassageLabel : public StyledLabel
{
    Q_OBJECT
public:
    explicit PassageLabel(QWidget *parent = nullptr);

    // The legible look's spacing: lines 1.5 type sizes apart, letters wider
    // apart. The typeface and its size are the screen's to give.
    void setLegibleSpacing(bool on);
    bool legibleSpacing() const { return m_legible; }

    // The height the whole text needs at `width`, the margins included.
    int heightForWidth(int width) const override;

    // The sentence being read aloud, [start, end) in the text: marked over
    // it, and scrolled into sight when the label lies in a scrolling column.
    void markReading(int start, int end);
    void clearReadingMark();
    QPair<int, int> readingMark() const { return m_mark; }
    // Where the mark lies, in the label's pixels; empty when there is none.
    QRect readingRect() const;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    // Lays the text out in `room` (the label's text rectangle), each line
    // placed for the label's alignment, and returns the height its lines
    // take; `whole` lays every line even past the room.
    qreal layOut(QTextLayout &layout, const QRectF &room, bool whole) const;
    // Where the laid-out lines start, for the label's alignment.
    QPointF origin(const QRectF &room, qreal height) const;

    bool m_legible = false;
    QPair<int, int> m_mark{-1, -1};
};

} // namespace morvello

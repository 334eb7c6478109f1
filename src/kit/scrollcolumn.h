// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPointer>
#include <QScrollArea>
#include <QVector>

class QScrollBar;

namespace morvello {

class Screen;

// A stretch of a screen whose controls move up and down together when they
// need more height than it has (the rows of a passage in the legible look).
// While they fit it shows nothing of its own: the controls lie to the pixel
// where they would lie on the screen, over the screen's own background. Its
// scroll bar stands apart, in free space of the design, and shows only when
// there is something to scroll.
class ScrollColumn : public QScrollArea
{
    Q_OBJECT
public:
    ScrollColumn(Screen *screen, const QString &name, const QRect &twips, const QRect &barTwips);

    // Moves a control of the screen into the column; it keeps its design
    // rectangle, set and changed through the screen as before.
    void adopt(QWidget *control);
    // Makes the column as high as its visible controls reach, after they
    // moved or grew.
    void fitContent();
    // A control of the screen that reaches into a corner of the column:
    // nothing that scrolls passes under it.
    void keepClear(QWidget *control);

    QWidget *content() const { return widget(); }
    QScrollBar *bar() const { return m_bar; }
    // Whether anything lies beyond sight.
    bool scrolls() const;

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void clearCorners();

    Screen *m_screen;
    QScrollBar *m_bar;
    QVector<QPointer<QWidget>> m_clear;
};

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "textfit.h"

#include <QColor>
#include <QRadioButton>

namespace morvello {

class StyledLabel;

// How an answer option looks: open to a choice; the pupil's choice, right or
// wrong; or left aside once the question is answered. Every screen marks its
// options one way: the choice framed, a wrong choice on the wrong-answer red,
// the options left aside in grey.
enum class AnswerMark { Open, Chosen, Wrong, Closed };

// The grey of the options left aside: still readable (over 5:1 on the light
// grounds of the options), plainly not the pupil's choice.
QColor closedTextColor();
// Gives a label used as an option the look of its mark; `ground` and `text`
// are its resting colours.
void markAnswer(StyledLabel *label, AnswerMark mark, const QColor &ground, const QColor &text = Qt::black);

// A round option with its caption wrapped in a box: the circle inside the
// box with a margin, at a size that grows with the type, and the caption in
// the room left. A click anywhere on the box chooses it; a click does not take
// the keyboard focus, so the focus ring stays where the keyboard left it.
class OptionBox : public QRadioButton
{
    Q_OBJECT
public:
    explicit OptionBox(QWidget *parent = nullptr);
    OptionBox(const QString &text, QWidget *parent);

    void setMark(AnswerMark mark);
    AnswerMark mark() const { return m_mark; }
    // The box's ground when it is not marked wrong.
    void setGround(const QColor &c);
    QColor ground() const { return m_ground; }
    // What the box is painted on now: its ground, or red when marked wrong.
    QColor shownGround() const;
    // How the caption is fitted to the room beside the circle.
    void setCaptionFit(const TextFit &fit);

    // The circle's diameter and the room left for the caption, in pixels.
    int markDiameter() const;
    QRect markRect() const;
    QRect captionRect() const;
    QFont captionFont() const;

protected:
    void paintEvent(QPaintEvent *e) override;
    bool hitButton(const QPoint &pos) const override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    AnswerMark m_mark = AnswerMark::Open;
    QColor m_ground = QColor(0xf0, 0xf0, 0xf0);
    TextFit m_fit{true, 0.75, false};
};

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "optionbox.h"

#include "labels.h"

#include <QFocusEvent>
#include <QPainter>
#include <QtMath>

namespace morvello {

namespace {
// The frame of the pupil's choice, in pixels.
constexpr int kChosenFrame = 2;
} // namespace

QColor closedTextColor()
{
    return QColor(0x5a, 0x5a, 0x5a);
}

void markAnswer(StyledLabel *label, AnswerMark mark, const QColor &ground, const QColor &text)
{
    // On the red the label itself picks a text that reads (see legibleOn).
    label->setBackgroundColor(mark == AnswerMark::Wrong ? red() : ground);
    label->setTextColor(mark == AnswerMark::Closed ? closedTextColor() : text);
    label->setBordered(mark == AnswerMark::Chosen || mark == AnswerMark::Wrong, kChosenFrame);
    label->setCursor(mark == AnswerMark::Open ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

OptionBox::OptionBox(QWidget *parent) : OptionBox(QString(), parent) {}

OptionBox::OptionBox(const QString &text, QWidget *parent) : QRadioButton(text, parent)
{
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(false);
    // The screen sets every option from its exercise's state; siblings must
    // not be cleared behind its back.
    setAutoExclusive(false);
}

void OptionBox::setMark(AnswerMark mark)
{
    if (mark == m_mark)
        return;
    m_mark = mark;
    setCursor(mark == AnswerMark::Open ? Qt::PointingHandCursor : Qt::ArrowCursor);
    update();
}

void OptionBox::setGround(const QColor &c)
{
    m_ground = c;
    update();
}

QColor OptionBox::shownGround() const
{
    return m_mark == AnswerMark::Wrong ? red() : m_ground;
}

void OptionBox::setCaptionFit(const TextFit &fit)
{
    m_fit = fit;
    update();
}

int OptionBox::markDiameter() const
{
    // A little larger than the caption's capitals, never so large that the
    // box's margin is lost.
    const int fromType = qRound(QFontInfo(font()).pixelSize() * 0.95);
    return qBound(10, fromType, qMax(10, height() - 2 * qMax(2, height() / 8)));
}

QRect OptionBox::markRect() const
{
    const int d = markDiameter();
    const int margin = qMax(3, d / 2);
    return QRect(margin, (height() - d) / 2, d, d);
}

QRect OptionBox::captionRect() const
{
    const QRect mark = markRect();
    const int gap = qMax(4, mark.width() / 2);
    const int inner = qMax(3, kChosenFrame + 1);
    return rect().adjusted(mark.right() + 1 + gap, inner, -inner, -inner);
}

QFont OptionBox::captionFont() const
{
    return fittedFont(font(), {text()}, captionRect().size(), m_fit);
}

void OptionBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ground = shownGround();
    p.fillRect(rect(), ground);
    if (m_mark == AnswerMark::Chosen || m_mark == AnswerMark::Wrong) {
        p.setPen(QPen(Qt::black, kChosenFrame, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(kChosenFrame / 2.0, kChosenFrame / 2.0, -kChosenFrame / 2.0,
                                           -kChosenFrame / 2.0));
    }

    const QRectF circle = QRectF(markRect()).adjusted(0.75, 0.75, -0.75, -0.75);
    const bool live = isEnabled() && m_mark == AnswerMark::Open;
    p.setPen(QPen(live ? QColor(0x33, 0x33, 0x33) : closedTextColor(), 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(circle);
    if (isChecked()) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        const double r = circle.width() * 0.27;
        p.drawEllipse(circle.center(), r, r);
    }

    const QColor wanted = m_mark == AnswerMark::Closed || (!isEnabled() && m_mark == AnswerMark::Open)
                              ? closedTextColor()
                              : QColor(Qt::black);
    p.setPen(legibleOn(wanted, ground));
    p.setFont(captionFont());
    p.drawText(captionRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
}

bool OptionBox::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void OptionBox::focusInEvent(QFocusEvent *e)
{
    QRadioButton::focusInEvent(e);
    if (e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason
        || e->reason() == Qt::ShortcutFocusReason)
        FocusRing::showAround(this);
}

void OptionBox::focusOutEvent(QFocusEvent *e)
{
    FocusRing::hideFrom(this);
    QRadioButton::focusOutEvent(e);
}

} // namespace morvello

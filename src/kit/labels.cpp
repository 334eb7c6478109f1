// SPDX-License-Identifier: GPL-3.0-or-later
#include "labels.h"

#include <QAccessible>

#include <cmath>

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace morvello {

static bool isActivationKey(QKeyEvent *e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space;
}

FocusRing::FocusRing(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

FocusRing *FocusRing::of(QWidget *parent)
{
    return parent ? parent->findChild<FocusRing *>(QStringLiteral("focusRing"), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

void FocusRing::showAround(QWidget *target)
{
    QWidget *parent = target ? target->parentWidget() : nullptr;
    if (!parent)
        return;
    FocusRing *ring = of(parent);
    if (!ring)
        ring = new FocusRing(parent);
    ring->follow(target);
}

void FocusRing::hideFrom(QWidget *target)
{
    FocusRing *ring = target ? of(target->parentWidget()) : nullptr;
    if (ring && ring->m_target == target)
        ring->follow(nullptr);
}

void FocusRing::follow(QWidget *target)
{
    if (m_target)
        m_target->removeEventFilter(this);
    m_target = target;
    if (!target) {
        hide();
        return;
    }
    target->installEventFilter(this);
    place();
}

void FocusRing::place()
{
    if (!m_target || !m_target->isVisible()) {
        hide();
        return;
    }
    setGeometry(m_target->geometry().adjusted(-Reach, -Reach, Reach, Reach));
    show();
    raise();
    update();
}

bool FocusRing::eventFilter(QObject *o, QEvent *e)
{
    if (o == m_target) {
        switch (e->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        default:
            break;
        }
    }
    return false;
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    // A dark line with a light dashed one inside it: one of the two stands
    // out whatever lies behind.
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(r).adjusted(1, 1, -1, -1));
    p.setPen(QPen(Qt::white, 2, Qt::DashLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawRect(QRectF(r).adjusted(3, 3, -3, -3));
}

StyledLabel::StyledLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    restyle();
}

QColor legibleOn(const QColor &wanted, const QColor &ground)
{
    if (ground.rgb() != red().rgb() || contrastRatio(wanted, ground) >= 4.5)
        return wanted;
    return QColor(Qt::black);
}

void StyledLabel::setTextColor(const QColor &c)
{
    if (c == m_text)
        return;
    m_text = c;
    restyle();
}

void StyledLabel::setBackgroundColor(const QColor &c)
{
    if (c == m_background)
        return;
    m_background = c;
    restyle();
}

void StyledLabel::setBordered(bool on, int width)
{
    const int w = qMax(1, width);
    if (on == m_border && w == m_borderWidth)
        return;
    m_border = on;
    m_borderWidth = w;
    restyle();
}

void StyledLabel::setPadding(const QMargins &px)
{
    if (px == m_padding)
        return;
    m_padding = px;
    restyle();
}

void StyledLabel::restyle()
{
    // Palette and a little painting rather than style sheets: a screen has
    // dozens of labels, and style sheets would make every screen slow to build.
    QPalette pal = palette();
    const QColor text = m_background.isValid() ? legibleOn(m_text, m_background) : m_text;
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Text, text);
    if (m_background.isValid())
        pal.setColor(QPalette::Window, m_background);
    setPalette(pal);
    setAutoFillBackground(m_background.isValid());
    const int b = m_border ? m_borderWidth : 0;
    setContentsMargins(m_padding + QMargins(b, b, b, b));
    update();
}

void StyledLabel::paintEvent(QPaintEvent *e)
{
    QLabel::paintEvent(e);
    if (!m_border && !(m_keyboardFocus && hasFocus()))
        return;
    QPainter p(this);
    paintEdges(p);
}

void StyledLabel::paintEdges(QPainter &p)
{
    // A label on its own has no parent to carry the ring: it draws it inside.
    const bool ringInside = m_keyboardFocus && hasFocus() && !parentWidget();
    if (m_border) {
        const double half = m_borderWidth / 2.0;
        p.setPen(QPen(Qt::black, m_borderWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
    }
    if (ringInside) {
        p.setPen(QPen(m_text, 2, Qt::DashLine));
        p.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void StyledLabel::focusInEvent(QFocusEvent *e)
{
    // Like a browser's focus-visible: the ring shows when the keyboard
    // brought the focus here, not when a window handed it out.
    m_keyboardFocus = e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason
                      || e->reason() == Qt::ShortcutFocusReason;
    // Keyboard users see where they are without any colour changing.
    if (m_keyboardFocus)
        FocusRing::showAround(this);
    QLabel::focusInEvent(e);
    update();
}

void StyledLabel::focusOutEvent(QFocusEvent *e)
{
    m_keyboardFocus = false;
    FocusRing::hideFrom(this);
    QLabel::focusOutEvent(e);
    update();
}

ClickLabel::ClickLabel(const QString &text, QWidget *parent) : StyledLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(text.simplified());
}

void ClickLabel::click()
{
    m_modifiers = Qt::NoModifier;
    emit clicked();
}

void ClickLabel::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_pressed = true;
    e->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
        m_modifiers = e->modifiers();
        emit clicked();
    }
    e->accept();
}

void ClickLabel::keyPressEvent(QKeyEvent *e)
{
    if (isActivationKey(e)) {
        m_modifiers = e->modifiers();
        emit clicked();
        return;
    }
    StyledLabel::keyPressEvent(e);
}

CommandLabel::CommandLabel(const QString &text, const QColor &resting, QWidget *parent)
    : ClickLabel(text, parent), m_resting(resting)
{
    setTextColor(resting);
    setMouseTracking(true);
}

void CommandLabel::mouseMoveEvent(QMouseEvent *e)
{
    setTextColor(red());
    emit hovered();
    e->accept();
}

DragLabel::DragLabel(const QString &text, QWidget *parent) : StyledLabel(text, parent)
{
    setCursor(Qt::OpenHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(text.simplified());
}

QString DragLabel::mimeType()
{
    return QStringLiteral("application/x-morvello-label");
}

void DragLabel::setPicked(bool on)
{
    if (m_picked == on)
        return;
    m_picked = on;
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
    update();
    // A screen reader hears the pick as a button pressed in or let out.
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void DragLabel::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        StyledLabel::mousePressEvent(e);
        return;
    }
    // The drag starts at once, as soon as the button goes down.
    auto *mime = new QMimeData;
    mime->setData(mimeType(), text().toUtf8());
    mime->setText(text());
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);

    // An outline of the label follows the pointer.
    QPixmap outline(size());
    outline.fill(Qt::transparent);
    {
        QPainter p(&outline);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(outline.rect().adjusted(0, 0, -1, -1));
    }
    drag->setPixmap(outline);
    drag->setHotSpot(e->position().toPoint());

    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    emit dragFinished(action);
    if (action == Qt::IgnoreAction && rect().contains(mapFromGlobal(QCursor::pos())))
        emit picked();
}

void DragLabel::keyPressEvent(QKeyEvent *e)
{
    if (isActivationKey(e)) {
        emit picked();
        return;
    }
    StyledLabel::keyPressEvent(e);
}

void DragLabel::focusInEvent(QFocusEvent *e)
{
    StyledLabel::focusInEvent(e);
    update();
}

void DragLabel::focusOutEvent(QFocusEvent *e)
{
    StyledLabel::focusOutEvent(e);
    update();
}

DropLabel::DropLabel(int index, QWidget *parent) : ClickLabel(QString(), parent), m_index(index)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    // A press need not start here: a label dropped from a drag counts, and
    // so does a plain release over the box.
    connect(this, &ClickLabel::clicked, this, [this] { emit boxClicked(m_index); });
}

void DropLabel::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasFormat(DragLabel::mimeType()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void DropLabel::dragMoveEvent(QDragMoveEvent *e)
{
    if (e->mimeData()->hasFormat(DragLabel::mimeType()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void DropLabel::dropEvent(QDropEvent *e)
{
    if (!e->mimeData()->hasFormat(DragLabel::mimeType())) {
        e->ignore();
        return;
    }
    const QString caption = QString::fromUtf8(e->mimeData()->data(DragLabel::mimeType()));
    e->acceptProposedAction();
    emit dropped(m_index, caption, e->source());
}

void DropLabel::focusInEvent(QFocusEvent *e)
{
    ClickLabel::focusInEvent(e);
    update();
}

void DropLabel::focusOutEvent(QFocusEvent *e)
{
    ClickLabel::focusOutEvent(e);
    update();
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/contrast.h"

#include <QColor>
#include <QLabel>
#include <QMargins>
#include <QPoint>
#include <QPointer>

namespace morvello {

// Pure red marks a wrong answer and a command under the pointer.
inline QColor red() { return QColor(255, 0, 0); }

// The text colour to draw on `ground`: `wanted`, unless the ground is the
// wrong-answer red and `wanted` would not reach a contrast of 4.5 on it
// (white reaches 4.0), when it is black.
QColor legibleOn(const QColor &wanted, const QColor &ground);

// The keyboard focus ring: drawn on the parent just outside the widget that
// has the focus, so that it never runs through the widget's own text. Dark
// and light at once, it shows on any background. One ring per parent.
class FocusRing : public QWidget
{
    Q_OBJECT
public:
    // How far the ring reaches beyond the widget, in pixels.
    static constexpr int Reach = 4;

    static void showAround(QWidget *target);
    static void hideFrom(QWidget *target);
    // The ring of `parent`, or null when none was ever shown there.
    static FocusRing *of(QWidget *parent);
    QWidget *target() const { return m_target; }

protected:
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    explicit FocusRing(QWidget *parent);
    void follow(QWidget *target);
    void place();
    QPointer<QWidget> m_target;
};

// A label whose text colour, background (or none) and border are set in code
// and read back by tests.
class StyledLabel : public QLabel
{
    Q_OBJECT
public:
    explicit StyledLabel(const QString &text = QString(), QWidget *parent = nullptr);

    void setTextColor(const QColor &c);
    QColor textColor() const { return m_text; }
    // An invalid colour means transparent: the window shows through.
    void setBackgroundColor(const QColor &c);
    QColor backgroundColor() const { return m_background; }
    // A black frame inside the edge, `width` pixels wide.
    void setBordered(bool on, int width = 1);
    bool isBordered() const { return m_border; }
    // Room between the edge (or the border) and the text, in pixels.
    void setPadding(const QMargins &px);
    QMargins padding() const { return m_padding; }

protected:
    void paintEvent(QPaintEvent *e) override;
    // The border, and the focus ring of a label on its own, over the text.
    void paintEdges(QPainter &p);
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    void restyle();
    bool m_keyboardFocus = false;
    QColor m_text = Qt::black;
    QColor m_background;
    bool m_border = false;
    int m_borderWidth = 1;
    QMargins m_padding;
};

// The one clickable label: clicked when the left button is pressed and
// released over it, or with Enter/Space when it has the keyboard focus.
class ClickLabel : public StyledLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(const QString &text = QString(), QWidget *parent = nullptr);

    // The keys held at the last click (Shift for a click's second meaning).
    Qt::KeyboardModifiers clickModifiers() const { return m_modifiers; }
    // A click with no keys held, as a screen reader's "press" gives it.
    void click();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    bool m_pressed = false;
    Qt::KeyboardModifiers m_modifiers;
};

// A label that acts as a command: a clickable label that turns red under the
// pointer and back to its resting colour when the screen says so.
class CommandLabel : public ClickLabel
{
    Q_OBJECT
public:
    CommandLabel(const QString &text, const QColor &resting, QWidget *parent = nullptr);

    QColor restingColor() const { return m_resting; }
    void rest() { setTextColor(m_resting); }
    void setRestingColor(const QColor &c) { m_resting = c; }

signals:
    void hovered();

protected:
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    QColor m_resting;
};

// A label that starts a drag as soon as it is pressed; the label stays in
// place and can be dragged again any number of times. A press released
// without a drop (a plain click), or Enter/Space, reports picked() so that
// pupils who cannot drag can pick and place instead.
class DragLabel : public StyledLabel
{
    Q_OBJECT
public:
    explicit DragLabel(const QString &text = QString(), QWidget *parent = nullptr);

    static QString mimeType(); // "application/x-morvello-label"

    void setPicked(bool on);
    bool isPicked() const { return m_picked; }
    // What Enter or Space does: reports picked().
    void pick() { emit picked(); }

signals:
    void picked();
    void dragFinished(Qt::DropAction action);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    bool m_picked = false;
};

// A drop target: accepts the drags of DragLabels and reports what was dropped.
// Clicked, or Enter/Space, reports boxClicked() for the pick-and-place road.
class DropLabel : public ClickLabel
{
    Q_OBJECT
public:
    explicit DropLabel(int index, QWidget *parent = nullptr);
    int index() const { return m_index; }

signals:
    void dropped(int index, const QString &caption, QObject *source);
    void boxClicked(int index);

protected:
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    int m_index;
};

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>

namespace morvello {

Chooser::Chooser(QWidget *parent) : QComboBox(parent)
{
    setCursor(Qt::PointingHandCursor);
    setColors(m_background, m_text);
}

void Chooser::setColors(const QColor &background, const QColor &text)
{
    m_background = background;
    m_text = text;
    QPalette pal = palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
        pal.setColor(role, background);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText,
                                     QPalette::PlaceholderText})
        pal.setColor(role, text);
    pal.setColor(QPalette::Highlight, text);
    pal.setColor(QPalette::HighlightedText, background);
    setPalette(pal);
    // The open list is a window of its own and takes no palette from the box.
    view()->setPalette(pal);
    if (QWidget *list = view()->parentWidget())
        list->setPalette(pal);
    update();
}

QRect Chooser::buttonRect() const
{
    // A square button, never more than a third of the box.
    const int side = qMin(height(), width() / 3);
    return QRect(width() - side, 0, side, height());
}

void Chooser::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor text = isEnabled() ? m_text : QColor(m_text.red(), m_text.green(), m_text.blue(), 128);
    const QRect r = rect();
    p.fillRect(r, m_background);

    const QRect button = buttonRect();
    p.fillRect(button, text);
    // The arrow: a solid triangle pointing down, in the box's colour on the
    // light button.
    const double w = button.width() * 0.5;
    const double h = w * 0.55;
    const QPointF c = QRectF(button).center();
    QPainterPath arrow;
    arrow.moveTo(c.x() - w / 2, c.y() - h / 2);
    arrow.lineTo(c.x() + w / 2, c.y() - h / 2);
    arrow.lineTo(c.x(), c.y() + h / 2);
    arrow.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(arrow, m_background);
    p.setRenderHint(QPainter::Antialiasing, false);

    p.setPen(QPen(text, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));

    const QString shown = currentIndex() >= 0 ? currentText() : placeholderText();
    const int pad = qMax(3, height() / 6);
    const QRect textRect = r.adjusted(pad, 0, -(button.width() + pad), 0);
    p.setFont(font());
    p.setPen(text);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(shown, Qt::ElideRight, textRect.width()));
}

void Chooser::focusInEvent(QFocusEvent *e)
{
    QComboBox::focusInEvent(e);
    if (e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason
        || e->reason() == Qt::ShortcutFocusReason)
        FocusRing::showAround(this);
}

void Chooser::focusOutEvent(QFocusEvent *e)
{
    FocusRing::hideFrom(this);
    QComboBox::focusOutEvent(e);
}

namespace controls {

namespace {

// Sits in front of every widget of the program and turns away what would
// change a closed chooser without a choice from its list.
class ChooserGuard : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        const QEvent::Type type = e->type();
        if (type != QEvent::Wheel && type != QEvent::KeyPress)
            return false;
        auto *combo = qobject_cast<QComboBox *>(o);
        if (!combo || combo->view()->isVisible())
            return false;
        if (type == QEvent::Wheel) {
            // Turned away, not swallowed: what lies behind may still scroll.
            e->ignore();
            return true;
        }
        // In a box that takes typing the keys edit the text.
        if (combo->isEditable())
            return false;
        auto *key = static_cast<QKeyEvent *>(e);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (mods & Qt::AltModifier)
                return false; // opens the list already
            combo->showPopup();
            return true;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            e->ignore();
            return true;
        default:
            break;
        }
        // Typing would jump to the item it starts; the space bar opens the list.
        const QString typed = key->text();
        if (!typed.isEmpty() && typed.at(0).isPrint() && key->key() != Qt::Key_Space
            && !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            e->ignore();
            return true;
        }
        return false;
    }
};

} // namespace

void guardChoosers()
{
    static QPointer<ChooserGuard> guard;
    if (guard || !qApp)
        return;
    guard = new ChooserGuard(qApp);
    qApp->installEventFilter(guard);
}

namespace {

template <class L>
L *setUp(Screen *screen, L *l, const QString &name, const QRect &twips, const DesignFont &font)
{
    l->setObjectName(name);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    screen->setDesignGeometry(l, twips);
    screen->setDesignFont(l, font);
    return l;
}

template <class L>
L *coloured(Screen *screen, const QString &name, const QString &text, const QRect &twips, const DesignFont &font,
            const QColor &textColor, const QColor &background)
{
    auto *l = new L(text, screen);
    l->setTextColor(textColor);
    l->setBackgroundColor(background);
    return setUp(screen, l, name, twips, font);
}

} // namespace

StyledLabel *label(Screen *screen, const QString &name, const QString &text, const QRect &twips,
                   const DesignFont &font, const QColor &textColor, const QColor &background)
{
    return coloured<StyledLabel>(screen, name, text, twips, font, textColor, background);
}

CommandLabel *command(Screen *screen, const QString &name, const QString &text, const QRect &twips,
                      const DesignFont &font, const QColor &resting)
{
    return setUp(screen, new CommandLabel(text, resting, screen), name, twips, font);
}

ClickLabel *clickable(Screen *screen, const QString &name, const QString &text, const QRect &twips,
                      const DesignFont &font, const QColor &textColor, const QColor &background)
{
    return coloured<ClickLabel>(screen, name, text, twips, font, textColor, background);
}

ClickLabel *guideLabel(Screen *screen, const QRect &twips, DesignFont font, const QColor &textColor,
                       const QColor &background)
{
    font.underline = true;
    ClickLabel *l = clickable(screen, QStringLiteral("LabGuida"), QStringLiteral("Guida"), twips, font, textColor,
                              background);
    l->setToolTip(QStringLiteral("Guida per l'insegnante (F1)"));
    l->setAccessibleName(QStringLiteral("Guida per l'insegnante"));
    return l;
}

QFrame *panel(Screen *screen, const QString &name, const QRect &twips, const QColor &colour)
{
    auto *f = new QFrame(screen);
    f->setObjectName(name);
    f->setFrameShape(QFrame::StyledPanel);
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, colour);
    f->setPalette(pal);
    screen->setDesignGeometry(f, twips);
    return f;
}

QPushButton *button(Screen *screen, const QString &name, const QString &caption, const QRect &twips,
                    const DesignFont &font)
{
    auto *b = new QPushButton(caption, screen);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    screen->setDesignGeometry(b, twips);
    screen->setDesignFont(b, font);
    return b;
}

Chooser *chooser(Screen *screen, const QString &name, const QStringList &items, const QString &prompt,
                 const QRect &twips, const DesignFont &font, const QColor &background, const QColor &text)
{
    auto *c = new Chooser(screen);
    c->setObjectName(name);
    c->addItems(items);
    c->setPlaceholderText(prompt);
    c->setCurrentIndex(-1);
    c->setAccessibleName(prompt);
    c->setColors(background, text);
    screen->setDesignGeometry(c, twips);
    screen->setDesignFont(c, font);
    return c;
}

QLineEdit *textBox(Screen *screen, const QString &name, const QRect &twips, const DesignFont &font, int maxLength)
{
    auto *e = new QLineEdit(screen);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    screen->setDesignGeometry(e, twips);
    screen->setDesignFont(e, font);
    return e;
}

} // namespace controls
} // namespace morvello

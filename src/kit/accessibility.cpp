// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility.h"

#include "labels.h"
#include "optionbox.h"
#include "screen.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

namespace morvello {

namespace {

const char *const kCounterName = "morvelloCounterName";

// Every label of the screens, asked afresh each time: the label's class
// decides nothing that can change, since a screen makes a label a counter, or
// takes a clickable label out of the Tab order, after Qt may already have
// made its interface.
class LabelInterface : public QAccessibleWidget
{
public:
    explicit LabelInterface(QWidget *w) : QAccessibleWidget(w, QAccessible::StaticText) {}

    QLabel *label() const { return static_cast<QLabel *>(widget()); }

    // A clickable or draggable label the keyboard can reach is a button
    // whose press does what Enter or Space does on it; one taken out of the
    // Tab order (a heading) is text.
    bool pressable() const
    {
        const bool kind = qobject_cast<ClickLabel *>(widget()) || qobject_cast<DragLabel *>(widget());
        return kind && (widget()->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
    }

    QAccessible::Role role() const override { return pressable() ? QAccessible::Button : QAccessible::StaticText; }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QString shown = label()->text().simplified();
        const QString what = a11y::counterName(widget());
        if (!what.isEmpty())
            return shown.isEmpty() ? what : what + QStringLiteral(": ") + shown;
        const QString own = widget()->accessibleName();
        return own.isEmpty() ? shown : own;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (auto *drag = qobject_cast<DragLabel *>(widget())) {
            // A type picked for the pick-and-place road reads as pressed.
            s.checkable = true;
            s.checked = drag->isPicked();
        }
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (pressable())
            names.prepend(QAccessibleActionInterface::pressAction());
        return names;
    }

    void doAction(const QString &action) override
    {
        if (action != QAccessibleActionInterface::pressAction() || !pressable() || !widget()->isEnabled()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (auto *click = qobject_cast<ClickLabel *>(widget()))
            click->click();
        else if (auto *drag = qobject_cast<DragLabel *>(widget()))
            drag->pick();
    }
};

// An answer option: a radio button that says, once answered, how it went.
class OptionInterface : public QAccessibleWidget
{
public:
    explicit OptionInterface(QWidget *w) : QAccessibleWidget(w, QAccessible::RadioButton) {}

    OptionBox *box() const { return static_cast<OptionBox *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString own = widget()->accessibleName();
            return own.isEmpty() ? box()->text().simplified() : own;
        }
        if (t == QAccessible::Description) {
            switch (box()->mark()) {
            case AnswerMark::Open: break;
            case AnswerMark::Chosen: return QStringLiteral("la tua risposta");
            case AnswerMark::Wrong: return QStringLiteral("la tua risposta, sbagliata");
            case AnswerMark::Closed: return QStringLiteral("non scelta");
            }
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = box()->isChecked();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        names.prepend(QAccessibleActionInterface::pressAction());
        return names;
    }

    void doAction(const QString &action) override
    {
        if (action == QAccessibleActionInterface::pressAction() && widget()->isEnabled())
            box()->click();
        else
            QAccessibleWidget::doAction(action);
    }
};

// A screen: a window named by its title bar.
class ScreenWindow : public QAccessibleWidget
{
public:
    explicit ScreenWindow(QWidget *w) : QAccessibleWidget(w, QAccessible::Window) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
};

// The verdict's notice: a notification, which screen readers speak when it
// shows, wherever the focus is.
class Notice : public QAccessibleWidget
{
public:
    explicit Notice(QWidget *w) : QAccessibleWidget(w, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *factory(const QString &, QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (!w)
        return nullptr;
    if (qobject_cast<LiveRegion *>(w))
        return new Notice(w);
    if (qobject_cast<StyledLabel *>(w) || qobject_cast<DragLabel *>(w))
        return new LabelInterface(w);
    if (qobject_cast<OptionBox *>(w))
        return new OptionInterface(w);
    if (qobject_cast<Screen *>(w) && w->isWindow())
        return new ScreenWindow(w);
    return nullptr;
}

} // namespace

void a11y::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
}

void a11y::nameCounter(StyledLabel *label, const QString &what)
{
    label->setProperty(kCounterName, what);
    // Without an accessible name of its own, the label tells a screen reader
    // of each new number itself (QLabel does, on every new text).
    label->setAccessibleName(QString());
}

QString a11y::counterName(const QWidget *label)
{
    return label->property(kCounterName).toString();
}

QWidget *a11y::keepFocusNear(QWidget *lost, const QList<QWidget *> &avoid)
{
    if (!lost)
        return nullptr;
    QWidget *window = lost->window();
    for (QWidget *w = lost->nextInFocusChain(); w && w != lost; w = w->nextInFocusChain()) {
        if (w->window() != window || w == window || avoid.contains(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() && w->isVisible()
            && !w->focusProxy()) {
            w->setFocus(Qt::TabFocusReason);
            return w;
        }
    }
    return nullptr;
}

LiveRegion::LiveRegion(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("LabAnnuncio"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 1, 1);
    // Hidden until there is something to say: a notification that shows
    // with its screen would be spoken, empty, each time the screen opens.
    hide();
}

void LiveRegion::announce(const QString &text)
{
    ++m_count;
    // Shown anew, so that a screen reader speaks it even when it says what
    // it said last time (two wrong answers running).
    hide();
    setText(text);
    show();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace morvello

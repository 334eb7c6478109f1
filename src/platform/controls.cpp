#include "controls.h"

#include <QLineEdit>
#include <QPushButton>

namespace morvello::controls {

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

QLineEdit *textBox(Screen *screen, const QString &name, const QRect &twips, const DesignFont &font, int maxLength)
{
    auto *e = new QLineEdit(screen);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    screen->setDesignGeometry(e, twips);
    screen->setDesignFont(e, font);
    return e;
}

} // namespace morvello::controls

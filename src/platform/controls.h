#pragma once
#include "labels.h"
#include "screen.h"

#include <QColor>
#include <QRect>
#include <QString>

class QPushButton;
class QLineEdit;

namespace morvello {

// The one way the screens make their named controls: each is created on the
// screen, given its objectName (the design's control name), placed at its
// design geometry in twips and given its design font.
namespace controls {

// A plain label; an invalid background leaves the window showing through.
StyledLabel *label(Screen *screen, const QString &name, const QString &text, const QRect &twips,
                   const DesignFont &font, const QColor &textColor = Qt::black,
                   const QColor &background = QColor());

// A label that acts as a command (red under the pointer).
CommandLabel *command(Screen *screen, const QString &name, const QString &text, const QRect &twips,
                      const DesignFont &font, const QColor &resting);

// A clickable label that does not light up.
ClickLabel *clickable(Screen *screen, const QString &name, const QString &text, const QRect &twips,
                      const DesignFont &font, const QColor &textColor = Qt::black,
                      const QColor &background = QColor());

// A command button.
QPushButton *button(Screen *screen, const QString &name, const QString &caption, const QRect &twips,
                    const DesignFont &font);

// A one-line text box.
QLineEdit *textBox(Screen *screen, const QString &name, const QRect &twips, const DesignFont &font,
                   int maxLength = 255);

} // namespace controls
} // namespace morvello

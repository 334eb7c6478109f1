// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "labels.h"
#include "screen.h"

#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QRect>
#include <QString>
#include <QStringList>

class QPushButton;
class QLineEdit;

namespace morvello {

// A chooser of the screens: a closed box that shows the choice (or a prompt
// while there is none) beside a plain drop-down button, painted in the
// screen's own colours so that the arrow shows on any background. Like every
// chooser in the program it changes only by a choice from its open list.
class Chooser : public QComboBox
{
    Q_OBJECT
public:
    explicit Chooser(QWidget *parent = nullptr);

    // The box and its list: `text` on `background`; the button is the other
    // way round, so that its arrow stands out.
    void setColors(const QColor &background, const QColor &text);
    QColor backgroundColor() const { return m_background; }
    QColor textColor() const { return m_text; }
    // The drop-down button, in the chooser's own pixels.
    QRect buttonRect() const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    QColor m_background = Qt::white;
    QColor m_text = Qt::black;
};

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

// The small "Guida" that opens the teacher's guide, an addition placed in
// free space of a screen: named "LabGuida", underlined like a link, in the
// font of its neighbours (so that it costs no font of its own at start-up).
ClickLabel *guideLabel(Screen *screen, const QRect &twips, DesignFont font, const QColor &textColor,
                       const QColor &background = QColor());

// A framed panel filled with `colour`, under the controls it groups.
QFrame *panel(Screen *screen, const QString &name, const QRect &twips, const QColor &colour);

// A command button.
QPushButton *button(Screen *screen, const QString &name, const QString &caption, const QRect &twips,
                    const DesignFont &font);

// A chooser holding `items`, showing `prompt` until one is chosen.
Chooser *chooser(Screen *screen, const QString &name, const QStringList &items, const QString &prompt,
                 const QRect &twips, const DesignFont &font, const QColor &background, const QColor &text);

// Closed choosers ignore the mouse wheel and (unless they take typing) the
// keys that would step or search through their items: a stray turn of the wheel must not swap the
// text under a pupil's placed answers. The arrow keys open the list instead.
// Installed once for the whole program; every Screen calls it.
void guardChoosers();

// A one-line text box.
QLineEdit *textBox(Screen *screen, const QString &name, const QRect &twips, const DesignFont &font,
                   int maxLength = 255);

} // namespace controls
} // namespace morvello

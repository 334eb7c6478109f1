#pragma once
#include "labels.h"
#include "screen.h"
#include "textfit.h"

#include <QObject>
#include <QPointer>
#include <QVector>

class QFrame;

namespace morvello {

// A drag-onto-boxes board: a column of drop boxes and a set of draggable
// tiles on a screen. A tile is placed on a box by dragging it there, or by
// picking it (click, Enter or Space) and then picking the box; picking the
// picked tile again puts it down. The board reports each placing; what a
// box then shows is the screen's business, set back through setBox().
class DropBoard : public QObject
{
    Q_OBJECT
public:
    explicit DropBoard(Screen *screen);

    // Box captions keep their whole text: at the design's size, on two lines
    // if need be, or else the largest size down to this many points (at the
    // design size of the screen) with which the caption fits the box. Below
    // it a pupil of eleven reads with difficulty: a box too small for its
    // longest caption at this size is the screen's to widen.
    static constexpr double SmallestPoints = 9.0;
    // The fitting rule of a box caption in the given design font.
    static TextFit captionFit(const DesignFont &font);

    // The hints shown over a tile and over a box.
    static QString tileHint();
    static QString boxHint();

    // A drop box; its index is its place in the column (0, 1, ...).
    DropLabel *addBox(const QString &name, const QRect &twips, const DesignFont &font, const QColor &background);
    // A draggable tile showing `caption`.
    DragLabel *addTile(const QString &name, const QString &caption, const QRect &twips, const DesignFont &font,
                       const QColor &background, const QColor &textColor);

    int boxCount() const { return int(m_boxes.size()); }
    DropLabel *box(int index) const { return index >= 0 && index < m_boxes.size() ? m_boxes[index] : nullptr; }
    const QVector<DropLabel *> &boxes() const { return m_boxes; }
    const QVector<DragLabel *> &tiles() const { return m_tiles; }

    // What box `index` shows: its caption (fitted to the box), its colour, and
    // the name a screen reader reads.
    void setBox(int index, const QString &caption, const QColor &background, const QString &accessibleName);
    void setBoxGeometry(int index, const QRect &twips);
    // Fits every box caption again (after a new scale).
    void fitCaptions();

    // The tile picked for placing with a click or a key; null when none.
    DragLabel *picked() const { return m_picked; }
    void setPicked(DragLabel *tile);
    void clearPick() { setPicked(nullptr); }

    // The caption a drop brings: the dragged label's own caption, or the
    // dragged data when the source is not at hand.
    static QString droppedCaption(QObject *source, const QString &data);

    // Keyboard order: the tiles, then the boxes.
    QVector<QWidget *> tabChain() const;

signals:
    // A tile was dropped or placed on box `index`.
    void placed(int index, const QString &caption);

private:
    void tilePicked(DragLabel *tile);
    void boxClicked(int index);

    Screen *m_screen;
    QVector<DropLabel *> m_boxes;
    QVector<DesignFont> m_boxFonts;
    QVector<DragLabel *> m_tiles;
    QFrame *m_pickFrame = nullptr;
    QPointer<DragLabel> m_picked;
};

} // namespace morvello

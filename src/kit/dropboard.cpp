#include "dropboard.h"

#include <QFrame>

namespace morvello {

namespace {
// How far the highlight of a picked tile reaches beyond it, in twips.
constexpr int kPickMargin = 60;
} // namespace

DropBoard::DropBoard(Screen *screen) : QObject(screen), m_screen(screen)
{
    // Drawn over everything else, and letting clicks through to what it frames.
    m_pickFrame = new QFrame(screen);
    m_pickFrame->setObjectName(QStringLiteral("pickFrame"));
    m_pickFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pickFrame->setStyleSheet(QStringLiteral("QFrame { border: 3px solid #FFFF00; background: transparent; }"));
    m_pickFrame->hide();
    connect(screen, &Screen::laidOut, this, &DropBoard::fitCaptions);
}

TextFit DropBoard::captionFit(const DesignFont &font)
{
    // Wrapping comes first: a smaller size is tried only when no number of
    // lines that the box holds will do.
    return TextFit{true, qMin(1.0, SmallestPoints / qMax(font.points, 1.0)), false};
}

QString DropBoard::tileHint()
{
    return QStringLiteral("Trascinala su una casella, oppure fai clic qui e poi sulla casella.");
}

QString DropBoard::boxHint()
{
    return QStringLiteral("Trascina qui un'etichetta, oppure fai clic sull'etichetta e poi qui.");
}

DropLabel *DropBoard::addBox(const QString &name, const QRect &twips, const DesignFont &font,
                             const QColor &background)
{
    const int index = int(m_boxes.size());
    auto *box = new DropLabel(index, m_screen);
    box->setObjectName(name);
    box->setTextFormat(Qt::PlainText);
    box->setBackgroundColor(background);
    box->setBordered(true);
    box->setAlignment(Qt::AlignCenter);
    box->setWordWrap(true);
    m_screen->setDesignGeometry(box, twips);
    box->setToolTip(boxHint());
    m_screen->setFittedFont(box, font, captionFit(font));
    connect(box, &DropLabel::dropped, this,
            [this](int i, const QString &data, QObject *source) { emit placed(i, droppedCaption(source, data)); });
    connect(box, &DropLabel::boxClicked, this, &DropBoard::boxClicked);
    m_boxes << box;
    m_boxFonts << font;
    m_pickFrame->raise();
    return box;
}

DragLabel *DropBoard::addTile(const QString &name, const QString &caption, const QRect &twips,
                              const DesignFont &font, const QColor &background, const QColor &textColor)
{
    auto *t = new DragLabel(caption, m_screen);
    t->setObjectName(name);
    t->setTextFormat(Qt::PlainText);
    t->setBackgroundColor(background);
    t->setTextColor(textColor);
    t->setBordered(true);
    t->setAlignment(Qt::AlignCenter);
    t->setWordWrap(true);
    t->setAccessibleDescription(
        QStringLiteral("Trascinalo su una casella, oppure sceglilo e poi scegli la casella."));
    t->setToolTip(tileHint());
    m_screen->setDesignGeometry(t, twips);
    m_screen->setDesignFont(t, font);
    connect(t, &DragLabel::picked, this, [this, t] { tilePicked(t); });
    m_tiles << t;
    m_pickFrame->raise();
    return t;
}

void DropBoard::setBox(int index, const QString &caption, const QColor &background, const QString &accessibleName)
{
    DropLabel *b = box(index);
    if (!b)
        return;
    b->setText(caption);
    b->setBackgroundColor(background);
    b->setAccessibleName(accessibleName);
    m_screen->refit(b);
}

void DropBoard::setBoxGeometry(int index, const QRect &twips)
{
    if (DropLabel *b = box(index)) {
        m_screen->setDesignGeometry(b, twips);
        m_screen->refit(b);
    }
}

void DropBoard::fitCaptions()
{
    for (DropLabel *b : std::as_const(m_boxes))
        m_screen->refit(b);
    if (m_picked)
        setPicked(m_picked);
}

QString DropBoard::droppedCaption(QObject *source, const QString &data)
{
    if (auto *label = qobject_cast<QLabel *>(source))
        return label->text();
    return data;
}

QVector<QWidget *> DropBoard::tabChain() const
{
    QVector<QWidget *> chain;
    for (DragLabel *t : m_tiles)
        chain << t;
    for (DropLabel *b : m_boxes)
        chain << b;
    return chain;
}

void DropBoard::tilePicked(DragLabel *tile)
{
    // Picking the tile already picked puts it down again.
    setPicked(m_picked == tile ? nullptr : tile);
}

void DropBoard::boxClicked(int index)
{
    if (!m_picked)
        return;
    DragLabel *tile = m_picked;
    setPicked(nullptr);
    emit placed(index, tile->text());
}

void DropBoard::setPicked(DragLabel *tile)
{
    if (m_picked && m_picked != tile)
        m_picked->setPicked(false);
    m_picked = tile;
    if (!tile) {
        m_pickFrame->hide();
        return;
    }
    tile->setPicked(true);
    m_screen->setDesignGeometry(
        m_pickFrame, m_screen->designGeometry(tile).adjusted(-kPickMargin, -kPickMargin, kPickMargin, kPickMargin));
    m_pickFrame->show();
    m_pickFrame->raise();
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen.h"

#include "controls.h"
#include "labels.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <cmath>

namespace morvello {

Screen::Screen(const QString &name, const QSize &designTwips, const QColor &background, const QString &caption,
               QWidget *parent)
    : QWidget(parent, Qt::Window), m_design(designTwips), m_background(background)
{
    setObjectName(name);
    setWindowTitle(caption);
    controls::guardChoosers();
    setMouseTracking(true);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, background);
    setPalette(pal);
    resize(int(std::lround(designTwips.width() / kTwipsPerPixel)),
           int(std::lround(designTwips.height() / kTwipsPerPixel)));
}

Screen::~Screen()
{
    // The children go first, while the tables that their destroyed() handlers
    // edit are still alive; left to ~QWidget they would reach a dead screen.
    while (QWidget *child = findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        delete child;
}

void Screen::setDesignGeometry(QWidget *w, const QRect &twips)
{
    if (!w)
        return;
    const auto holder = m_holders.constFind(w->parentWidget());
    if (w->parentWidget() != this && holder == m_holders.constEnd())
        w->setParent(this);
    if (!m_geometry.contains(w) && !m_fonts.contains(w) && !m_padding.contains(w))
        forgetOnDestroy(w);
    m_geometry.insert(w, twips);
    // Edges are rounded, not sizes, so that controls laid edge to edge on the
    // design stay edge to edge on the display, without a pixel of gap.
    const double s = m_scale / kTwipsPerPixel;
    int left = m_left + int(std::lround(twips.x() * s));
    int top = int(std::lround(twips.y() * s));
    int right = m_left + int(std::lround((twips.x() + twips.width()) * s));
    int bottom = int(std::lround((twips.y() + twips.height()) * s));
    if (holder != m_holders.constEnd()) {
        // The same pixels as on the surface, the holder's corner taken off.
        const QPoint corner = toPixels(QRect(*holder, QSize(0, 0))).topLeft();
        left -= corner.x();
        right -= corner.x();
        top -= corner.y();
        bottom -= corner.y();
    }
    w->setGeometry(left, top, qMax(1, right - left), qMax(1, bottom - top));
    auto pad = m_padding.constFind(w);
    if (pad != m_padding.constEnd()) {
        const QMargins scaled(px(pad->left()), px(pad->top()), px(pad->right()), px(pad->bottom()));
        if (auto *label = qobject_cast<StyledLabel *>(w))
            label->setPadding(scaled);
        else
            w->setContentsMargins(scaled);
    }
}

void Screen::setDesignPadding(QWidget *w, const QMargins &twips)
{
    if (!w)
        return;
    if (!m_geometry.contains(w) && !m_fonts.contains(w) && !m_padding.contains(w))
        forgetOnDestroy(w);
    m_padding.insert(w, twips);
    if (m_geometry.contains(w))
        setDesignGeometry(w, m_geometry.value(w));
    refit(w);
}

void Screen::forgetOnDestroy(QWidget *w)
{
    connect(w, &QObject::destroyed, this, [this, w] {
        m_geometry.remove(w);
        m_fonts.remove(w);
        m_padding.remove(w);
    });
}

void Screen::addHolder(QWidget *holder, const QPoint &originTwips)
{
    m_holders.insert(holder, originTwips);
    connect(holder, &QObject::destroyed, this, [this, holder] { m_holders.remove(holder); });
}

QRect Screen::designGeometry(QWidget *w) const
{
    return m_geometry.value(w);
}

void Screen::setDesignTop(QWidget *w, int top)
{
    QRect r = designGeometry(w);
    r.moveTop(top);
    setDesignGeometry(w, r);
}

void Screen::setDesignHeight(QWidget *w, int height)
{
    QRect r = designGeometry(w);
    r.setHeight(height);
    setDesignGeometry(w, r);
}

void Screen::setDesignFont(QWidget *w, const QString &family, double points, bool bold, bool italic)
{
    setDesignFont(w, DesignFont{family, points, bold, italic});
}

void Screen::setDesignFont(QWidget *w, const DesignFont &font)
{
    if (!w)
        return;
    if (!m_geometry.contains(w) && !m_fonts.contains(w) && !m_padding.contains(w))
        forgetOnDestroy(w);
    const FontRule rule{font, false, TextFit{}};
    m_fonts.insert(w, rule);
    applyFont(w, rule);
}

void Screen::setFittedFont(QWidget *w, const DesignFont &font, const TextFit &fit)
{
    if (!w)
        return;
    if (!m_geometry.contains(w) && !m_fonts.contains(w) && !m_padding.contains(w))
        forgetOnDestroy(w);
    const FontRule rule{font, true, fit};
    m_fonts.insert(w, rule);
    applyFont(w, rule);
}

void Screen::applyFont(QWidget *w, const FontRule &rule)
{
    QFont f(rule.font.family);
    f.setBold(rule.font.bold);
    f.setItalic(rule.font.italic);
    f.setUnderline(rule.font.underline);
    f.setPixelSize(qMax(1, int(std::lround(rule.font.points * 96.0 / 72.0 * m_scale))));
    auto *label = qobject_cast<QLabel *>(w);
    // Fonts differ a little from those the screens were drawn with: unless a
    // screen sets its own rule, a wrapped caption that would spill out of its
    // label is set a touch smaller (never below four fifths) rather than cut.
    const bool fitted = rule.fitted || (label && label->wordWrap());
    const TextFit fit = rule.fitted ? rule.fit : TextFit{true, 0.8, false};
    if (fitted && label && !label->text().isEmpty() && m_geometry.contains(w)) {
        const QRect g = m_geometry.value(w);
        // A pixel or two for the frame and the rounding of the edges.
        const QMargins pad = m_padding.value(w);
        const QSize room(qMax(1, px(g.width() - pad.left() - pad.right()) - 4),
                         qMax(1, px(g.height() - pad.top() - pad.bottom()) - 2));
        f = fittedFont(f, {label->text()}, room, fit);
    }
    w->setFont(f);
}

void Screen::refit(QWidget *w)
{
    auto it = m_fonts.constFind(w);
    if (it != m_fonts.constEnd())
        applyFont(w, *it);
}

void Screen::refitAll()
{
    const auto fonts = m_fonts;
    for (auto it = fonts.cbegin(); it != fonts.cend(); ++it)
        applyFont(it.key(), it.value());
}

int Screen::px(double twips) const
{
    return int(std::lround(twips * m_scale / kTwipsPerPixel));
}

QRect Screen::toPixels(const QRect &twips) const
{
    const double s = m_scale / kTwipsPerPixel;
    const int left = m_left + int(std::lround(twips.x() * s));
    const int top = int(std::lround(twips.y() * s));
    const int right = m_left + int(std::lround((twips.x() + twips.width()) * s));
    const int bottom = int(std::lround((twips.y() + twips.height()) * s));
    return QRect(left, top, right - left, bottom - top);
}

void Screen::showFullSize()
{
    QScreen *scr = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = scr ? scr->availableGeometry() : QRect(0, 0, 1280, 1024);
    setGeometry(area);
    show();
    raise();
    activateWindow();
}

void Screen::relayout()
{
    // A few controls of the old designs stick out of the design surface by
    // a pixel or so; fit their extent too so that none is clipped.
    QRect extent(QPoint(0, 0), m_design);
    for (auto it = m_geometry.cbegin(); it != m_geometry.cend(); ++it)
        // What a holder scrolls may be as long as it needs.
        if (!m_holders.contains(it.key()->parentWidget()))
            extent = extent.united(it.value());
    const double sx = width() / ((extent.x() + extent.width()) / kTwipsPerPixel);
    const double sy = height() / ((extent.y() + extent.height()) / kTwipsPerPixel);
    m_scale = qMax(0.1, qMin(sx, sy));
    // On a display wider than the design the surface sits in the middle,
    // not against the left edge with an empty band on the right.
    const double surfaceWidth = (extent.x() + extent.width()) / kTwipsPerPixel * m_scale;
    m_left = qMax(0, int(std::lround((width() - surfaceWidth) / 2.0)));
    const auto geometries = m_geometry; // setDesignGeometry re-inserts
    for (auto it = geometries.cbegin(); it != geometries.cend(); ++it)
        setDesignGeometry(it.key(), it.value());
    refitAll();
    emit laidOut();
}

void Screen::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    relayout();
}

void Screen::paintDecoration(QPainter &p, const QRect &area)
{
    // A quiet picture: light falling from the top-left corner and a few soft
    // rings, tinted from the screen's own colour so that text stays readable.
    QRadialGradient glow(area.topLeft(), qMax(area.width(), area.height()) * 1.1);
    glow.setColorAt(0.0, m_background.lighter(135));
    glow.setColorAt(1.0, m_background);
    p.fillRect(rect(), glow);

    p.setRenderHint(QPainter::Antialiasing);
    QColor ring = m_background.lightness() > 128 ? QColor(0, 0, 0, 18) : QColor(255, 255, 255, 16);
    p.setPen(QPen(ring, qMax(1.0, 2.0 * m_scale)));
    p.setBrush(Qt::NoBrush);
    const double r0 = area.width() * 0.18;
    const QPointF c(area.x() + area.width() * 0.82, area.y() + area.height() * 0.85);
    for (int i = 0; i < 6; ++i)
        p.drawEllipse(c, r0 + i * r0 * 0.45, r0 + i * r0 * 0.45);
}

void Screen::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_background);
    paintDecoration(p, QRect(m_left, 0, qMax(1, width() - 2 * m_left), height()));
}

void Screen::mouseMoveEvent(QMouseEvent *e)
{
    // Moves that children pass up still count as over a child.
    if (!childAt(e->position().toPoint())) {
        formMouseMove();
        emit bareMouseMove();
    }
    QWidget::mouseMoveEvent(e);
}

void Screen::titleBarClose()
{
    hide();
}

void Screen::closeEvent(QCloseEvent *e)
{
    // Windows are hidden or unloaded by the navigator, never closed by Qt.
    e->ignore();
    titleBarClose();
}

} // namespace morvello

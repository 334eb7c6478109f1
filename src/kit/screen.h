// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "textfit.h"

#include <QColor>
#include <QHash>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

namespace morvello {

// Twips on the design surface to pixels: 15 twips a pixel at scale 1.
constexpr double kTwipsPerPixel = 15.0;

// A font as the design names it, in points at 96 dots an inch.
struct DesignFont
{
    QString family = QStringLiteral("MS Sans Serif");
    double points = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// A full-size window laid out on a fixed design surface measured in twips.
// The surface is scaled uniformly to fit the window and centred across it;
// fonts scale with it and the background fills the whole window.
class Screen : public QWidget
{
    Q_OBJECT
public:
    Screen(const QString &name, const QSize &designTwips, const QColor &background, const QString &caption,
           QWidget *parent = nullptr);
    ~Screen() override;

    QString screenName() const { return objectName(); }

    // Form_Load: runs once, after construction and before the first show.
    virtual void formLoad() {}

    // Places a child at a design position (twips) and keeps it there as the
    // window is resized.
    template <class W>
    W *place(W *w, int left, int top, int width, int height)
    {
        setDesignGeometry(w, QRect(left, top, width, height));
        return w;
    }
    void setDesignGeometry(QWidget *w, const QRect &twips);
    QRect designGeometry(QWidget *w) const;
    // Room between a label's edge and its text, in twips: scaled with the
    // window and left out of the room its text is fitted to.
    void setDesignPadding(QWidget *w, const QMargins &twips);
    QMargins designPadding(QWidget *w) const { return m_padding.value(w); }
    void setDesignTop(QWidget *w, int top);
    void setDesignHeight(QWidget *w, int height);
    // A widget inside the screen (the content of a scrolling column) whose
    // children keep design rectangles of the screen: they lie where they
    // would on the surface, counted from `originTwips` (the design point at
    // the holder's top left), and leave the surface's extent alone.
    void addHolder(QWidget *holder, const QPoint &originTwips);

    // Font in points at the design size (96 dots an inch), scaled with the
    // window. A wrapped label whose caption would spill out of it is set a
    // touch smaller (never below four fifths of its size).
    void setDesignFont(QWidget *w, const QString &family, double points, bool bold = false,
                       bool italic = false);
    void setDesignFont(QWidget *w, const DesignFont &font);
    // The designed font, fitted to the widget's texts by the given rule each
    // time the window is laid out or refit() is called.
    void setFittedFont(QWidget *w, const DesignFont &font, const TextFit &fit);
    // Fits again after a caption changed.
    void refit(QWidget *w);
    void refitAll();
    DesignFont designFont(QWidget *w) const { return m_fonts.value(w).font; }

    QSize designSize() const { return m_design; }
    QColor backgroundColor() const { return m_background; }
    double scale() const { return m_scale; }
    // Left edge of the design surface in the window, in pixels.
    int surfaceLeft() const { return m_left; }
    // Design twips to pixels at the current scale (lengths, not positions).
    int px(double twips) const;
    // A design rectangle in window pixels (positions and lengths).
    QRect toPixels(const QRect &twips) const;

    // Moves the window to the top-left corner and sizes it to the whole display.
    void showFullSize();

    // The decorative background picture; screens may paint their own. `area`
    // is the design surface in window pixels; the picture fills the window.
    virtual void paintDecoration(class QPainter &p, const QRect &area);

signals:
    // Pointer moved over the bare window (not over a child control).
    void bareMouseMove();
    // The window was laid out again (a new size, so a new scale).
    void laidOut();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

    // Form_MouseMove: the pointer is over the bare window.
    virtual void formMouseMove() {}
    // Closing the window from its title bar; the default hides it.
    virtual void titleBarClose();

    void relayout();

private:
    struct FontRule {
        DesignFont font;
        bool fitted = false;
        TextFit fit;
    };
    void applyFont(QWidget *w, const FontRule &rule);
    void forgetOnDestroy(QWidget *w);
    QSize m_design;
    QColor m_background;
    double m_scale = 1.0;
    int m_left = 0;
    QHash<QWidget *, QRect> m_geometry;
    QHash<QWidget *, FontRule> m_fonts;
    QHash<QWidget *, QMargins> m_padding;
    QHash<QWidget *, QPoint> m_holders;
};

} // namespace morvello

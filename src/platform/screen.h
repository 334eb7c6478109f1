#pragma once
#include <QColor>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

namespace morvello {

struct AppContext;

// Screen names, as FormChiamante and the navigator know them.
namespace ScreenName {
inline const QString Menu = QStringLiteral("fmenù");
inline const QString Risultati = QStringLiteral("FRisultati");
inline const QString Espositivo = QStringLiteral("Fespositivo");
inline const QString Sequenze = QStringLiteral("Fsequenze");
inline const QString TrovaSeq = QStringLiteral("FtrovaSEQ");
inline const QString Genette = QStringLiteral("FGenette");
inline const QString Poesia1 = QStringLiteral("Fpoesia1");
inline const QString Poesia2 = QStringLiteral("Fpoesia2");
inline const QString Metafore = QStringLiteral("FMetafore");
} // namespace ScreenName

// Twips on the design surface to pixels: 15 twips a pixel at scale 1.
constexpr double kTwipsPerPixel = 15.0;

// A full-size window laid out on a fixed design surface measured in twips.
// The surface is scaled uniformly to fit the window, anchored at the top-left
// corner; fonts scale with it and the background fills the whole window.
class Screen : public QWidget
{
    Q_OBJECT
public:
    Screen(AppContext &ctx, const QString &name, const QSize &designTwips, const QColor &background,
           const QString &caption, QWidget *parent = nullptr);
    ~Screen() override;

    AppContext &context() const { return m_ctx; }
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
    void setDesignTop(QWidget *w, int top);
    void setDesignHeight(QWidget *w, int height);

    // Font in points at the design size (96 dots an inch), scaled with the window.
    void setDesignFont(QWidget *w, const QString &family, double points, bool bold = false,
                       bool italic = false);

    QSize designSize() const { return m_design; }
    QColor backgroundColor() const { return m_background; }
    double scale() const { return m_scale; }
    // Design twips to pixels at the current scale.
    int px(double twips) const;

    // Moves the window to the top-left corner and sizes it to the whole display.
    void showFullSize();

    // The decorative background picture; screens may paint their own.
    virtual void paintDecoration(class QPainter &p, const QRect &area);

signals:
    // Pointer moved over the bare window (not over a child control).
    void bareMouseMove();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

    // Form_MouseMove: the pointer is over the bare window.
    virtual void formMouseMove() {}
    // Closing the window from its title bar; the default returns to the menu.
    virtual void titleBarClose();

    void relayout();

private:
    void forgetOnDestroy(QWidget *w);
    struct DesignFont {
        QString family;
        double points = 8.25;
        bool bold = false;
        bool italic = false;
    };
    AppContext &m_ctx;
    QSize m_design;
    QColor m_background;
    double m_scale = 1.0;
    QHash<QWidget *, QRect> m_geometry;
    QHash<QWidget *, DesignFont> m_fonts;
};

} // namespace morvello

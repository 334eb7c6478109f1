#include "textfit.h"

#include <QFontMetricsF>
#include <QRectF>
#include <cmath>

namespace morvello {

bool textsFit(const QFont &f, const QStringList &texts, const QSize &room, bool wrap)
{
    const QFontMetricsF fm(f);
    for (const QString &t : texts) {
        if (t.isEmpty())
            continue;
        if (wrap) {
            const QRectF need = fm.boundingRect(QRectF(0, 0, room.width(), 1e6),
                                                Qt::TextWordWrap | Qt::AlignCenter, t);
            if (need.height() > room.height() || need.width() > room.width())
                return false;
        } else if (fm.horizontalAdvance(t) > room.width()) {
            return false;
        }
    }
    return true;
}

QFont fittedFont(const QFont &designed, const QStringList &texts, const QSize &room, const TextFit &how)
{
    if (room.width() <= 0 || room.height() <= 0 || textsFit(designed, texts, room, how.wrap))
        return designed;
    QFont f = designed;
    const int designedPx = designed.pixelSize() > 0 ? designed.pixelSize()
                                                    : int(std::lround(designed.pointSizeF() * 96.0 / 72.0));
    const int floor = qMax(1, int(std::ceil(designedPx * how.smallest)));
    if (how.narrowFirst && !how.wrap) {
        double widest = 0;
        const QFontMetricsF fm(designed);
        for (const QString &t : texts)
            widest = qMax(widest, fm.horizontalAdvance(t));
        const double ratio = widest > 0 ? room.width() / widest : 1.0;
        if (ratio >= 0.8) {
            f.setStretch(qMax(1, int(ratio * 100)));
            return f;
        }
        f.setStretch(80);
        f.setPixelSize(qMax(floor, int(designedPx * ratio / 0.8)));
        return f;
    }
    for (int px = designedPx - 1; px >= floor; --px) {
        f.setPixelSize(px);
        if (textsFit(f, texts, room, how.wrap))
            return f;
    }
    f.setPixelSize(floor);
    return f;
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "poesiawidgets.h"

#include "kit/controls.h"
#include "text/richtextview.h"
#include "core/ticker.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>
#include <tuple>

#include <QFontMetricsF>

namespace morvello::poesiawidgets {

namespace {
// Room for three digits, in twips.
constexpr int kNumberWidth = 480;
} // namespace

QString attualeCaption()
{
    return QStringLiteral("Attuale           su");
}

QString totaleCaption()
{
    return QStringLiteral("Totale            su");
}

QString counterCaption(const Counter &c)
{
    return c.isEmpty() ? QString() : counterText(c.value());
}

CounterRow addCounterRow(Screen *screen, const QString &frameName, const QString &caption, const QString &rightName,
                         const QString &totalName, const QRect &twips, const DesignFont &font, const QColor &text)
{
    CounterRow row;
    row.frame = controls::label(screen, frameName, caption, twips, font, text);
    row.frame->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row.frame->setAccessibleName(caption.simplified());
    auto number = [&](const QString &name) {
        StyledLabel *l = controls::label(screen, name, QString(), QRect(twips.x(), twips.y(), kNumberWidth, twips.height()),
                                         font, text);
        l->setAlignment(Qt::AlignCenter);
        l->raise();
        return l;
    };
    row.right = number(rightName);
    row.total = number(totalName);
    placeNumbers(screen, row);
    return row;
}

void placeNumbers(Screen *screen, const CounterRow &row)
{
    const QString caption = row.frame->text();
    const int su = int(caption.lastIndexOf(QLatin1Char(' '))) + 1;
    const int wordEnd = int(caption.indexOf(QLatin1Char(' ')));
    if (su <= 0 || wordEnd <= 0 || screen->scale() <= 0)
        return;
    const QFontMetricsF fm(row.frame->font());
    const double perPixel = kTwipsPerPixel / screen->scale();
    const QRect g = screen->designGeometry(row.frame);
    const double margin = row.frame->contentsMargins().left();
    const double blanksFrom = (margin + fm.horizontalAdvance(caption.left(wordEnd))) * perPixel;
    const double blanksTo = (margin + fm.horizontalAdvance(caption.left(su))) * perPixel;
    const double after = (margin + fm.horizontalAdvance(caption)) * perPixel;
    const int centre = g.x() + int((blanksFrom + blanksTo) / 2);
    screen->setDesignGeometry(row.right, QRect(centre - kNumberWidth / 2, g.y(), kNumberWidth, g.height()));
    screen->setDesignGeometry(row.total, QRect(g.x() + int(after) + 90, g.y(), kNumberWidth, g.height()));
    row.total->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void showRow(const CounterRow &row, const Counter &right, const Counter &total, const QString &what)
{
    row.right->setText(counterCaption(right));
    row.total->setText(counterCaption(total));
    row.frame->setAccessibleDescription(
        QStringLiteral("%1: %2 giuste su %3").arg(what, counterCaption(right), counterCaption(total)));
}


double fitPoem(RichTextView *view, double zoom, double scale)
{
    QTextDocument *doc = view->document();
    if (zoom <= 0)
        zoom = 1.0;
    double target = qMax(1.0, scale);
    scaleTypeSizes(doc, target / zoom);
    zoom = target;
    // A verse is a line: the poem must fit without wrapping any of them.
    const auto unwrapped = [doc] {
        const qreal width = doc->textWidth();
        doc->setTextWidth(-1);
        const QSizeF size = doc->size();
        doc->setTextWidth(width);
        return size;
    };
    const QSizeF room(view->viewport()->width(), view->viewport()->height());
    // Type size and extent go together nearly in proportion; a step or two settles it.
    for (int step = 0; step < 3 && room.width() > 0 && room.height() > 0; ++step) {
        const QSizeF size = unwrapped();
        if ((size.width() <= room.width() && size.height() <= room.height()) || zoom <= 1.0)
            break;
        const double ratio = qMin(room.width() / size.width(), room.height() / size.height());
        const double next = qMax(1.0, zoom * ratio * 0.97);
        scaleTypeSizes(doc, next / zoom);
        zoom = next;
    }
    return zoom;
}

} // namespace morvello::poesiawidgets

// SPDX-License-Identifier: GPL-3.0-or-later
#include "poesiawidgets.h"

#include "kit/controls.h"
#include "kit/accessibility.h"
#include "kit/countercaption.h"
#include "text/richtextview.h"
#include "core/ticker.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QVector>


namespace morvello::poesiawidgets {

namespace {
// Room for three digits, in twips.
constexpr int kNumberWidth = 480;
// Where the right answers' number and "su" stand in both rows, from the
// caption's left edge, in twips: two columns, whatever "Attuale" and
// "Totale" measure in this computer's font.
constexpr int kRightCentre = 1110;
constexpr int kSuCentre = 1700;
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
    auto number = [&](const QString &name, Qt::Alignment across, int left) {
        StyledLabel *l = controls::label(screen, name, QString(), QRect(left, twips.y(), kNumberWidth, twips.height()),
                                         font, text);
        l->setAlignment(across | Qt::AlignVCenter);
        return l;
    };
    row.right = number(rightName, Qt::AlignHCenter, twips.x() + kRightCentre - kNumberWidth / 2);
    row.total = number(totalName, Qt::AlignLeft, twips.x());
    // "Attuale 3 su 5" is heard as "Attuale, giuste: 3" and "Attuale, su: 5".
    const QString what = caption.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    a11y::nameCounter(row.right, what + QStringLiteral(", giuste"));
    a11y::nameCounter(row.total, what + QStringLiteral(", su"));
    (new CounterCaption(screen, row.frame))
        ->number(row.right, CounterCaption::Place::OwnPlace)
        .number(row.total, CounterCaption::Place::AfterCaption)
        .closingWordCentredOn(twips.x() + kSuCentre);
    return row;
}

void showRow(const CounterRow &row, const Counter &right, const Counter &total, const QString &what)
{
    row.right->setText(counterCaption(right));
    row.total->setText(counterCaption(total));
    row.frame->setAccessibleDescription(
        QStringLiteral("%1: %2 giuste su %3").arg(what, counterCaption(right), counterCaption(total)));
}
} // namespace morvello::poesiawidgets

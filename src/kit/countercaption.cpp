// SPDX-License-Identifier: GPL-3.0-or-later
#include "countercaption.h"

#include "accessibility.h"
#include "labels.h"
#include "screen.h"

#include <QFontMetricsF>
#include <QVector>
#include <utility>

namespace morvello {

namespace {

// The runs of blanks that stand between two words, as [first, end) indexes.
QVector<std::pair<int, int>> blankRuns(const QString &text)
{
    QVector<std::pair<int, int>> runs;
    const int n = int(text.size());
    int i = 0;
    while (i < n && text.at(i).isSpace())
        ++i;
    while (i < n) {
        if (!text.at(i).isSpace()) {
            ++i;
            continue;
        }
        int end = i;
        while (end < n && text.at(end).isSpace())
            ++end;
        if (end < n)
            runs.append({i, end});
        i = end;
    }
    return runs;
}

int firstLetter(const QString &text)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return i;
}

} // namespace

CounterCaption::CounterCaption(Screen *screen, StyledLabel *caption)
    : QObject(caption), m_screen(screen), m_caption(caption)
{
    connect(screen, &Screen::laidOut, this, &CounterCaption::place);
}

CounterCaption &CounterCaption::number(StyledLabel *label, Place where, int blankRun, int leftmost)
{
    m_slots.append(Slot{label, where, blankRun, leftmost});
    // A screen reader hears what the number counts with the number: the
    // number's own name when the screen gave one, the caption's otherwise.
    QString what = label->accessibleName();
    if (what.isEmpty())
        what = a11y::counterName(label);
    if (what.isEmpty())
        what = m_caption->accessibleName().isEmpty() ? m_caption->text().simplified() : m_caption->accessibleName();
    a11y::nameCounter(label, what);
    place();
    return *this;
}

CounterCaption &CounterCaption::closingWordCentredOn(int designX)
{
    m_closingCentre = designX;
    place();
    return *this;
}

CounterCaption &CounterCaption::endsBefore(int designX)
{
    m_endsBefore = designX;
    place();
    return *this;
}

void CounterCaption::place()
{
    if (!m_caption || m_screen->scale() <= 0)
        return;
    const QString text = m_caption->text();
    const QRect g = m_screen->designGeometry(m_caption);
    // Everything below is measured in pixels from the caption's left edge and
    // turned into twips only to place a number.
    const double twipsPerPx = kTwipsPerPixel / m_screen->scale();
    const double pxWidth = g.width() / twipsPerPx;
    const QMargins margins = m_caption->contentsMargins();
    const double inner = m_caption->margin();
    const double boxLeft = margins.left() + inner;
    const double boxRight = pxWidth - margins.right() - inner;

    QFont f = m_caption->font();
    f.setWordSpacing(0);
    const double plain = QFontMetricsF(f).horizontalAdvance(text);
    const Qt::Alignment align = m_caption->alignment();
    auto textLeft = [&](double width) {
        if (align & Qt::AlignHCenter)
            return boxLeft + (boxRight - boxLeft - width) / 2.0;
        if (align & Qt::AlignRight)
            return boxRight - width;
        return boxLeft;
    };

    // Word spacing widens each run of blanks, not each blank: measure how far
    // one pixel of it moves the closing word, then move it where it is wanted.
    const QVector<std::pair<int, int>> runs = blankRuns(text);
    if (!runs.isEmpty() && (m_closingCentre >= 0 || m_endsBefore >= 0)) {
        QFont probe = f;
        probe.setWordSpacing(1);
        const double perPixel = QFontMetricsF(probe).horizontalAdvance(text) - plain;
        if (perPixel > 0) {
            double extra = 0;
            if (m_closingCentre >= 0) {
                const QString word = text.mid(runs.last().second);
                const double wordWidth = QFontMetricsF(f).horizontalAdvance(word);
                const double wanted = (m_closingCentre - g.left()) / twipsPerPx;
                extra = (wanted - wordWidth / 2.0 - (textLeft(plain) + plain - wordWidth)) / perPixel;
            }
            if (m_endsBefore >= 0) {
                const double limit = (m_endsBefore - g.left()) / twipsPerPx;
                extra = qMin(extra, (limit - textLeft(plain) - plain) / perPixel);
            }
            // Word spacing narrows every run, the single blanks between words
            // too: never so far that two words run together.
            const double space = QFontMetricsF(f).horizontalAdvance(QLatin1Char(' '));
            f.setWordSpacing(qMax(extra, -0.35 * space));
        }
    }
    if (m_endsBefore >= 0) {
        // What the blanks could not give, narrower letters do.
        const double limit = (m_endsBefore - g.left()) / twipsPerPx;
        const double now = QFontMetricsF(f).horizontalAdvance(text);
        const double room = limit - textLeft(now);
        if (now > room && room > 0) {
            const int stretch = f.stretch() > 0 ? f.stretch() : 100;
            f.setStretch(qMax(70, int(stretch * room / now)));
        }
    }
    QFont plainBlanks = f;
    plainBlanks.setWordSpacing(0);
    const double space = QFontMetricsF(plainBlanks).horizontalAdvance(QLatin1Char(' '));
    m_caption->setFont(f);

    const QFontMetricsF fm(f);
    const double width = fm.horizontalAdvance(text);
    const double left = textLeft(width);
    auto toTwips = [&](double px) { return g.left() + int(std::lround(px * twipsPerPx)); };
    const int first = firstLetter(text);
    int lastLetter = int(text.size());
    while (lastLetter > 0 && text.at(lastLetter - 1).isSpace())
        --lastLetter;

    for (const Slot &slot : std::as_const(m_slots)) {
        if (!slot.label)
            continue;
        QRect n = m_screen->designGeometry(slot.label);
        switch (slot.where) {
        case Place::InBlanks:
            if (!runs.isEmpty() && slot.run < runs.size()) {
                int which = slot.run;
                if (which == Widest) {
                    which = 0;
                    for (int r = 1; r < runs.size(); ++r)
                        if (runs.at(r).second - runs.at(r).first > runs.at(which).second - runs.at(which).first)
                            which = r;
                }
                const auto run = runs.at(which);
                const double from = left + fm.horizontalAdvance(text.left(run.first));
                const double to = left + fm.horizontalAdvance(text.left(run.second));
                n.moveLeft(toTwips((from + to) / 2.0) - n.width() / 2);
            }
            break;
        case Place::AfterCaption: {
            // One plain blank after the last letter: the caption's own blanks
            // may have been widened or narrowed, this one is not theirs.
            const double end = left + fm.horizontalAdvance(text.left(lastLetter)) + space;
            n.moveLeft(qMax(slot.leftmost, toTwips(end)));
            break;
        }
        case Place::BeforeCaption: {
            const double start = left + fm.horizontalAdvance(text.left(first)) - space;
            n.moveLeft(toTwips(start) - n.width());
            break;
        }
        case Place::OwnPlace:
            break;
        }
        // One baseline: the caption's top, height, type size and vertical
        // alignment, so that the digits stand on the line its letters do.
        n.setTop(g.top());
        n.setHeight(g.height());
        m_screen->setDesignGeometry(slot.label, n);
        QFont nf = f;
        nf.setWordSpacing(0);
        nf.setBold(slot.label->font().bold());
        slot.label->setFont(nf);
        const QMargins own = slot.label->contentsMargins();
        slot.label->setContentsMargins(own.left(), margins.top(), own.right(), margins.bottom());
        slot.label->setAlignment((slot.label->alignment() & Qt::AlignHorizontal_Mask)
                                 | (align & Qt::AlignVertical_Mask));
        slot.label->raise();
    }
}

} // namespace morvello

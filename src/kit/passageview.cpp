// SPDX-License-Identifier: GPL-3.0-or-later
#include "passageview.h"

#include "reader.h"
#include "screen.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <initializer_list>

namespace morvello {

PassageView::PassageView(Screen *screen, const QString &name, const QString &accessibleName, const QRect &twips,
                         Lines lines)
    : RichTextView(screen), m_screen(screen), m_lines(lines)
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    // A pupil who cannot see reaches the passage with Tab, as any other
    // control, and leaves it with Tab again.
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    screen->setDesignGeometry(this, twips);
    connect(screen, &Screen::laidOut, this, &PassageView::fit);
}

RtfResult PassageView::load(const QString &windowsPath, const QString &baseDir)
{
    const RtfResult r = loadFile(windowsPath, baseDir);
    contentLoaded();
    return r;
}

void PassageView::contentLoaded()
{
    clearReadingMark();
    emit contentReplaced();
    if (m_legible)
        setLegibleLook(document(), true);
    m_zoom = 1.0;
    fit();
    verticalScrollBar()->setValue(0);
}

void PassageView::showContentOf(const QTextDocumentFragment &content, double zoom)
{
    clearReadingMark();
    emit contentReplaced();
    setContent(content);
    setLegibleLook(document(), m_legible);
    m_zoom = zoom > 0 ? zoom : 1.0;
    fit();
}

void PassageView::rescaleTo(double zoom)
{
    if (std::abs(zoom - m_zoom) < 1e-6)
        return;
    scaleTypeSizes(document(), zoom / m_zoom);
    m_zoom = zoom;
}

QSizeF PassageView::measure()
{
    QTextDocument *doc = document();
    const qreal width = doc->textWidth();
    doc->setTextWidth(m_lines == Lines::Keep ? -1 : viewport()->width());
    const QSizeF size = doc->size();
    doc->setTextWidth(width);
    return size;
}

void PassageView::fit()
{
    const double scale = m_screen->scale();
    document()->setDocumentMargin(qMax(3.0, 6.0 * scale));
    // Type sizes are points: on a display that counts more pixels to the
    // inch the same points are already larger.
    if (m_legible) {
        // Larger than the passage would be shown otherwise, by the one rule;
        // it scrolls rather than shrink.
        setLegibleLook(document(), false);
        m_legible = false;
        fit();
        m_legible = true;
        setLegibleLook(document(), true);
        const double shown = m_zoom;
        rescaleTo(shown * LegibleSize);
        // A verse is still never broken: as large as the longest one allows.
        // The larger poem scrolls: its bar takes room from the width.
        const int room = viewport()->width()
                         - (verticalScrollBar()->isVisible() ? 0 : verticalScrollBar()->sizeHint().width());
        if (m_lines == Lines::Keep && room >= 20) {
            const double wide = measure().width();
            if (wide > room)
                rescaleTo(qMax(1.0, m_zoom * room / wide * 0.97));
        }
        spaceLegibleLines();
        return;
    }
    rescaleTo(qMax(1.0, scale * 96.0 / qMax(1, logicalDpiY())));
    const QSizeF room(viewport()->width(), viewport()->height());
    if (document()->isEmpty() || room.width() < 20 || room.height() < 20)
        return;
    // Extent follows type size nearly in proportion (its square, when lines
    // wrap): a step or two settles it.
    for (int step = 0; step < 4 && m_zoom > 1.0; ++step) {
        const QSizeF size = measure();
        const bool fits = size.height() <= room.height() && (m_lines == Lines::Wrap || size.width() <= room.width());
        if (fits)
            break;
        const double ratio = m_lines == Lines::Keep
                                 ? qMin(room.width() / size.width(), room.height() / size.height())
                                 : std::sqrt(room.height() / size.height());
        rescaleTo(qMax(1.0, m_zoom * ratio * 0.97));
    }
}

void PassageView::setLegible(bool on)
{
    if (on == m_legible)
        return;
    m_legible = on;
    setLegibleLook(document(), on);
    fit();
    if (m_mark.first >= 0)
        markReading(m_mark.first, m_mark.second);
}

void PassageView::spaceLegibleLines()
{
    // One and a half times the type size from line to line, as reading
    // guides for dyslexia count it: the typeface's own line height is
    // already generous, so a proportion of it would be too much.
    const double pxPerPoint = logicalDpiY() / 72.0;
    const double fallback = document()->defaultFont().pointSizeF();
    QTextCursor c(document());
    c.beginEditBlock();
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        double points = 0;
        for (auto it = b.begin(); !it.atEnd(); ++it)
            points = qMax(points, it.fragment().charFormat().fontPointSize());
        if (points <= 0)
            points = fallback > 0 ? fallback : 12.0;
        QTextBlockFormat bf = b.blockFormat();
        const double height = std::round(LegibleLineSpacing * points * pxPerPoint);
        if (bf.lineHeightType() == QTextBlockFormat::FixedHeight && bf.lineHeight() == height)
            continue;
        bf.setLineHeight(height, QTextBlockFormat::FixedHeight);
        c.setPosition(b.position());
        c.setBlockFormat(bf);
    }
    c.endEditBlock();
}

void PassageView::markReading(int start, int end)
{
    const int last = qMax(0, document()->characterCount() - 1);
    start = qBound(0, start, last);
    end = qBound(start, end, last);
    m_mark = {start, end};
    QTextEdit::ExtraSelection sel;
    sel.cursor = QTextCursor(document());
    sel.cursor.setPosition(start);
    sel.cursor.setPosition(end, QTextCursor::KeepAnchor);
    sel.format = readingMarkFormat();
    setExtraSelections({sel});
    // Into sight, without moving the pupil's cursor.
    QTextCursor at(document());
    at.setPosition(start);
    const QRect r = cursorRect(at);
    QTextCursor to(document());
    to.setPosition(end);
    const QRect e = cursorRect(to);
    QScrollBar *bar = verticalScrollBar();
    if (r.top() < 0 || e.bottom() > viewport()->height())
        bar->setValue(bar->value() + r.top() - viewport()->height() / 4);
}

void PassageView::clearReadingMark()
{
    if (m_mark.first < 0)
        return;
    m_mark = {-1, -1};
    setExtraSelections({});
}

namespace {
// What a stretch or a paragraph had before the legible look, kept in its own
// format.
constexpr int kLegibleMark = QTextFormat::UserProperty + 0x4c45;
constexpr int kFamiliesBefore = kLegibleMark + 1;
constexpr int kSpacingBefore = kLegibleMark + 2;
constexpr int kSpacingTypeBefore = kLegibleMark + 3;
constexpr int kAlignBefore = kLegibleMark + 4;
constexpr int kLineHeightBefore = kLegibleMark + 5;
constexpr int kLineHeightTypeBefore = kLegibleMark + 6;
constexpr int kFamilyBefore = kLegibleMark + 7;

using Kept = std::initializer_list<std::pair<int, int>>;

// Marks a format as legible and puts the properties the look changes aside,
// each under its own key; or puts them back as they were and drops the mark.
void keepAside(QTextFormat &f, Kept kept, bool on)
{
    for (const auto &[property, before] : kept) {
        if (on) {
            f.setProperty(before, f.property(property));
        } else {
            if (f.property(before).isValid())
                f.setProperty(property, f.property(before));
            else
                f.clearProperty(property);
            f.clearProperty(before);
        }
    }
    if (on)
        f.setProperty(kLegibleMark, true);
    else
        f.clearProperty(kLegibleMark);
}
} // namespace

void setLegibleLook(QTextDocument *doc, bool on)
{
    QTextCursor c(doc);
    c.beginEditBlock();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat bf = b.blockFormat();
        if (on != bf.hasProperty(kLegibleMark)) {
            keepAside(bf,
                      {{QTextFormat::BlockAlignment, kAlignBefore},
                       {QTextFormat::LineHeight, kLineHeightBefore},
                       {QTextFormat::LineHeightType, kLineHeightTypeBefore}},
                      on);
            if (on) {
                if (bf.alignment() & Qt::AlignJustify)
                    bf.setAlignment(Qt::AlignLeft);
                bf.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
            }
            c.setPosition(b.position());
            c.setBlockFormat(bf);
        }
        // Formats are changed after the walk: a change may join fragments.
        QVector<QPair<QPair<int, int>, QTextCharFormat>> changes;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            QTextCharFormat cf = f.charFormat();
            if (on == cf.hasProperty(kLegibleMark))
                continue;
            keepAside(cf,
                      {{QTextFormat::FontFamily, kFamilyBefore},
                       {QTextFormat::FontFamilies, kFamiliesBefore},
                       {QTextFormat::FontLetterSpacing, kSpacingBefore},
                       {QTextFormat::FontLetterSpacingType, kSpacingTypeBefore}},
                      on);
            if (on) {
                cf.setProperty(QTextFormat::FontFamily, PassageView::legibleFamily());
                cf.setFontFamilies(QStringList{PassageView::legibleFamily()});
                cf.setFontLetterSpacingType(QFont::PercentageSpacing);
                cf.setFontLetterSpacing(PassageView::LegibleLetterSpacing);
            }
            changes.append({{f.position(), f.length()}, cf});
        }
        for (const auto &ch : std::as_const(changes)) {
            c.setPosition(ch.first.first);
            c.setPosition(ch.first.first + ch.first.second, QTextCursor::KeepAnchor);
            c.setCharFormat(ch.second);
        }
    }
    c.endEditBlock();
}

} // namespace morvello

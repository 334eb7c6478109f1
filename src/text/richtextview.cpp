#include "richtextview.h"

#include "core/datapaths.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace morvello {

qint64 SelColor::value() const
{
    if (m_mixed)
        return -1;
    return qint64(m_color.red()) + 256 * qint64(m_color.green()) + 65536 * qint64(m_color.blue());
}

bool SelColor::operator==(const SelColor &o) const
{
    if (m_mixed || o.m_mixed)
        return m_mixed == o.m_mixed;
    return m_color.rgb() == o.m_color.rgb();
}

RichTextView::RichTextView(QWidget *parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    setAcceptRichText(false);
}

RtfResult RichTextView::loadFile(const QString &windowsPath, const QString &baseDir)
{
    const RtfResult r = readRtfFile(resolveDataPath(windowsPath, baseDir), document());
    resetDocument();
    return r;
}

RtfResult RichTextView::loadRtf(const QByteArray &rtf)
{
    const RtfResult r = readRtf(rtf, document());
    resetDocument();
    return r;
}

void RichTextView::resetDocument()
{
    setTextCursor(QTextCursor(document()));
}

QString RichTextView::plainText() const
{
    QString text = document()->toRawText();
    for (QChar &c : text) {
        if (c.unicode() == QChar::ParagraphSeparator || c.unicode() == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

int RichTextView::textLength() const
{
    return std::max(0, document()->characterCount() - 1);
}

void RichTextView::clearText()
{
    document()->clear();
    resetDocument();
}

int RichTextView::selStart() const
{
    return textCursor().selectionStart();
}

int RichTextView::selLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

QString RichTextView::selText() const
{
    QString text = textCursor().selectedText();
    for (QChar &c : text) {
        if (c.unicode() == QChar::ParagraphSeparator || c.unicode() == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

void RichTextView::setSelection(int anchor, int position)
{
    QTextCursor c(document());
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void RichTextView::setSelStart(int start)
{
    const int s = std::clamp(start, 0, textLength());
    setSelection(s, s);
}

void RichTextView::setSelLength(int length)
{
    const int s = selStart();
    const qint64 e = std::clamp<qint64>(qint64(s) + std::max(length, 0), s, textLength());
    setSelection(s, int(e));
}

SelColor RichTextView::colourOfFormat(const QTextCharFormat &f, Layer layer) const
{
    if (layer == Layer::Text) {
        if (!f.hasProperty(QTextFormat::ForegroundBrush))
            return SelColor::automatic();
        const QColor c = f.foreground().color();
        return SelColor::of(QColor(c.red(), c.green(), c.blue()));
    }
    if (!f.hasProperty(QTextFormat::BackgroundBrush) || f.background().style() == Qt::NoBrush) {
        const QColor paper = palette().color(QPalette::Base);
        return SelColor::automatic(QColor(paper.red(), paper.green(), paper.blue()));
    }
    const QColor c = f.background().color();
    return SelColor::of(QColor(c.red(), c.green(), c.blue()));
}

SelColor RichTextView::colourIn(int start, int end, Layer layer) const
{
    const int s = std::clamp(start, 0, textLength());
    const int e = std::clamp(end, s, textLength());
    if (s < e) {
        bool any = false;
        bool allAuto = true;
        SelColor first = SelColor::automatic();
        for (QTextBlock b = document()->findBlock(s); b.isValid() && b.position() < e; b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                const int fs = f.position();
                const int fe = fs + f.length();
                if (fe <= s)
                    continue;
                if (fs >= e)
                    break;
                const SelColor c = colourOfFormat(f.charFormat(), layer);
                if (!any) {
                    first = c;
                    any = true;
                } else if (c != first) {
                    return SelColor::mixed();
                }
                allAuto = allAuto && c.isAutomatic();
            }
        }
        if (any)
            return allAuto ? first : SelColor::of(first.color());
    }
    // The colour a character typed at this position would take.
    QTextCursor at(document());
    at.setPosition(s);
    return colourOfFormat(at.charFormat(), layer);
}

SelColor RichTextView::selColor() const
{
    const QTextCursor cur = textCursor();
    return colourIn(cur.selectionStart(), cur.selectionEnd(), Layer::Text);
}

SelColor RichTextView::selBackColor() const
{
    const QTextCursor cur = textCursor();
    return colourIn(cur.selectionStart(), cur.selectionEnd(), Layer::Background);
}

SelColor RichTextView::colorOf(int start, int length) const
{
    return colourIn(start, int(std::min<qint64>(qint64(start) + std::max(length, 0), INT_MAX)), Layer::Text);
}

SelColor RichTextView::backColorOf(int start, int length) const
{
    return colourIn(start, int(std::min<qint64>(qint64(start) + std::max(length, 0), INT_MAX)),
                    Layer::Background);
}

void RichTextView::setSelColor(const QColor &color)
{
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return;
    QTextCharFormat f;
    f.setForeground(QColor(color.red(), color.green(), color.blue()));
    c.mergeCharFormat(f);
}

void RichTextView::setSelBackColor(const QColor &color)
{
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return;
    if (color.isValid()) {
        QTextCharFormat f;
        f.setBackground(QColor(color.red(), color.green(), color.blue()));
        c.mergeCharFormat(f);
        return;
    }
    // A merge cannot take a property away: each fragment is rewritten
    // without its background.
    const int s = c.selectionStart();
    const int e = c.selectionEnd();
    // The pieces are gathered first, as rewriting one merges fragments.
    struct Piece {
        int from, to;
        QTextCharFormat format;
    };
    std::vector<Piece> pieces;
    for (QTextBlock b = document()->findBlock(s); b.isValid() && b.position() < e; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int fs = std::max(f.position(), s);
            const int fe = std::min(f.position() + f.length(), e);
            if (fs >= fe || !f.charFormat().hasProperty(QTextFormat::BackgroundBrush))
                continue;
            QTextCharFormat cleared = f.charFormat();
            cleared.clearBackground();
            pieces.push_back({fs, fe, cleared});
        }
    }
    QTextCursor piece(document());
    piece.beginEditBlock();
    for (const Piece &p : pieces) {
        piece.setPosition(p.from);
        piece.setPosition(p.to, QTextCursor::KeepAnchor);
        piece.setCharFormat(p.format);
    }
    piece.endEditBlock();
}

void RichTextView::setSelIndent(int twips)
{
    QTextCursor c = textCursor();
    QTextBlockFormat f;
    f.setLeftMargin(std::clamp(twips, -31680, 31680) / 15.0);
    c.mergeBlockFormat(f);
}

int RichTextView::selIndent() const
{
    const QTextBlock b = document()->findBlock(selStart());
    return int(std::lround(b.blockFormat().leftMargin() * 15.0));
}

QTextDocumentFragment RichTextView::content() const
{
    return QTextDocumentFragment(document());
}

void RichTextView::setContent(const QTextDocumentFragment &fragment)
{
    document()->clear();
    QTextCursor c(document());
    c.insertFragment(fragment);
    resetDocument();
}

void scaleTypeSizes(QTextDocument *doc, double ratio)
{
    if (qFuzzyCompare(ratio, 1.0))
        return;
    struct Run {
        int start, length;
        double points;
    };
    // Read first: changing formats rearranges the fragments being walked.
    QVector<Run> runs;
    const double fallback = doc->defaultFont().pointSizeF() > 0 ? doc->defaultFont().pointSizeF() : 12.0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const double points = f.charFormat().fontPointSize();
            runs.append({f.position(), f.length(), points > 0 ? points : fallback});
        }
    QTextCursor c(doc);
    c.beginEditBlock();
    for (const Run &r : runs) {
        QTextCharFormat f;
        f.setFontPointSize(r.points * ratio);
        c.setPosition(r.start);
        c.setPosition(r.start + r.length, QTextCursor::KeepAnchor);
        c.mergeCharFormat(f);
    }
    c.endEditBlock();
}

} // namespace morvello

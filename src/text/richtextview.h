#pragma once
#include "rtfreader.h"

#include <QColor>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace morvello {

// The text or background colour of a selection as the exercise screens
// read it.
//
// A stretch in the automatic colour reads as the colour the pupil sees and
// compares equal to it, as the pupil sees no difference: automatic text is
// black (0,0,0), no background is the view's paper colour. isAutomatic()
// still tells the two apart. A selection mixing colours has no single
// colour: isMixed() is true and color() is invalid.
class SelColor
{
public:
    static SelColor automatic(const QColor &seenAs = QColor(0, 0, 0)) { return SelColor(seenAs, true, false); }
    static SelColor of(const QColor &c) { return SelColor(c, false, false); }
    static SelColor mixed() { return SelColor(QColor(), false, true); }

    bool isMixed() const { return m_mixed; }
    bool isAutomatic() const { return m_auto; }
    QColor color() const { return m_color; }
    // The colour as a 0x00BBGGRR number, -1 for a mixed selection: the form
    // the exercise screens compare ("white is 16777215").
    qint64 value() const;

    bool operator==(const SelColor &o) const;
    bool operator!=(const SelColor &o) const { return !(*this == o); }

private:
    SelColor(const QColor &c, bool automatic, bool mixed) : m_color(c), m_auto(automatic), m_mixed(mixed) {}
    QColor m_color;
    bool m_auto = false;
    bool m_mixed = false;
};

// The rich-text view of the exercise screens: shows an RTF document, lets
// the pupil select with the mouse (not type), and lets the screen select
// stretches by position and read or paint their colour.
//
// Positions count characters from 0 over the plain text, where each
// paragraph end counts as one character ("\n" in plainText()). A hidden view
// keeps its content and can still be read, selected and painted.
class RichTextView : public QTextEdit
{
    Q_OBJECT
public:
    explicit RichTextView(QWidget *parent = nullptr);

    // Replaces the content with the RTF file named Windows-style
    // ("permorvello\genette\voce1.rtf"), relative to baseDir (the working
    // directory when empty), letter case ignored. A missing, unreadable or
    // damaged file leaves the view empty and returns the error, for the
    // screen to show.
    RtfResult loadFile(const QString &windowsPath, const QString &baseDir = QString());
    // The same from RTF bytes already in memory.
    RtfResult loadRtf(const QByteArray &rtf);

    // The text without formatting: paragraphs and line breaks as "\n",
    // non-breaking spaces kept. Its length is textLength().
    QString plainText() const;
    int textLength() const;
    // Empties the view.
    void clearText();

    // The selection. Setting the start clears the length, as a new cursor
    // position would; the length then reaches forward from the start and
    // stops at the end of the text (a start at the end with length 1 gives
    // an empty selection). Out-of-range values are brought into range.
    int selStart() const;
    void setSelStart(int start);
    int selLength() const;
    void setSelLength(int length);
    QString selText() const;

    // The text colour of the selection; for an empty selection, the colour
    // at that position (that of the character before it, or of the first
    // character of its paragraph at a paragraph start). Paragraph ends carry
    // no colour of their own: a selection made only of them reads as empty.
    SelColor selColor() const;
    // Paints every character of the selection; an empty selection changes
    // nothing.
    void setSelColor(const QColor &color);

    // The background (highlight) of the selection, read like its text
    // colour: where there is none, it reads as automatic with the view's
    // paper colour (the palette's Base, white unless a screen changes it).
    SelColor selBackColor() const;
    // Gives every character of the selection that background; an invalid
    // colour takes the background away. An empty selection changes nothing.
    void setSelBackColor(const QColor &color);

    // The same readings over any stretch, leaving the selection alone.
    SelColor colorOf(int start, int length) const;
    SelColor backColorOf(int start, int length) const;

    // The one paragraph value the poetry screen sets after loading a poem:
    // the left indent, in twips, of every paragraph the selection touches
    // (or the cursor's paragraph).
    void setSelIndent(int twips);
    int selIndent() const;

    // The whole content with its formatting. Setting what another view gave
    // makes an identical document, colours and formatting included.
    QTextDocumentFragment content() const;
    void setContent(const QTextDocumentFragment &fragment);

private:
    enum class Layer { Text, Background };
    SelColor colourIn(int start, int end, Layer layer) const;
    SelColor colourOfFormat(const QTextCharFormat &f, Layer layer) const;
    void resetDocument();
    void setSelection(int anchor, int position);
};

// Multiplies every type size of the document by `ratio`: a passage written
// for the design's size follows the window's scale. Text without a size of
// its own counts as the document's default size.
void scaleTypeSizes(QTextDocument *doc, double ratio);

} // namespace morvello

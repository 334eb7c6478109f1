// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QString>

#include <optional>

namespace morvello::content {

// A content source (content/FORMAT.md) read into paragraphs of runs, and
// written out as RTF.

struct CharStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<QRgb> colour;    // none: the header's colour
    std::optional<QRgb> highlight; // none: no background
    int sequence = 0;              // stories: 0 for the first sequence

    bool operator==(const CharStyle &o) const
    {
        return bold == o.bold && italic == o.italic && underline == o.underline && colour == o.colour
            && highlight == o.highlight && sequence == o.sequence;
    }
    bool operator!=(const CharStyle &o) const { return !(*this == o); }
};

struct Run {
    QString text;
    CharStyle style;
};

struct Paragraph {
    QList<Run> runs;
};

enum class Align { Left, Center, Justify };

struct Header {
    QString font = QStringLiteral("Arial");
    int halfPoints = 24;
    std::optional<QRgb> colour; // none: automatic
    int indent = 0;             // twips
    Align align = Align::Left;
    int spacing = 0;            // twips after each paragraph
};

struct Source {
    Header header;
    QList<Paragraph> paragraphs;
    int sequenceCount = 1; // 1 + the number of <seq> marks
    bool hasSequences() const { return sequenceCount > 1; }
};

// The five colours of a story's solution, sequence by sequence.
QList<QRgb> sequenceColours();

// Parses a source file's bytes. On failure returns false and sets error to
// an Italian message beginning "riga N: ".
bool parseSource(const QByteArray &utf8, Source *out, QString *error);

enum class Output {
    Plain,    // as written
    Story,    // every character white
    Solution  // every character in its sequence's colour
};

// The RTF bytes: ANSI with code page 1252, everything outside ASCII as \uN?,
// the same bytes for the same source every time.
QByteArray writeRtf(const Source &source, Output output);

} // namespace morvello::content

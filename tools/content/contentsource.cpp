// SPDX-License-Identifier: GPL-3.0-or-later
#include "contentsource.h"

#include <QStringDecoder>

#include <algorithm>
#include <QStringList>

namespace morvello::content {

QList<QRgb> sequenceColours()
{
    return {qRgb(255, 153, 204), qRgb(255, 255, 153), qRgb(255, 204, 153), qRgb(153, 204, 255),
            qRgb(204, 255, 204)};
}

namespace {

struct OpenMark {
    QChar kind; // b, i, u, c, h
    QRgb colour = 0;
    int line = 0;
};

bool parseColour(const QString &text, QRgb *out)
{
    static const QString digits = QStringLiteral("0123456789abcdefABCDEF");
    if (text.size() != 7 || text.at(0) != QLatin1Char('#'))
        return false;
    for (int i = 1; i < 7; ++i) {
        if (!digits.contains(text.at(i)))
            return false;
    }
    *out = 0xff000000u | text.mid(1).toUInt(nullptr, 16);
    return true;
}

QString fail(int line, const QString &message)
{
    return QStringLiteral("riga %1: %2").arg(line).arg(message);
}

class Parser
{
public:
    bool parse(const QString &text, Source *out, QString *error);

private:
    bool header(const QString &line, int lineNo, Header *h, QString *error);
    bool body(const QString &line, int lineNo, QString *error);
    bool mark(const QString &tag, int lineNo, QString *error);
    void append(QChar c);
    CharStyle style() const;

    Source *m_out = nullptr;
    QList<OpenMark> m_open;
    int m_sequence = 0;
    bool m_sequenceHasText = false;
};

bool Parser::parse(const QString &text, Source *out, QString *error)
{
    m_out = out;
    *out = Source();
    QStringList lines = text.split(QLatin1Char('\n'));
    bool inHeader = true;
    int lineNo = 0;
    for (QString line : lines) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        while (!line.isEmpty() && (line.back() == QLatin1Char(' ') || line.back() == QLatin1Char('\t')))
            line.chop(1);
        if (line.startsWith(QLatin1String("%%")))
            continue;
        if (inHeader) {
            if (line.isEmpty())
                continue;
            if (line.startsWith(QLatin1Char('@'))) {
                if (!header(line, lineNo, &out->header, error))
                    return false;
                continue;
            }
            inHeader = false;
        }
        out->paragraphs.append(Paragraph());
        if (!body(line, lineNo, error))
            return false;
    }
    while (!out->paragraphs.isEmpty() && out->paragraphs.back().runs.isEmpty())
        out->paragraphs.removeLast();
    if (!m_open.isEmpty()) {
        const OpenMark &m = m_open.back();
        *error = fail(m.line, QStringLiteral("il segno <%1> non è mai chiuso").arg(m.kind));
        return false;
    }
    if (out->paragraphs.isEmpty()) {
        *error = fail(lineNo, QStringLiteral("il file non contiene testo"));
        return false;
    }
    if (m_sequence > 0 && !m_sequenceHasText) {
        *error = fail(lineNo, QStringLiteral("l'ultima sequenza è vuota"));
        return false;
    }
    out->sequenceCount = m_sequence + 1;
    return true;
}

bool Parser::header(const QString &line, int lineNo, Header *h, QString *error)
{
    const int space = int(line.indexOf(QLatin1Char(' ')));
    const QString key = line.mid(1, space < 0 ? -1 : space - 1);
    const QString value = space < 0 ? QString() : line.mid(space + 1).trimmed();
    auto bad = [&](const QString &what) {
        *error = fail(lineNo, QStringLiteral("@%1: %2").arg(key, what));
        return false;
    };
    if (value.isEmpty())
        return bad(QStringLiteral("manca il valore"));
    if (key == QLatin1String("font")) {
        if (value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) || value.contains(QLatin1Char('}'))
            || value.contains(QLatin1Char('\\')))
            return bad(QStringLiteral("nome di carattere non valido"));
        h->font = value;
    } else if (key == QLatin1String("size")) {
        bool ok = false;
        const double points = value.toDouble(&ok);
        const double half = points * 2;
        if (!ok || half != double(int(half)) || points < 4 || points > 72)
            return bad(QStringLiteral("scrivi i punti, interi o mezzi, da 4 a 72 (per esempio 12 o 11.5)"));
        h->halfPoints = int(half);
    } else if (key == QLatin1String("color")) {
        QRgb c;
        if (!parseColour(value, &c))
            return bad(QStringLiteral("scrivi il colore come #RRGGBB"));
        h->colour = c;
    } else if (key == QLatin1String("indent") || key == QLatin1String("spacing")) {
        bool ok = false;
        const int twips = value.toInt(&ok);
        if (!ok || twips < 0 || twips > 14400)
            return bad(QStringLiteral("scrivi un numero di twips da 0 a 14400"));
        (key == QLatin1String("indent") ? h->indent : h->spacing) = twips;
    } else if (key == QLatin1String("align")) {
        if (value == QLatin1String("left"))
            h->align = Align::Left;
        else if (value == QLatin1String("center"))
            h->align = Align::Center;
        else if (value == QLatin1String("justify"))
            h->align = Align::Justify;
        else
            return bad(QStringLiteral("scrivi left, center o justify"));
    } else {
        *error = fail(lineNo, QStringLiteral("intestazione sconosciuta @%1").arg(key));
        return false;
    }
    return true;
}

bool Parser::body(const QString &line, int lineNo, QString *error)
{
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('<')) {
            if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('<')) {
                append(c);
                ++i;
                continue;
            }
            const int end = int(line.indexOf(QLatin1Char('>'), i + 1));
            if (end < 0) {
                *error = fail(lineNo, QStringLiteral("segno aperto con < e mai chiuso con > (per un < scritto usa <<)"));
                return false;
            }
            if (!mark(line.mid(i + 1, end - i - 1), lineNo, error))
                return false;
            i = end;
            continue;
        }
        if (c.unicode() < 0x20 && c != QLatin1Char('\t')) {
            *error = fail(lineNo, QStringLiteral("carattere di controllo %1 non ammesso").arg(c.unicode()));
            return false;
        }
        if (c.unicode() == 0xFEFF && lineNo == 1 && i == 0)
            continue; // byte order mark
        append(c);
    }
    return true;
}

bool Parser::mark(const QString &tag, int lineNo, QString *error)
{
    if (tag == QLatin1String("seq")) {
        if (!m_sequenceHasText) {
            *error = fail(lineNo, QStringLiteral("la sequenza %1 è vuota: <seq> deve seguire del testo").arg(m_sequence + 1));
            return false;
        }
        if (m_sequence + 1 >= int(sequenceColours().size())) {
            *error = fail(lineNo, QStringLiteral("troppe sequenze: al massimo %1").arg(sequenceColours().size()));
            return false;
        }
        ++m_sequence;
        m_sequenceHasText = false;
        return true;
    }
    if (tag == QLatin1String("b") || tag == QLatin1String("i") || tag == QLatin1String("u")) {
        m_open.append(OpenMark{tag.at(0), 0, lineNo});
        return true;
    }
    if (tag.startsWith(QLatin1String("c ")) || tag.startsWith(QLatin1String("h "))) {
        QRgb colour;
        if (!parseColour(tag.mid(2).trimmed(), &colour)) {
            *error = fail(lineNo, QStringLiteral("<%1>: scrivi il colore come #RRGGBB").arg(tag));
            return false;
        }
        m_open.append(OpenMark{tag.at(0), colour, lineNo});
        return true;
    }
    if (tag.size() == 2 && tag.at(0) == QLatin1Char('/') && QStringLiteral("biuch").contains(tag.at(1))) {
        if (m_open.isEmpty()) {
            *error = fail(lineNo, QStringLiteral("<%1> chiude un segno mai aperto").arg(tag));
            return false;
        }
        if (m_open.back().kind != tag.at(1)) {
            *error = fail(lineNo, QStringLiteral("<%1> arriva prima della chiusura di <%2> (riga %3): i segni si chiudono "
                                                 "in ordine inverso")
                                      .arg(tag, m_open.back().kind)
                                      .arg(m_open.back().line));
            return false;
        }
        m_open.removeLast();
        return true;
    }
    *error = fail(lineNo, QStringLiteral("segno sconosciuto <%1> (per un < scritto usa <<)").arg(tag));
    return false;
}

CharStyle Parser::style() const
{
    CharStyle s;
    for (const OpenMark &m : m_open) {
        switch (m.kind.unicode()) {
        case u'b': s.bold = true; break;
        case u'i': s.italic = true; break;
        case u'u': s.underline = true; break;
        case u'c': s.colour = m.colour; break;
        case u'h': s.highlight = m.colour; break;
        }
    }
    s.sequence = m_sequence;
    return s;
}

void Parser::append(QChar c)
{
    const CharStyle s = style();
    Paragraph &p = m_out->paragraphs.back();
    if (p.runs.isEmpty() || p.runs.back().style != s)
        p.runs.append(Run{QString(), s});
    p.runs.back().text += c;
    if (!c.isSpace())
        m_sequenceHasText = true;
}

// RTF output ----------------------------------------------------------------

class Writer
{
public:
    Writer(const Source &s, Output o)
        : m_source(s)
        , m_output(o)
    {
    }
    QByteArray write();

private:
    struct Resolved {
        bool bold = false, italic = false, underline = false;
        std::optional<QRgb> colour, highlight;
        bool operator==(const Resolved &o) const
        {
            return bold == o.bold && italic == o.italic && underline == o.underline && colour == o.colour
                && highlight == o.highlight;
        }
    };
    Resolved resolve(const CharStyle &s) const;
    int colourIndex(QRgb c) const { return int(m_colours.indexOf(c)) + 1; }
    void noteColour(const std::optional<QRgb> &c);
    QByteArray stateWords(const Resolved &r) const;
    static void appendText(QByteArray &out, const QString &text);

    const Source &m_source;
    Output m_output;
    QList<QRgb> m_colours; // colour table after its automatic entry, in order of first use
};

Writer::Resolved Writer::resolve(const CharStyle &s) const
{
    Resolved r;
    r.bold = s.bold;
    r.italic = s.italic;
    r.underline = s.underline;
    switch (m_output) {
    case Output::Plain:
        r.colour = s.colour ? s.colour : m_source.header.colour;
        r.highlight = s.highlight;
        break;
    case Output::Story:
        r.colour = qRgb(255, 255, 255);
        break;
    case Output::Solution:
        r.colour = sequenceColours().at(std::clamp(s.sequence, 0, int(sequenceColours().size()) - 1));
        break;
    }
    return r;
}

void Writer::noteColour(const std::optional<QRgb> &c)
{
    if (c && !m_colours.contains(*c))
        m_colours.append(*c);
}

QByteArray Writer::stateWords(const Resolved &r) const
{
    QByteArray w = "\\plain\\f0\\fs" + QByteArray::number(m_source.header.halfPoints);
    if (r.bold)
        w += "\\b";
    if (r.italic)
        w += "\\i";
    if (r.underline)
        w += "\\ul";
    if (r.colour)
        w += "\\cf" + QByteArray::number(colourIndex(*r.colour));
    if (r.highlight) {
        const QByteArray n = QByteArray::number(colourIndex(*r.highlight));
        w += "\\chcbpat" + n + "\\highlight" + n;
    }
    return w + ' ';
}

void Writer::appendText(QByteArray &out, const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(int(qint16(u))) + '?';
        }
    }
}

QByteArray Writer::write()
{
    // The colour table lists the colours in the order the text first needs them.
    Resolved base = resolve(CharStyle());
    noteColour(base.colour);
    for (const Paragraph &p : m_source.paragraphs) {
        for (const Run &run : p.runs) {
            const Resolved r = resolve(run.style);
            noteColour(r.colour);
            noteColour(r.highlight);
        }
    }

    const Header &h = m_source.header;
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\\deflang1040\n{\\fonttbl{\\f0\\fnil\\fcharset0 ";
    appendText(out, h.font);
    out += ";}}\n{\\colortbl;";
    for (const QRgb c : m_colours)
        out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue"
            + QByteArray::number(qBlue(c)) + ';';
    out += "}\n\\pard";
    out += h.align == Align::Center ? "\\qc" : h.align == Align::Justify ? "\\qj" : "\\ql";
    if (h.indent)
        out += "\\li" + QByteArray::number(h.indent);
    if (h.spacing)
        out += "\\sa" + QByteArray::number(h.spacing);
    Resolved current = base;
    out += stateWords(current);
    out += '\n';
    for (const Paragraph &p : m_source.paragraphs) {
        for (const Run &run : p.runs) {
            const Resolved r = resolve(run.style);
            if (!(r == current)) {
                out += stateWords(r);
                current = r;
            }
            appendText(out, run.text);
        }
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

} // namespace

bool parseSource(const QByteArray &utf8, Source *out, QString *error)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(utf8);
    if (decoder.hasError()) {
        *error = QStringLiteral("il file non è in UTF-8");
        return false;
    }
    Parser parser;
    return parser.parse(text, out, error);
}

QByteArray writeRtf(const Source &source, Output output)
{
    return Writer(source, output).write();
}

} // namespace morvello::content

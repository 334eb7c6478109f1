#include "rtfreader.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace morvello {

namespace {

// ---------------------------------------------------------------------------
// Keywords

enum class K : uint8_t {
    Unknown,
    // document header
    Ansi, Mac, Pc, Pca, Ansicpg, Deff, Uc, U,
    // destinations
    FontTbl, ColorTbl, StyleSheet, SkipDest, Upr, Ud,
    // entries of the tables
    F, Fcharset, Cpg, Red, Green, Blue, S, Cs, SBasedOn,
    // character formatting
    Plain, B, I, Ul, UlNone, Strike, Fs, Cf, Cb, Highlight, Super, Sub, NoSuperSub, V, Deleted,
    // paragraph formatting
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa,
    // text
    Par, Line, Tab, Char, Cell, Page, Bin,
};

struct Keyword {
    K k = K::Unknown;
    char16_t ch = 0;
};

const std::unordered_map<std::string_view, Keyword> &keywords()
{
    static const std::unordered_map<std::string_view, Keyword> table = [] {
        std::unordered_map<std::string_view, Keyword> t;
        auto add = [&t](std::string_view w, K k, char16_t ch = 0) { t.emplace(w, Keyword{k, ch}); };
        add("ansi", K::Ansi);
        add("mac", K::Mac);
        add("pc", K::Pc);
        add("pca", K::Pca);
        add("ansicpg", K::Ansicpg);
        add("deff", K::Deff);
        add("uc", K::Uc);
        add("u", K::U);

        add("fonttbl", K::FontTbl);
        add("colortbl", K::ColorTbl);
        add("stylesheet", K::StyleSheet);
        add("upr", K::Upr);
        add("ud", K::Ud);
        // Groups that hold no text a reader of the page sees.
        for (std::string_view w : {"info", "pict", "object", "objdata", "header", "headerl", "headerr",
                                   "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
                                   "annotation", "atnid", "atnauthor", "atndate", "atnref", "fldinst",
                                   "listtable", "listoverridetable", "revtbl", "rsidtbl", "filetbl",
                                   "xe", "tc", "txe", "bkmkstart", "bkmkend", "nonshppict", "shp",
                                   "shpinst", "shptxt", "sp", "sn", "sv", "template", "ftnsep",
                                   "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "pn",
                                   "pntxta", "pntxtb", "comment", "author", "operator", "title",
                                   "subject", "keywords", "doccomm", "userprops", "docvar",
                                   "private", "themedata", "colorschememapping", "latentstyles",
                                   "datastore", "xmlnstbl", "generator", "mmathPr", "pgdsctbl",
                                   "listpicture", "protusertbl", "wgrffmtfilter", "fchars",
                                   "lchars", "passwordhash", "datafield", "formfield", "buptim",
                                   "creatim", "revtim", "printim", "hlinkbase", "background",
                                   "stylesheetx", "defchp", "defpap", "mhtmltag", "htmltag",
                                   // what Word writes for readers without nested tables
                                   "nonesttables"})
            add(w, K::SkipDest);

        add("f", K::F);
        add("fcharset", K::Fcharset);
        add("cpg", K::Cpg);
        add("red", K::Red);
        add("green", K::Green);
        add("blue", K::Blue);
        add("s", K::S);
        add("cs", K::Cs);
        add("sbasedon", K::SBasedOn);

        add("plain", K::Plain);
        add("b", K::B);
        add("i", K::I);
        for (std::string_view w : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                   "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd",
                                   "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            add(w, K::Ul);
        add("ulnone", K::UlNone);
        add("strike", K::Strike);
        add("striked", K::Strike);
        add("fs", K::Fs);
        add("cf", K::Cf);
        add("cb", K::Cb);
        add("chcbpat", K::Cb);
        add("highlight", K::Highlight);
        add("super", K::Super);
        add("sub", K::Sub);
        add("nosupersub", K::NoSuperSub);
        add("v", K::V);
        add("deleted", K::Deleted);

        add("pard", K::Pard);
        add("ql", K::Ql);
        add("qc", K::Qc);
        add("qr", K::Qr);
        add("qj", K::Qj);
        add("li", K::Li);
        add("lin", K::Li);
        add("ri", K::Ri);
        add("rin", K::Ri);
        add("fi", K::Fi);
        add("sb", K::Sb);
        add("sa", K::Sa);

        add("par", K::Par);
        add("line", K::Line);
        add("tab", K::Tab);
        add("cell", K::Cell);
        add("nestcell", K::Cell);
        add("page", K::Page);
        add("sect", K::Page);
        add("column", K::Page);
        add("bin", K::Bin);
        add("emdash", K::Char, 0x2014);
        add("endash", K::Char, 0x2013);
        add("emspace", K::Char, 0x2003);
        add("enspace", K::Char, 0x2002);
        add("qmspace", K::Char, 0x2005);
        add("bullet", K::Char, 0x2022);
        add("lquote", K::Char, 0x2018);
        add("rquote", K::Char, 0x2019);
        add("ldblquote", K::Char, 0x201C);
        add("rdblquote", K::Char, 0x201D);
        add("zwj", K::Char, 0x200D);
        add("zwnj", K::Char, 0x200C);
        add("zwbo", K::Char, 0x200B);
        add("ltrmark", K::Char, 0x200E);
        add("rtlmark", K::Char, 0x200F);
        return t;
    }();
    return table;
}

// ---------------------------------------------------------------------------
// Code pages

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

constexpr int kSymbolCodepage = -2; // the Symbol font, whatever its \fcharset says

// The code page of a font's \fcharset. 0 defers to the document's \ansicpg:
// so do \fcharset1 ("default") and charsets this reader does not know.
int codepageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252; // Western, even inside a Greek or Russian document
    case 2: return kSymbolCodepage;
    case 77: return 10000;
    case 78: return 10001;
    case 79: return 10003;
    case 80: return 10008;
    case 81: return 10002;
    case 85: return 10006;
    case 86: return 10081;
    case 88: return 10029;
    case 89: return 10007;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

QByteArray decoderName(int cp)
{
    switch (cp) {
    case 65001: return "UTF-8";
    case 10000: return "macintosh";
    case 10001: return "Shift_JIS";
    case 10002: return "Big5";
    case 10003: return "EUC-KR";
    case 10006: return "x-mac-greek";
    case 10007: return "x-mac-cyrillic";
    case 10008: return "GB2312";
    case 10029: return "x-mac-centraleurroman";
    case 10081: return "x-mac-turkish";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "EUC-KR";
    case 950: return "Big5";
    case 1361: return "ibm-1361";
    case 437: return "IBM437";
    case 850: return "IBM850";
    default: return "windows-" + QByteArray::number(cp);
    }
}

// What the Symbol font draws for each byte from 0x20 up; 0 where it draws
// nothing. Its letters are Greek, its punctuation mathematical.
constexpr char16_t kSymbolFont[224] = {
    // 0x20
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B,
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,
    // 0x30
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    // 0x40
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    // 0x50
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
    // 0x60
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,
    // 0x70
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,
    // 0x80..0x9F: nothing
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    // 0xB0
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
    // 0xC0
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    // 0xD0
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    // 0xE0
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,
    // 0xF0
    0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,
};

// Fonts of pictures rather than letters, which share the Symbol font's
// charset but not its glyphs.
bool isPictureFont(const QString &name)
{
    for (const char *family : {"Wingdings", "Webdings", "Marlett", "Zapf Dingbats", "ZapfDingbats",
                               "Monotype Sorts", "MT Extra"})
        if (name.startsWith(QLatin1String(family), Qt::CaseInsensitive))
            return true;
    return false;
}

// A byte, or a private-use character U+F020..U+F0FF (Word's way of naming
// a glyph of a symbol font), as the Symbol font shows it; 0 for nothing.
char16_t symbolChar(uint code)
{
    if (code >= 0xF000 && code <= 0xF0FF)
        code -= 0xF000;
    if (code < 0x20 || code > 0xFF)
        return 0;
    return kSymbolFont[code - 0x20];
}


// ---------------------------------------------------------------------------
// State

struct CharProps {
    int font = -1; // font number; -1 is the document's default font
    int size = 24; // half-points
    int fg = -1;   // colour-table index; -1 is the automatic colour
    int bg = -1;   // shading (\cb, \chcbpat); -1 none
    int hl = -1;   // highlight, drawn over the shading; -1 none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    bool deleted = false; // a tracked deletion: gone once the changes are accepted
    int8_t vpos = 0; // 1 superscript, -1 subscript

    bool operator==(const CharProps &o) const
    {
        return font == o.font && size == o.size && fg == o.fg && bg == o.bg && hl == o.hl
            && bold == o.bold && italic == o.italic && underline == o.underline && strike == o.strike
            && hidden == o.hidden && deleted == o.deleted && vpos == o.vpos;
    }
    bool operator!=(const CharProps &o) const { return !(*this == o); }
};

size_t qHash(const CharProps &c, size_t seed = 0)
{
    return ::qHashMulti(seed, c.font, c.size, c.fg, c.bg, c.hl,
                        (c.bold ? 1 : 0) | (c.italic ? 2 : 0) | (c.underline ? 4 : 0)
                            | (c.strike ? 8 : 0) | (c.hidden ? 16 : 0) | (c.deleted ? 32 : 0)
                            | ((c.vpos + 1) << 6));
}

struct ParaProps {
    Qt::Alignment align = Qt::AlignLeft;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0; // twips
};

// Which properties a style entry sets.
enum StyleBit : uint32_t {
    SFont = 1u << 0, SSize = 1u << 1, SFg = 1u << 2, SBg = 1u << 3, SBold = 1u << 4,
    SItalic = 1u << 5, SUnderline = 1u << 6, SStrike = 1u << 7, SHidden = 1u << 8,
    SVpos = 1u << 9, SAlign = 1u << 10, SHighlight = 1u << 11, SDeleted = 1u << 12,
};

struct StyleDef {
    uint32_t mask = 0;
    CharProps ch;
    Qt::Alignment align = Qt::AlignLeft;
    int basedOn = -1;
};

enum class Dest : uint8_t { Normal, FontTable, FontEntry, ColorTable, StyleSheet, StyleEntry, Upr, UprChild };

struct Group {
    CharProps ch;
    ParaProps para;
    int uc = 1;
    Dest dest = Dest::Normal;
    bool star = false;
    // Style entry being read (stylesheet only).
    uint32_t mask = 0;
    int8_t styleKind = 0; // 1 paragraph style, 2 character style
    int styleNum = -1;
    int basedOn = -1;
};

struct FontDef {
    QString name;
    int codepage = 0;
};

struct ColorDef {
    bool automatic = true;
    QRgb rgb = 0;
};

struct Failure {
    int number;
    QString message;
};

int clampInt(qint64 v, int lo, int hi) { return int(std::clamp<qint64>(v, lo, hi)); }

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// ---------------------------------------------------------------------------

class Parser
{
public:
    Parser(const QByteArray &data, QTextDocument *doc)
        : m_p(data.constData()), m_end(data.constData() + data.size()), m_doc(doc), m_cursor(doc)
    {
    }

    RtfResult run();

private:
    bool parse();
    void fail(int number, const QString &message)
    {
        if (!m_failed)
            m_failure = Failure{number, message};
        m_failed = true;
    }

    Group &top() { return m_stack.back(); }

    void openGroup();
    void closeGroup();
    void skipGroup();
    void controlWord();
    void controlSymbol(char c);
    void handleWord(std::string_view word, bool hasParam, int param);
    void textBytes(const char *from, const char *to);
    void hexByte(uint8_t b);
    void emitChar(char16_t c);
    void emitCodePoint(uint cp);

    // Text building
    void flushBytes();
    void appendText(const QString &s);
    void flushRun();
    void ensureBlock();
    void paragraphEnd();
    QTextCharFormat formatOf(const CharProps &c);
    QTextBlockFormat blockFormatOf(const ParaProps &p) const;
    void setBlockFormat(const ParaProps &p);
    int currentCodepage() const;
    QString decode(const QByteArray &bytes, int cp);

    // Tables
    void fontEntryEnd();
    void colorEntryEnd();
    void styleEntryEnd(const Group &g);
    void applyStyle(const QHash<int, StyleDef> &styles, int n, Group &g, int depth = 0);

    const char *m_p;
    const char *m_end;
    QTextDocument *m_doc;
    QTextCursor m_cursor;

    std::vector<Group> m_stack;
    bool m_done = false;
    bool m_failed = false;
    Failure m_failure{0, {}};

    int m_ansiCodepage = 1252;
    int m_defaultFont = 0;
    int m_ucSkip = 0;

    QHash<int, FontDef> m_fonts;
    int m_fontNum = -1;
    int m_fontCharset = -1; // -1: the entry names none
    int m_fontCpg = 0;
    QByteArray m_fontName;
    bool m_fontOpen = false;

    std::vector<ColorDef> m_colors;
    ColorDef m_colorEntry;
    bool m_colorHasRgb = false;
    int m_colorR = 0, m_colorG = 0, m_colorB = 0;

    QHash<int, StyleDef> m_paraStyles;
    QHash<int, StyleDef> m_charStyles;

    // Bytes waiting to be decoded with the code page in force.
    QByteArray m_bytes;
    // The run being collected and its formatting.
    QString m_runText;
    CharProps m_runProps;
    bool m_pendingBreak = false;
    bool m_blockHasText = false;
    int m_paragraphs = 1;
    int m_runs = 0;
    QHash<CharProps, QTextCharFormat> m_formats;
    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};

RtfResult Parser::run()
{
    const bool undo = m_doc->isUndoRedoEnabled();
    m_doc->clear();
    m_doc->setUndoRedoEnabled(false);
    m_cursor = QTextCursor(m_doc);
    m_cursor.beginEditBlock();
    const bool ok = parse();
    m_cursor.endEditBlock();
    RtfResult r;
    if (!ok) {
        m_doc->clear();
        r.ok = false;
        r.number = m_failure.number;
        r.error = m_failure.message;
    }
    m_doc->setUndoRedoEnabled(undo);
    return r;
}

bool Parser::parse()
{
    // A byte-order mark or blank lines before the header are forgiven.
    if (m_end - m_p >= 3 && uchar(m_p[0]) == 0xEF && uchar(m_p[1]) == 0xBB && uchar(m_p[2]) == 0xBF)
        m_p += 3;
    while (m_p < m_end && (*m_p == ' ' || *m_p == '\t' || *m_p == '\r' || *m_p == '\n'))
        ++m_p;
    if (m_p == m_end) {
        fail(RtfErrorCode::InvalidFormat, QStringLiteral("Il documento è vuoto."));
        return false;
    }
    if (m_end - m_p < 5 || std::memcmp(m_p, "{\\rtf", 5) != 0) {
        fail(RtfErrorCode::InvalidFormat, QStringLiteral("Il documento non è in formato RTF."));
        return false;
    }

    m_stack.reserve(64);
    m_stack.emplace_back(); // outside the document's group
    m_colors.reserve(32);

    while (m_p < m_end && !m_done && !m_failed) {
        const char c = *m_p;
        switch (c) {
        case '{':
            ++m_p;
            openGroup();
            break;
        case '}':
            ++m_p;
            closeGroup();
            break;
        case '\\':
            ++m_p;
            controlWord();
            break;
        case '\r':
        case '\n':
            ++m_p;
            break;
        default: {
            // A stretch of plain text.
            const char *from = m_p;
            while (m_p < m_end && *m_p != '{' && *m_p != '}' && *m_p != '\\' && *m_p != '\r'
                   && *m_p != '\n')
                ++m_p;
            textBytes(from, m_p);
            break;
        }
        }
    }
    if (m_failed)
        return false;
    if (!m_done) {
        fail(RtfErrorCode::InvalidFormat,
             QStringLiteral("Il documento RTF è incompleto: manca la chiusura di un gruppo."));
        return false;
    }
    return true;
}

void Parser::openGroup()
{
    flushBytes();
    m_ucSkip = 0;
    if (int(m_stack.size()) > RtfLimits::MaxGroupDepth) {
        fail(RtfErrorCode::InvalidFormat,
             QStringLiteral("Il documento RTF è danneggiato: troppi gruppi uno dentro l'altro."));
        return;
    }
    Group g = top();
    g.star = false;
    switch (g.dest) {
    case Dest::FontTable:
        g.dest = Dest::FontEntry;
        break;
    case Dest::StyleSheet:
        g.dest = Dest::StyleEntry;
        g.mask = 0;
        g.styleKind = 1;
        g.styleNum = 0; // an entry without \s is style 0
        g.basedOn = -1;
        break;
    case Dest::Upr:
        g.dest = Dest::UprChild;
        break;
    default:
        break;
    }
    m_stack.push_back(g);
}

void Parser::closeGroup()
{
    flushBytes();
    m_ucSkip = 0;
    if (m_stack.size() <= 1) {
        // Unreachable: parsing stops when the document's group closes.
        fail(RtfErrorCode::InvalidFormat,
             QStringLiteral("Il documento RTF è danneggiato: parentesi graffe non bilanciate."));
        return;
    }
    const Group &g = top();
    if (g.dest == Dest::FontEntry)
        fontEntryEnd();
    else if (g.dest == Dest::StyleEntry)
        styleEntryEnd(g);
    else if (g.dest == Dest::ColorTable && m_colorHasRgb)
        colorEntryEnd(); // a last entry without its ';'

    if (m_stack.size() == 2) {
        // The document's own group ends: the last paragraph takes the
        // formatting in force at its end unless a \par already closed it.
        flushRun();
        if (!m_pendingBreak)
            setBlockFormat(g.para);
        m_done = true;
    }
    m_stack.pop_back();
}

// Moves past the rest of the current group without looking at its content,
// then closes it. \bin data is stepped over so that braces inside it do not
// count.
void Parser::skipGroup()
{
    flushBytes();
    qint64 depth = 1;
    while (m_p < m_end) {
        const char c = *m_p++;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                closeGroup();
                return;
            }
        } else if (c == '\\' && m_p < m_end) {
            if (isLetter(*m_p)) {
                const char *w = m_p;
                while (m_p < m_end && isLetter(*m_p))
                    ++m_p;
                const bool bin = (m_p - w == 3 && std::memcmp(w, "bin", 3) == 0);
                bool neg = false;
                if (m_p < m_end && *m_p == '-') {
                    neg = true;
                    ++m_p;
                }
                qint64 n = 0;
                while (m_p < m_end && isDigit(*m_p)) {
                    n = std::min<qint64>(n * 10 + (*m_p - '0'), qint64(1) << 40);
                    ++m_p;
                }
                if (m_p < m_end && *m_p == ' ')
                    ++m_p;
                if (bin && !neg)
                    m_p += std::min<qint64>(n, m_end - m_p);
            } else {
                ++m_p; // \{ \} \\ and the other symbols
            }
        }
    }
    fail(RtfErrorCode::InvalidFormat,
         QStringLiteral("Il documento RTF è incompleto: manca la chiusura di un gruppo."));
}

void Parser::controlWord()
{
    if (m_p >= m_end)
        return; // a lone backslash at the very end; the missing brace is reported later
    const char c = *m_p;
    if (!isLetter(c)) {
        ++m_p;
        controlSymbol(c);
        return;
    }
    const char *w = m_p;
    while (m_p < m_end && isLetter(*m_p))
        ++m_p;
    // Longer names than any real keyword are read whole and ignored.
    const std::string_view word(w, std::min<ptrdiff_t>(m_p - w, 32));
    bool hasParam = false;
    bool neg = false;
    qint64 n = 0;
    if (m_p < m_end && *m_p == '-' && m_p + 1 < m_end && isDigit(m_p[1])) {
        neg = true;
        ++m_p;
    }
    while (m_p < m_end && isDigit(*m_p)) {
        hasParam = true;
        n = std::min<qint64>(n * 10 + (*m_p - '0'), qint64(1) << 40);
        ++m_p;
    }
    if (m_p < m_end && *m_p == ' ')
        ++m_p;
    const int param = clampInt(neg ? -n : n, INT32_MIN, INT32_MAX);
    handleWord(word, hasParam, param);
}

void Parser::controlSymbol(char c)
{
    if (c == '\'') {
        int v = 0;
        int digits = 0;
        while (digits < 2 && m_p < m_end) {
            const int h = hexValue(*m_p);
            if (h < 0)
                break;
            v = v * 16 + h;
            ++m_p;
            ++digits;
        }
        if (digits == 0)
            return;
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        hexByte(uint8_t(v));
        return;
    }
    if (c == '\\' || c == '{' || c == '}') {
        const char *from = m_p - 1;
        textBytes(from, m_p);
        return;
    }
    flushBytes();
    if (c == '*') {
        top().star = true;
        return;
    }
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    switch (c) {
    case '~': emitChar(0x00A0); break;
    case '-': emitChar(0x00AD); break;
    case '_': emitChar(0x2011); break;
    case '\r':
    case '\n':
        if (top().dest == Dest::Normal)
            paragraphEnd();
        break;
    case '\t': emitChar(u'\t'); break;
    default: break; // \: \| and unknown symbols
    }
}

void Parser::textBytes(const char *from, const char *to)
{
    if (m_ucSkip > 0) {
        const qint64 skip = std::min<qint64>(m_ucSkip, to - from);
        from += skip;
        m_ucSkip -= int(skip);
    }
    if (from == to)
        return;
    Group &g = top();
    switch (g.dest) {
    case Dest::Normal:
        m_bytes.append(from, to - from);
        break;
    case Dest::FontTable:
    case Dest::FontEntry:
        for (const char *q = from; q < to; ++q) {
            if (*q == ';')
                fontEntryEnd();
            else if (m_fontName.size() < 256)
                m_fontName.append(*q);
        }
        break;
    case Dest::ColorTable:
        for (const char *q = from; q < to; ++q)
            if (*q == ';')
                colorEntryEnd();
        break;
    default:
        break;
    }
}

void Parser::hexByte(uint8_t b)
{
    const Dest d = top().dest;
    if (d == Dest::Normal) {
        m_bytes.append(char(b));
    } else if ((d == Dest::FontTable || d == Dest::FontEntry) && m_fontName.size() < 256) {
        m_fontName.append(char(b));
    }
}

void Parser::emitChar(char16_t c)
{
    if (top().dest != Dest::Normal)
        return;
    flushBytes();
    appendText(QString(QChar(c)));
}

void Parser::emitCodePoint(uint cp)
{
    if (top().dest != Dest::Normal)
        return;
    flushBytes();
    if (cp >= 0xF020 && cp <= 0xF0FF && currentCodepage() == kSymbolCodepage) {
        if (const char16_t u = symbolChar(cp))
            appendText(QString(QChar(u)));
        return;
    }
    if (cp > 0xFFFF) {
        const char32_t u = cp;
        appendText(QString::fromUcs4(&u, 1));
    } else {
        appendText(QString(QChar(char16_t(cp))));
    }
}

void Parser::handleWord(std::string_view word, bool hasParam, int param)
{
    flushBytes();
    Group &g = top();
    const auto &table = keywords();
    const auto it = table.find(word);
    const Keyword kw = it == table.end() ? Keyword{} : it->second;

    if (m_ucSkip > 0) {
        // A control word stands for one character of the fallback.
        --m_ucSkip;
        if (kw.k == K::Bin && hasParam && param > 0)
            m_p += std::min<qint64>(param, m_end - m_p);
        return;
    }

    if (g.star) {
        g.star = false;
        // Only the destinations this reader understands survive \*.
        const bool keep = (kw.k == K::Ud && (g.dest == Dest::UprChild || g.dest == Dest::Normal))
            || (kw.k == K::Cs && g.dest == Dest::StyleEntry);
        if (!keep) {
            skipGroup();
            return;
        }
    }

    const bool on = !hasParam || param != 0;
    switch (kw.k) {
    case K::Unknown:
        break;
    case K::Ansi: m_ansiCodepage = 1252; break;
    case K::Mac: m_ansiCodepage = 10000; break;
    case K::Pc: m_ansiCodepage = 437; break;
    case K::Pca: m_ansiCodepage = 850; break;
    case K::Ansicpg:
        if (hasParam && param > 0)
            m_ansiCodepage = param;
        break;
    case K::Deff:
        if (hasParam)
            m_defaultFont = param;
        break;
    case K::Uc:
        if (hasParam)
            g.uc = std::clamp(param, 0, 255);
        break;
    case K::U:
        if (hasParam) {
            qint64 v = param;
            if (v < 0)
                v += 65536;
            if (v >= 0 && v <= 0x10FFFF)
                emitCodePoint(uint(v));
            m_ucSkip = g.uc;
        }
        break;

    case K::FontTbl:
        g.dest = Dest::FontTable;
        m_fontNum = -1;
        m_fontOpen = false;
        break;
    case K::ColorTbl:
        g.dest = Dest::ColorTable;
        m_colors.clear();
        m_colorHasRgb = false;
        m_colorR = m_colorG = m_colorB = 0;
        break;
    case K::StyleSheet:
        g.dest = Dest::StyleSheet;
        break;
    case K::SkipDest:
        skipGroup();
        break;
    case K::Upr:
        g.dest = Dest::Upr;
        break;
    case K::Ud:
        if (g.dest == Dest::UprChild)
            g.dest = Dest::Normal;
        break;

    case K::F:
        if (!hasParam)
            break;
        if (g.dest == Dest::FontTable || g.dest == Dest::FontEntry) {
            if (m_fontOpen)
                fontEntryEnd();
            m_fontNum = param;
            m_fontCharset = -1;
            m_fontCpg = 0;
            m_fontName.clear();
            m_fontOpen = true;
        } else {
            g.ch.font = param;
            g.mask |= SFont;
        }
        break;
    case K::Fcharset:
        if (hasParam)
            m_fontCharset = param;
        break;
    case K::Cpg:
        if (hasParam && param > 0 && (g.dest == Dest::FontTable || g.dest == Dest::FontEntry))
            m_fontCpg = param;
        break;
    case K::Red:
        m_colorR = std::clamp(param, 0, 255);
        m_colorHasRgb = true;
        break;
    case K::Green:
        m_colorG = std::clamp(param, 0, 255);
        m_colorHasRgb = true;
        break;
    case K::Blue:
        m_colorB = std::clamp(param, 0, 255);
        m_colorHasRgb = true;
        break;
    case K::S:
        if (g.dest == Dest::StyleEntry) {
            g.styleKind = 1;
            g.styleNum = param;
        } else if (g.dest == Dest::Normal && hasParam) {
            applyStyle(m_paraStyles, param, g);
        }
        break;
    case K::Cs:
        if (g.dest == Dest::StyleEntry) {
            g.styleKind = 2;
            g.styleNum = param;
        } else if (g.dest == Dest::Normal && hasParam) {
            applyStyle(m_charStyles, param, g);
        }
        break;
    case K::SBasedOn:
        if (hasParam)
            g.basedOn = param;
        break;

    case K::Plain:
        g.ch = CharProps();
        g.mask |= SFont | SSize | SFg | SBg | SHighlight | SBold | SItalic | SUnderline | SStrike | SHidden
            | SDeleted | SVpos;
        break;
    case K::B:
        g.ch.bold = on;
        g.mask |= SBold;
        break;
    case K::I:
        g.ch.italic = on;
        g.mask |= SItalic;
        break;
    case K::Ul:
        g.ch.underline = on;
        g.mask |= SUnderline;
        break;
    case K::UlNone:
        g.ch.underline = false;
        g.mask |= SUnderline;
        break;
    case K::Strike:
        g.ch.strike = on;
        g.mask |= SStrike;
        break;
    case K::V:
        g.ch.hidden = on;
        g.mask |= SHidden;
        break;
    case K::Deleted:
        g.ch.deleted = on;
        g.mask |= SDeleted;
        break;
    case K::Fs:
        g.ch.size = hasParam && param > 0 ? std::clamp(param, 2, 1000) : 24;
        g.mask |= SSize;
        break;
    case K::Cf:
        g.ch.fg = hasParam ? param : 0;
        g.mask |= SFg;
        break;
    case K::Cb:
        g.ch.bg = hasParam && param > 0 ? param : -1;
        g.mask |= SBg;
        break;
    case K::Highlight:
        g.ch.hl = hasParam && param > 0 ? param : -1;
        g.mask |= SHighlight;
        break;
    case K::Super:
        g.ch.vpos = on ? 1 : 0;
        g.mask |= SVpos;
        break;
    case K::Sub:
        g.ch.vpos = on ? -1 : 0;
        g.mask |= SVpos;
        break;
    case K::NoSuperSub:
        g.ch.vpos = 0;
        g.mask |= SVpos;
        break;

    case K::Pard:
        g.para = ParaProps();
        break;
    case K::Ql:
        g.para.align = Qt::AlignLeft;
        g.mask |= SAlign;
        break;
    case K::Qc:
        g.para.align = Qt::AlignHCenter;
        g.mask |= SAlign;
        break;
    case K::Qr:
        g.para.align = Qt::AlignRight;
        g.mask |= SAlign;
        break;
    case K::Qj:
        g.para.align = Qt::AlignJustify;
        g.mask |= SAlign;
        break;
    case K::Li: g.para.li = std::clamp(param, -31680, 31680); break;
    case K::Ri: g.para.ri = std::clamp(param, -31680, 31680); break;
    case K::Fi: g.para.fi = std::clamp(param, -31680, 31680); break;
    case K::Sb: g.para.sb = std::clamp(param, 0, 31680); break;
    case K::Sa: g.para.sa = std::clamp(param, 0, 31680); break;

    case K::Par:
    case K::Cell:
        if (g.dest == Dest::Normal)
            paragraphEnd();
        break;
    case K::Page:
        // A page or section break ends a paragraph that holds text; one
        // that follows \par adds nothing a reader sees.
        if (g.dest == Dest::Normal && m_blockHasText && !m_pendingBreak)
            paragraphEnd();
        break;
    case K::Line: emitChar(QChar::LineSeparator); break;
    case K::Tab: emitChar(u'\t'); break;
    case K::Char: emitChar(kw.ch); break;
    case K::Bin:
        if (hasParam && param > 0)
            m_p += std::min<qint64>(param, m_end - m_p);
        break;
    }
}

// ---------------------------------------------------------------------------
// Text

int Parser::currentCodepage() const
{
    const int num = m_stack.back().ch.font < 0 ? m_defaultFont : m_stack.back().ch.font;
    const auto it = m_fonts.constFind(num);
    if (it != m_fonts.constEnd() && it->codepage != 0)
        return it->codepage;
    return m_ansiCodepage;
}

QString Parser::decode(const QByteArray &bytes, int cp)
{
    if (cp == kSymbolCodepage) {
        QString s;
        s.reserve(bytes.size());
        for (const char b : bytes)
            if (const char16_t u = symbolChar(uchar(b)))
                s.append(QChar(u));
        return s;
    }
    if (cp != 1252) {
        auto it = m_decoders.find(cp);
        if (it == m_decoders.end()) {
            auto dec = std::make_unique<QStringDecoder>(decoderName(cp).constData(),
                                                        QStringDecoder::Flag::Stateless);
            if (!dec->isValid())
                dec.reset();
            it = m_decoders.emplace(cp, std::move(dec)).first;
        }
        if (it->second)
            return it->second->decode(bytes);
        // Unknown code pages read as the western one.
    }
    QString s = QString::fromLatin1(bytes);
    for (QChar &ch : s) {
        const char16_t u = ch.unicode();
        if (u >= 0x80 && u <= 0x9F)
            ch = QChar(kCp1252High[u - 0x80]);
    }
    return s;
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    const QByteArray bytes = m_bytes;
    m_bytes.clear();
    appendText(decode(bytes, currentCodepage()));
}

void Parser::ensureBlock()
{
    if (!m_pendingBreak)
        return;
    flushRun();
    if (m_paragraphs >= RtfLimits::MaxParagraphs) {
        fail(RtfErrorCode::TooLarge, QStringLiteral("Il documento RTF ha troppi paragrafi."));
        return;
    }
    m_cursor.insertBlock();
    ++m_paragraphs;
    m_pendingBreak = false;
    m_blockHasText = false;
}

void Parser::appendText(const QString &s)
{
    const CharProps &ch = top().ch;
    if (ch.hidden || ch.deleted || s.isEmpty())
        return;
    ensureBlock();
    if (ch != m_runProps) {
        flushRun();
        m_runProps = ch;
    }
    // The document model takes some characters as structure (block and
    // frame separators, CR/LF); they never stand for text in RTF.
    const qsizetype start = m_runText.size();
    m_runText.reserve(start + s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s.at(i).unicode();
        if ((u < 0x20 && u != u'\t') || u == 0x7F)
            continue;
        if (u == 0x2029) {
            m_runText.append(QChar(QChar::LineSeparator));
            continue;
        }
        if (u == 0xFDD0 || u == 0xFDD1 || u == 0xFEFF || u == 0xFFFE || u == 0xFFFF)
            continue;
        m_runText.append(QChar(u));
    }
    if (m_runText.size() > start)
        m_blockHasText = true;
}

void Parser::flushRun()
{
    if (m_runText.isEmpty())
        return;
    // A lone half of a surrogate pair cannot be shown; it becomes U+FFFD.
    for (qsizetype i = 0; i < m_runText.size(); ++i) {
        const QChar c = m_runText.at(i);
        if (c.isHighSurrogate() && i + 1 < m_runText.size() && m_runText.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            m_runText[i] = QChar(QChar::ReplacementCharacter);
    }
    if (++m_runs > RtfLimits::MaxRuns) {
        fail(RtfErrorCode::TooLarge, QStringLiteral("Il documento RTF ha troppi cambi di formato."));
        m_runText.clear();
        return;
    }
    m_cursor.insertText(m_runText, formatOf(m_runProps));
    m_runText.clear();
}

void Parser::paragraphEnd()
{
    flushBytes();
    // A deleted paragraph mark joins its paragraph to the next one.
    if (top().ch.deleted)
        return;
    ensureBlock();
    flushRun();
    setBlockFormat(top().para);
    m_pendingBreak = true;
}

QTextCharFormat Parser::formatOf(const CharProps &c)
{
    const auto cached = m_formats.constFind(c);
    if (cached != m_formats.constEnd())
        return *cached;
    QTextCharFormat f;
    const int num = c.font < 0 ? m_defaultFont : c.font;
    const auto font = m_fonts.constFind(num);
    if (font != m_fonts.constEnd() && !font->name.isEmpty())
        f.setFontFamilies(QStringList{font->name});
    f.setFontPointSize(c.size / 2.0);
    if (c.bold)
        f.setFontWeight(QFont::Bold);
    if (c.italic)
        f.setFontItalic(true);
    if (c.underline)
        f.setFontUnderline(true);
    if (c.strike)
        f.setFontStrikeOut(true);
    if (c.vpos > 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.vpos < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    // An index past the table or on its automatic entry paints nothing; a
    // highlight hides the shading under it.
    auto explicitColour = [this](int index) {
        return index >= 0 && index < int(m_colors.size()) && !m_colors[size_t(index)].automatic;
    };
    if (explicitColour(c.fg))
        f.setForeground(QColor(m_colors[size_t(c.fg)].rgb));
    if (explicitColour(c.hl))
        f.setBackground(QColor(m_colors[size_t(c.hl)].rgb));
    else if (explicitColour(c.bg))
        f.setBackground(QColor(m_colors[size_t(c.bg)].rgb));
    m_formats.insert(c, f);
    return f;
}

// A new block starts with its predecessor's format, which most often is
// already the right one.
void Parser::setBlockFormat(const ParaProps &p)
{
    const QTextBlockFormat f = blockFormatOf(p);
    if (m_cursor.blockFormat() != f)
        m_cursor.setBlockFormat(f);
}

QTextBlockFormat Parser::blockFormatOf(const ParaProps &p) const
{
    // Lengths in the document model are pixels at 96 dpi: 15 twips each.
    QTextBlockFormat f;
    f.setAlignment(p.align);
    if (p.li)
        f.setLeftMargin(p.li / 15.0);
    if (p.ri)
        f.setRightMargin(p.ri / 15.0);
    if (p.fi)
        f.setTextIndent(p.fi / 15.0);
    if (p.sb)
        f.setTopMargin(p.sb / 15.0);
    if (p.sa)
        f.setBottomMargin(p.sa / 15.0);
    return f;
}

// ---------------------------------------------------------------------------
// Tables

void Parser::fontEntryEnd()
{
    if (!m_fontOpen)
        return;
    m_fontOpen = false;
    if (m_fonts.size() >= RtfLimits::MaxTableEntries && !m_fonts.contains(m_fontNum))
        return;
    FontDef def;
    def.name = QString::fromLatin1(m_fontName).trimmed();
    if (def.name.endsWith(QLatin1Char(';')))
        def.name.chop(1);
    // The Symbol font draws its own glyphs whatever charset a writer gave it;
    // an unnamed symbol-charset font is taken for it. Other picture fonts
    // (Wingdings…) have no reading in letters: their bytes stay western.
    if (def.name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
        def.codepage = kSymbolCodepage;
    else if (m_fontCharset == 2)
        def.codepage = isPictureFont(def.name) ? 1252 : kSymbolCodepage;
    else if (m_fontCpg > 0)
        def.codepage = m_fontCpg;
    else if (m_fontCharset >= 0)
        def.codepage = codepageOfCharset(m_fontCharset);
    m_fonts.insert(m_fontNum, def);
    m_fontName.clear();
    m_formats.clear();
}

void Parser::colorEntryEnd()
{
    if (int(m_colors.size()) < RtfLimits::MaxTableEntries) {
        ColorDef c;
        c.automatic = !m_colorHasRgb;
        c.rgb = qRgb(m_colorR, m_colorG, m_colorB);
        m_colors.push_back(c);
        m_formats.clear();
    }
    m_colorHasRgb = false;
    m_colorR = m_colorG = m_colorB = 0;
}

void Parser::styleEntryEnd(const Group &g)
{
    if (g.styleKind != 1 && g.styleKind != 2)
        return;
    QHash<int, StyleDef> &styles = g.styleKind == 1 ? m_paraStyles : m_charStyles;
    if (styles.size() >= RtfLimits::MaxTableEntries && !styles.contains(g.styleNum))
        return;
    StyleDef def;
    def.mask = g.mask;
    def.ch = g.ch;
    def.align = g.para.align;
    def.basedOn = g.basedOn;
    styles.insert(g.styleNum, def);
}

void Parser::applyStyle(const QHash<int, StyleDef> &styles, int n, Group &g, int depth)
{
    // Based-on chains may loop (a style based on itself is common); a short
    // depth bound keeps that harmless.
    if (depth > 16)
        return;
    const auto it = styles.constFind(n);
    if (it == styles.constEnd())
        return;
    if (it->basedOn >= 0 && it->basedOn != n)
        applyStyle(styles, it->basedOn, g, depth + 1);
    const StyleDef &s = *it;
    if (s.mask & SFont) g.ch.font = s.ch.font;
    if (s.mask & SSize) g.ch.size = s.ch.size;
    if (s.mask & SFg) g.ch.fg = s.ch.fg;
    if (s.mask & SBg) g.ch.bg = s.ch.bg;
    if (s.mask & SHighlight) g.ch.hl = s.ch.hl;
    if (s.mask & SDeleted) g.ch.deleted = s.ch.deleted;
    if (s.mask & SBold) g.ch.bold = s.ch.bold;
    if (s.mask & SItalic) g.ch.italic = s.ch.italic;
    if (s.mask & SUnderline) g.ch.underline = s.ch.underline;
    if (s.mask & SStrike) g.ch.strike = s.ch.strike;
    if (s.mask & SHidden) g.ch.hidden = s.ch.hidden;
    if (s.mask & SVpos) g.ch.vpos = s.ch.vpos;
    if (s.mask & SAlign) g.para.align = s.align;
}

} // namespace

RtfResult readRtf(const QByteArray &data, QTextDocument *doc)
{
    if (!doc)
        return RtfResult{false, RtfErrorCode::InvalidFormat, QStringLiteral("Nessun documento in cui leggere.")};
    if (data.size() > RtfLimits::MaxFileSize) {
        doc->clear();
        return RtfResult{false, RtfErrorCode::TooLarge, QStringLiteral("Il documento RTF è troppo grande.")};
    }
    Parser parser(data, doc);
    return parser.run();
}

RtfResult readRtfFile(const QString &path, QTextDocument *doc)
{
    if (!doc)
        return RtfResult{false, RtfErrorCode::InvalidFormat, QStringLiteral("Nessun documento in cui leggere.")};
    const QString name = QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        doc->clear();
        return RtfResult{false, RtfErrorCode::FileNotFound,
                         QStringLiteral("Il file «%1» non è stato trovato.").arg(name)};
    }
    if (info.isDir()) {
        doc->clear();
        return RtfResult{false, RtfErrorCode::FileUnreadable,
                         QStringLiteral("«%1» è una cartella, non un file.").arg(name)};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        doc->clear();
        return RtfResult{false, RtfErrorCode::FileUnreadable,
                         QStringLiteral("Il file «%1» non si può leggere.").arg(name)};
    }
    if (file.size() > RtfLimits::MaxFileSize) {
        doc->clear();
        return RtfResult{false, RtfErrorCode::TooLarge,
                         QStringLiteral("Il file «%1» è troppo grande.").arg(name)};
    }
    const QByteArray data = file.read(RtfLimits::MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        doc->clear();
        return RtfResult{false, RtfErrorCode::FileUnreadable,
                         QStringLiteral("Il file «%1» non si può leggere.").arg(name)};
    }
    RtfResult r = readRtf(data, doc);
    if (!r.ok)
        r.error = QStringLiteral("Il file «%1» non si può mostrare. %2").arg(name, r.error);
    return r;
}

} // namespace morvello

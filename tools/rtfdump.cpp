// rtfdump: shows what the program's RTF reader makes of a file.
//
//   rtfdump FILE.rtf          the plain text, one line per paragraph
//   rtfdump --runs FILE.rtf   the character runs, one per line:
//                             start, length, colour (#rrggbb or auto),
//                             bold, italic, underline, text
//
// Positions count from 0 over the document, one position per paragraph end.
// In the run text TAB, line breaks, NBSP and backslashes are escaped.
// Exit code 0 on success, 1 when the file cannot be read, 2 on bad usage.

#include "text/rtfreader.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>

using namespace morvello;

namespace {

QString escaped(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        switch (c.unicode()) {
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        case 0x2028: out += QLatin1String("\\n"); break;
        case 0x00A0: out += QLatin1String("\\u00a0"); break;
        default: out += c;
        }
    }
    return out;
}

struct RunKey {
    QString colour;
    bool bold = false, italic = false, underline = false;
    bool operator==(const RunKey &o) const
    {
        return colour == o.colour && bold == o.bold && italic == o.italic && underline == o.underline;
    }
};

RunKey keyOf(const QTextCharFormat &f)
{
    RunKey k;
    k.colour = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name()
                                                            : QStringLiteral("auto");
    k.bold = f.fontWeight() > QFont::Normal;
    k.italic = f.fontItalic();
    k.underline = f.fontUnderline();
    return k;
}

void writeUtf8(const QString &s)
{
    const QByteArray b = s.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

void dumpRuns(const QTextDocument &doc)
{
    QString out;
    auto emitRun = [&out](int start, const QString &text, const RunKey &k) {
        out += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                   .arg(start)
                   .arg(text.size())
                   .arg(k.colour)
                   .arg(int(k.bold))
                   .arg(int(k.italic))
                   .arg(int(k.underline))
                   .arg(escaped(text));
    };
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        int start = -1;
        QString text;
        RunKey key;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const RunKey k = keyOf(f.charFormat());
            if (start >= 0 && k == key) {
                text += f.text();
                continue;
            }
            if (start >= 0)
                emitRun(start, text, key);
            start = f.position();
            text = f.text();
            key = k;
        }
        if (start >= 0)
            emitRun(start, text, key);
    }
    writeUtf8(out);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool runs = false;
    if (!args.isEmpty() && args.first() == QLatin1String("--runs")) {
        runs = true;
        args.removeFirst();
    }
    if (args.size() != 1) {
        std::fputs("Uso: rtfdump [--runs] FILE.rtf\n", stderr);
        return 2;
    }

    QTextDocument doc;
    const RtfResult r = readRtfFile(args.first(), &doc);
    if (!r.ok) {
        std::fprintf(stderr, "rtfdump: %s (errore %d)\n", r.error.toUtf8().constData(), r.number);
        return 1;
    }

    if (runs) {
        dumpRuns(doc);
    } else {
        QString text = doc.toRawText();
        text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
        text.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
        writeUtf8(text + QLatin1Char('\n'));
    }
    std::fflush(stdout);
    return 0;
}

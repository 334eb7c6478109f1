#include "poesiachecks.h"

#include "poesiacatalogue.h"

#include "text/contentcheck.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

namespace morvello {

namespace {

QRgb highlightOf(const QTextCharFormat &f)
{
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        return f.background().color().rgb() | 0xff000000u;
    return 0;
}

QString boxName(int box, const poesia::Poem &poem)
{
    return QStringLiteral("del riquadro %1 (%2)").arg(box + 1).arg(poem.solutions.value(box));
}

bool onlyPunctuation(const QString &s)
{
    for (const QChar c : s)
        if (!c.isSpace() && !c.isPunct())
            return false;
    return true;
}

} // namespace

QList<MarkedPassage> markedPassages(const QTextDocument &doc)
{
    // Highlight and line of every position, paragraph ends included (they
    // carry the highlight only when the lines on both sides share it).
    QList<QRgb> at;
    QList<int> lineOf;
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b != doc.begin()) {
            at.append(0);
            lineOf.append(-1);
        }
        const int line = int(lines.size());
        lines.append(b.text());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QRgb h = highlightOf(frag.charFormat());
            for (int i = 0; i < frag.length(); ++i) {
                at.append(h);
                lineOf.append(line);
            }
        }
    }
    for (int pos = 1; pos + 1 < at.size(); ++pos)
        if (lineOf.at(pos) < 0 && at.at(pos - 1) != 0 && at.at(pos - 1) == at.at(pos + 1))
            at[pos] = at.at(pos - 1);

    const QString text = checks::plainText(doc);
    // Start of each line in the plain text, to tell whole lines.
    QList<int> lineStart;
    int p = 0;
    for (const QString &l : lines) {
        lineStart.append(p);
        p += int(l.size()) + 1;
    }

    QList<MarkedPassage> out;
    for (int pos = 0; pos < at.size();) {
        const QRgb h = at.at(pos);
        if (h == 0) {
            ++pos;
            continue;
        }
        int end = pos;
        while (end < at.size() && at.at(end) == h)
            ++end;
        MarkedPassage m;
        m.colour = h;
        m.box = poesia::boxOfColour(h);
        m.start = pos;
        m.length = end - pos;
        m.text = text.mid(pos, end - pos);
        const int firstLine = lineOf.value(pos, -1);
        const int lastLine = lineOf.value(end - 1, -1);
        if (lastLine >= 0) {
            const int lineEnd = lineStart.at(lastLine) + int(lines.at(lastLine).size());
            m.endsLine = onlyPunctuation(text.mid(end, lineEnd - end));
        }
        m.wholeLine = firstLine >= 0 && firstLine == lastLine && pos == lineStart.at(firstLine)
            && m.length == lines.at(firstLine).size();
        out.append(m);
        pos = end;
    }
    return out;
}

void checkPoem(CheckReport &r, const poesia::Poem &poem)
{
    QTextDocument doc;
    if (!checks::readRtf(r, poem.file, &doc))
        return;
    if (checks::plainText(doc).trimmed().isEmpty()) {
        r.add(poem.file, QStringLiteral("la poesia è vuota"));
        return;
    }

    const QList<MarkedPassage> passages = markedPassages(doc);
    QList<QList<MarkedPassage>> byBox(poesia::BoxCount);
    for (const MarkedPassage &m : passages) {
        if (m.box < 0) {
            r.add(poem.file,
                  QStringLiteral("un passo è evidenziato nel colore %1, che non è di nessun riquadro")
                      .arg(checks::colourText(m.colour)),
                  m.start);
        } else if (m.box >= poem.numDomande()) {
            r.add(poem.file,
                  QStringLiteral("un passo è evidenziato nel colore %1 del riquadro %2, ma questa poesia usa "
                                 "solo %3 riquadri")
                      .arg(checks::colourText(m.colour))
                      .arg(m.box + 1)
                      .arg(poem.numDomande()),
                  m.start);
        } else {
            byBox[m.box].append(m);
        }
    }

    // The boxes stand in a column from the top: their passages begin in the
    // same order in the poem, so the pupil reads them one after another.
    int lastStart = -1;
    for (int box = 0; box < poem.numDomande(); ++box) {
        if (byBox.at(box).isEmpty())
            continue;
        const int start = byBox.at(box).first().start;
        if (start < lastStart) {
            r.add(poem.file,
                  QStringLiteral("il passo %1 comincia prima di quello del riquadro precedente: i passi vanno "
                                 "nell'ordine dei riquadri")
                      .arg(boxName(box, poem)),
                  start);
            break;
        }
        lastStart = start;
    }

    static const QRegularExpression come(QStringLiteral("\\bcome\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    for (int box = 0; box < poem.numDomande(); ++box) {
        const QList<MarkedPassage> &marks = byBox.at(box);
        const QString device = poem.solutions.at(box);
        if (marks.isEmpty()) {
            r.add(poem.file, QStringLiteral("manca il passo %1: nessun testo è evidenziato nel colore %2")
                                 .arg(boxName(box, poem), checks::colourText(poesia::boxColour(box).rgb())));
            continue;
        }
        if (device == QLatin1String("Verso") && (marks.size() != 1 || !marks.first().wholeLine)) {
            r.add(poem.file, QStringLiteral("il passo %1 deve essere un verso intero, e uno solo").arg(boxName(box, poem)),
                  marks.first().start);
        } else if (device == QLatin1String("Rima")) {
            int endings = 0;
            for (const MarkedPassage &m : marks)
                endings += m.endsLine ? 1 : 0;
            if (endings < 2)
                r.add(poem.file,
                      QStringLiteral("il passo %1 deve segnare almeno due parole in fine di verso").arg(boxName(box, poem)),
                      marks.first().start);
        } else if (device == QLatin1String("Similitudine")) {
            bool found = false;
            for (const MarkedPassage &m : marks)
                found = found || m.text.contains(come);
            if (!found)
                r.add(poem.file, QStringLiteral("il passo %1 non contiene «come»").arg(boxName(box, poem)),
                      marks.first().start);
        }
    }
}

void addPoemChecks(ContentCheckRegistry &registry)
{
    registry.add(QStringLiteral("Poesie"), [](CheckReport &r) {
        for (const poesia::Poem &p : poesia::poems())
            checkPoem(r, p);
    });
}

} // namespace morvello

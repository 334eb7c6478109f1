// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogues.h"
#include "contentsource.h"

#include <QDir>
#include <QFile>
#include <QMap>

#include <algorithm>

namespace morvello::content {

namespace {

// The text inside a C++ string literal, as it stands (the compiler reads
// UTF-8).
QString plain(const QString &text)
{
    QString out;
    for (QChar ch : text) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('"'))
            out += QLatin1Char('\\');
        if (ch == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else
            out += ch;
    }
    return out;
}

QString lit(const QString &text)
{
    return QStringLiteral("QStringLiteral(\"") + plain(text) + QStringLiteral("\")");
}

QString list(const QStringList &items)
{
    QStringList l;
    for (const QString &s : items)
        l.append(lit(s));
    return QLatin1Char('{') + l.join(QStringLiteral(", ")) + QLatin1Char('}');
}

QString numbers(const QList<int> &items)
{
    QStringList l;
    for (int n : items)
        l.append(QString::number(n));
    return QLatin1Char('{') + l.join(QStringLiteral(", ")) + QLatin1Char('}');
}

const char *const Banner = "// SPDX-License-Identifier: GPL-3.0-or-later\n"
                           "// Written by morvello-content from the catalogues of content/ at every build:\n"
                           "// edit those (content/FORMAT.md), never this file.\n";

QString passageFunction(const char *name, const PassageCatalogue &c)
{
    QString s = QStringLiteral("Catalogue %1()\n{\n    Catalogue c;\n    c.types = %2;\n").arg(QLatin1String(name), list(c.types));
    for (const Passage &p : c.passages) {
        s += QStringLiteral("    c.texts.append({%1, %2, {\n")
                 .arg(lit(p.choice), p.source ? lit(*p.source) : QStringLiteral("std::nullopt"));
        for (const PassageSequence &q : p.sequences)
            s += QStringLiteral("        {%1, %2, %3},\n").arg(lit(q.text), QString::number(q.divisor), lit(q.type));
        s += QStringLiteral("    }});\n");
    }
    return s + QStringLiteral("    return c;\n}\n\n");
}

QString sequencesCpp(const Catalogues &c)
{
    return QLatin1String(Banner) + QStringLiteral("#include \"sequences/catalogue.h\"\n\nnamespace morvello {\n\nnamespace {\n\n")
        + passageFunction("expository", c.expository) + passageFunction("narrative", c.narrative)
        + QStringLiteral("} // namespace\n\n"
                         "const Catalogue &expositoryCatalogue()\n{\n    static const Catalogue catalogue = expository();\n"
                         "    return catalogue;\n}\n\n"
                         "const Catalogue &narrativeCatalogue()\n{\n    static const Catalogue catalogue = narrative();\n"
                         "    return catalogue;\n}\n\n} // namespace morvello\n");
}

QString dataName(const QString &name)
{
    return QStringLiteral("permorvello\\") + name + QStringLiteral(".rtf");
}

QString narrativeCpp(const Catalogues &c)
{
    QString s = QLatin1String(Banner)
        + QStringLiteral("#include \"narrative/genetteconcepts.h\"\n#include \"narrative/storycatalogue.h\"\n\n"
                         "namespace morvello {\n\nconst QList<StoryEntry> &storyCatalogue()\n{\n"
                         "    static const QList<StoryEntry> catalogue{\n");
    for (const Story &t : c.stories)
        s += QStringLiteral("        {%1, %2, %3, %4, %5, %6},\n")
                 .arg(lit(t.title), QString::number(t.sequences), lit(dataName(t.file)),
                      lit(dataName(t.file + QStringLiteral("col"))), lit(dataName(t.help)), lit(t.source));
    s += QStringLiteral("    };\n    return catalogue;\n}\n\nconst QVector<GenetteConcept> &genetteConcepts()\n{\n"
                        "    static const QVector<GenetteConcept> concepts{\n");
    for (const Concept &k : c.concepts)
        s += QStringLiteral("        {%1, %2, %3, %4, %5,\n         %6,\n         %7,\n         %8},\n")
                 .arg(lit(QStringLiteral("Cmd") + k.name), lit(k.name), lit(k.name), lit(k.caption), lit(k.prefix),
                      lit(k.problem), list(k.options), numbers(k.key));
    return s + QStringLiteral("    };\n    return concepts;\n}\n\n} // namespace morvello\n");
}

QString poetryCpp(const Catalogues &c)
{
    QString s = QLatin1String(Banner)
        + QStringLiteral("#include \"poetry/figurerows.h\"\n#include \"poetry/metaforequiz.h\"\n"
                         "#include \"poetry/poesiacatalogue.h\"\n\nnamespace morvello {\n\nnamespace poesia {\n\n"
                         "const QVector<Poem> &poems()\n{\n    static const QVector<Poem> all = [] {\n"
                         "        QVector<Poem> v;\n");
    for (int i = 0; i < c.poems.size(); ++i) {
        const PoemEntry &p = c.poems.at(i);
        s += QStringLiteral("        v.append(Poem{%1, %2, %3, %4,\n                      %5,\n")
                 .arg(QString::number(i + 1), lit(dataName(p.file)), lit(p.title), lit(p.source), list(p.boxes));
        s += QStringLiteral("                      %1, %2, %3, %4, %5,\n                      {%6}});\n")
                 .arg(QString::number(p.lessico), QString::number(p.versi), QString::number(p.rime),
                      QString::number(p.musicalita), QString::number(p.meaning), list(p.sentences).mid(1).chopped(1));
    }
    s += QStringLiteral("        return v;\n    }();\n    return all;\n}\n\n} // namespace poesia\n\n");

    QStringList captions, definitions(c.figures.size());
    for (const Figure &f : c.figures) {
        captions.append(f.name);
        if (f.definition >= 0 && f.definition < definitions.size())
            definitions[f.definition] = f.definitionText;
    }
    s += QStringLiteral("const QStringList &figureCaptions()\n{\n    static const QStringList captions = %1;\n"
                        "    return captions;\n}\n\n"
                        "const QStringList &definitionTexts()\n{\n    static const QStringList texts = %2;\n"
                        "    return texts;\n}\n\n"
                        "const std::array<FigureRow, FigureCount> &figureRows()\n{\n"
                        "    static const std::array<FigureRow, FigureCount> rows = {{\n")
             .arg(list(captions), list(definitions));
    for (const Figure &f : c.figures)
        s += QStringLiteral("        {\"%1\", \"%2\", %3, {%4, %5, %6}},\n")
                 .arg(plain(f.name), plain(f.prefix), QString::number(f.definition), QString::number(f.draws[0]),
                      QString::number(f.draws[1]), QString::number(f.draws[2]));
    return s + QStringLiteral("    }};\n    return rows;\n}\n\n} // namespace morvello\n");
}

// --- the reviewers' notes -------------------------------------------------

QString notes(const Card &card)
{
    QString s;
    for (const QString &n : card.values(QStringLiteral("nota")))
        s += n + QLatin1Char('\n');
    return s;
}

QString heading(const Card &head, const QString &fallback)
{
    const QString t = head.value(QStringLiteral("titolo"));
    QString s = QStringLiteral("# ") + (t.isEmpty() ? fallback : t) + QStringLiteral("\n\n");
    s += QStringLiteral("<!-- Scritto da morvello-content dalle schede *.dati di questa cartella: "
                        "si cambia la scheda, non questo file. -->\n\n");
    const QString n = notes(head);
    return n.isEmpty() ? s : s + n + QLatin1Char('\n');
}

// A passage source's text as the program reads it, or empty with an error.
bool readSource(const QString &contentDir, const QString &rel, Source *out)
{
    QFile f(QDir(contentDir).filePath(rel));
    QString error;
    return f.open(QIODevice::ReadOnly) && parseSource(f.readAll(), out, &error);
}

QString paragraphText(const Paragraph &p)
{
    QString t;
    for (const Run &r : p.runs)
        t += r.text;
    return t;
}

int characters(const Source &s, bool withBreaks)
{
    int n = 0;
    for (const Paragraph &p : s.paragraphs)
        n += int(paragraphText(p).size());
    return n + (withBreaks ? int(s.paragraphs.size()) - 1 : 0);
}

QString cell(QString text)
{
    return text.replace(QLatin1Char('|'), QStringLiteral("\\|"));
}

QString passagesKeys(const PassageCatalogue &cat)
{
    QString s = heading(cat.head, QStringLiteral("Sequenze"));
    for (int i = 0; i < cat.passages.size(); ++i) {
        const Passage &p = cat.passages.at(i);
        s += QStringLiteral("## %1. %2\n\nFonte: %3\n\n| n. | tipo | divisore | sequenza |\n| --- | --- | --- | --- |\n")
                 .arg(i + 1)
                 .arg(p.choice, p.source ? *p.source : QStringLiteral("(nessuna)"));
        for (int k = 0; k < p.sequences.size(); ++k) {
            const PassageSequence &q = p.sequences.at(k);
            s += QStringLiteral("| %1 | %2 | %3 | %4 |\n").arg(k + 1).arg(q.type).arg(q.divisor).arg(cell(q.text));
        }
        s += QLatin1Char('\n');
    }
    return s;
}

QString storiesKeys(const Catalogues &c, const QString &contentDir)
{
    QString s = heading(c.storiesHead, QStringLiteral("Storie"));
    for (const Story &t : c.stories) {
        Source src;
        const bool read = readSource(contentDir, QStringLiteral("storie/%1.txt").arg(t.file), &src);
        // Each sequence's text (paragraphs joined by spaces), and whether it
        // starts inside a paragraph.
        QStringList texts;
        QList<bool> inside;
        for (const Paragraph &p : src.paragraphs) {
            bool atStart = true;
            for (const Run &r : p.runs) {
                if (r.text.isEmpty())
                    continue;
                if (r.style.sequence >= texts.size()) {
                    texts.append(QString());
                    inside.append(!atStart);
                }
                texts.last() += r.text;
                atStart = false;
            }
            if (!texts.isEmpty())
                texts.last() += QLatin1Char(' ');
        }
        const int breaksInside = int(inside.count(true));
        s += QStringLiteral("## %1\n\n").arg(t.title);
        s += QStringLiteral("- Storia: `%1.txt` → `permorvello/%1.rtf` e `permorvello/%1col.rtf`\n").arg(t.file);
        s += QStringLiteral("- Aiuto: `%1.txt` → `permorvello/%1.rtf`\n").arg(t.help);
        if (read) {
            s += QStringLiteral("- Sequenze: %1; paragrafi: %2; confini dentro un paragrafo: %3\n")
                     .arg(t.sequences)
                     .arg(src.paragraphs.size())
                     .arg(breaksInside);
            s += QStringLiteral("- Caratteri: %1 (%2 senza a capo)\n").arg(characters(src, true)).arg(characters(src, false));
        }
        s += QStringLiteral("- Fonte: %1\n").arg(t.source);
        const QString n = notes(t.card);
        s += n.isEmpty() ? QStringLiteral("\n") : QLatin1Char('\n') + n + QLatin1Char('\n');
        const QStringList about = t.card.values(QStringLiteral("sequenza"));
        for (int k = 0; k < about.size(); ++k) {
            QString start;
            if (k < texts.size()) {
                // The first six words, as a reviewer finds the place.
                QString words =
                    QStringList(texts.at(k).split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(0, 6)).join(QLatin1Char(' '));
                if (words.endsWith(QLatin1Char('.')))
                    words.chop(1);
                start = QStringLiteral("«%1...»%2 — ").arg(words, inside.at(k) ? QStringLiteral(" (dentro)") : QString());
            }
            s += QStringLiteral("%1. %2%3\n").arg(k + 1).arg(start, about.at(k));
        }
        s += QLatin1Char('\n');
    }
    return s;
}

QString conceptsKeys(const Catalogues &c, const QString &contentDir)
{
    QString s = heading(c.conceptsHead, QStringLiteral("Concetti narrativi"));
    for (const Concept &k : c.concepts) {
        s += QStringLiteral("## %1\n\n").arg(k.name);
        const QString n = notes(k.card);
        if (!n.isEmpty())
            s += n + QLatin1Char('\n');
        s += QStringLiteral("| file | es. | opzione | didascalia | perché questa | caratteri |\n"
                            "| --- | --- | --- | --- | --- | --- |\n");
        for (int i = 0; i < k.exercises.size(); ++i) {
            const int answer = k.key.at(i);
            const QString name = QStringLiteral("%1%2.txt").arg(k.prefix).arg(i + 1);
            Source src;
            const QString chars = readSource(contentDir, QStringLiteral("genette/") + name, &src)
                ? QString::number(characters(src, true))
                : QStringLiteral("?");
            s += QStringLiteral("| `%1` | %2 | %3 | `%4` | %5 | %6 |\n")
                     .arg(name)
                     .arg(i + 1)
                     .arg(answer)
                     .arg(answer >= 0 && answer < k.options.size() ? k.options.at(answer) : QString(),
                          cell(k.exercises.at(i).values(QStringLiteral("nota")).join(QLatin1Char(' '))), chars);
        }
        s += QLatin1Char('\n');
    }
    return s;
}

QString poemsKeys(const Catalogues &c)
{
    QString s = heading(c.poemsHead, QStringLiteral("Poesie"));
    for (int i = 0; i < c.poems.size(); ++i) {
        const PoemEntry &p = c.poems.at(i);
        s += QStringLiteral("## %1 — %2.txt — %3\n").arg(i + 1).arg(p.file, p.title);
        s += QStringLiteral("- Voce nella lista: \"Testo proprio - %1\"; fonte: \"%2\"; NumDomande %3.\n")
                 .arg(p.title, p.source)
                 .arg(p.boxes.size());
        int box = 0, sentence = 0;
        static const QMap<QString, QString> answers{{QStringLiteral("lessico"), QStringLiteral("Lessico")},
                                                    {QStringLiteral("versi"), QStringLiteral("Versi")},
                                                    {QStringLiteral("rime"), QStringLiteral("Rime")},
                                                    {QStringLiteral("musicalità"), QStringLiteral("Musicalità")}};
        for (const Field &f : p.card.fields) {
            if (f.key == QLatin1String("box"))
                s += QStringLiteral("- Box %1 %2\n").arg(box++).arg(f.value);
            else if (answers.contains(f.key))
                s += QStringLiteral("- %1 %2\n").arg(answers.value(f.key), f.value);
            else if (f.key == QLatin1String("nota"))
                s += QStringLiteral("- %1\n").arg(f.value);
            else if (f.key == QLatin1String("giusta"))
                s += QStringLiteral("- Significato (giusta %1):\n").arg(p.meaning);
            else if (f.key == QLatin1String("significato")) {
                s += QStringLiteral("  %1. %2%3\n")
                         .arg(sentence)
                         .arg(f.value, sentence == p.meaning ? QStringLiteral(" **(giusta)**") : QString());
                ++sentence;
            }
        }
        s += QLatin1Char('\n');
    }
    return s;
}

QString figuresKeys(const Catalogues &c)
{
    QString s = heading(c.figuresHead, QStringLiteral("Figure retoriche"));
    s += QStringLiteral("## Le dieci figure (didascalie dei pulsanti, per indice)\n\n| indice | didascalia |\n|---|---|\n");
    for (int i = 0; i < c.figures.size(); ++i)
        s += QStringLiteral("| %1 | %2 |\n").arg(i).arg(c.figures.at(i).name);
    QList<const Figure *> byDefinition(c.figures.size(), nullptr);
    for (const Figure &f : c.figures) {
        if (f.definition >= 0 && f.definition < byDefinition.size())
            byDefinition[f.definition] = &f;
    }
    s += QStringLiteral("\n## Le dieci definizioni (per indice)\n\n");
    QStringList whose;
    for (int d = 0; d < byDefinition.size(); ++d) {
        if (!byDefinition.at(d))
            continue;
        s += QStringLiteral("%1: %2\n").arg(d).arg(byDefinition.at(d)->definitionText);
        whose.append(QStringLiteral("%1 %2").arg(d).arg(byDefinition.at(d)->name));
    }
    s += QStringLiteral("\nFigura di ciascuna definizione: %1.\n").arg(whose.join(QStringLiteral(", ")));
    s += QStringLiteral("\n## Tabella delle estrazioni\n\n| numero | file | figura | definizione |\n|---|---|---|---|\n");
    QMap<int, QString> draws;
    for (const Figure &f : c.figures) {
        for (int k = 0; k < 3; ++k)
            draws.insert(f.draws[size_t(k)], QStringLiteral("| %1 | %2%3 | %4 | %5 |\n")
                                                 .arg(f.draws[size_t(k)])
                                                 .arg(f.prefix)
                                                 .arg(k + 1)
                                                 .arg(f.name)
                                                 .arg(f.definition));
    }
    for (const QString &row : draws)
        s += row;
    s += QStringLiteral("\n## Gli esempi, uno per uno\n");
    for (const Figure &f : c.figures) {
        s += QStringLiteral("\n### %1 (definizione %2)\n").arg(f.name).arg(f.definition);
        const QString n = notes(f.card);
        if (!n.isEmpty())
            s += n;
        const QStringList examples = f.card.values(QStringLiteral("esempio"));
        for (int k = 0; k < examples.size() && k < 3; ++k)
            s += QStringLiteral("- **%1, %2%3**: %4\n").arg(f.draws[size_t(k)]).arg(f.prefix).arg(k + 1).arg(examples.at(k));
    }
    return s;
}

} // namespace

QByteArray cppTables(const Catalogues &c, CatalogueSet library)
{
    switch (library) {
    case CatalogueSet::Sequences:
        return sequencesCpp(c).toUtf8();
    case CatalogueSet::Narrative:
        return narrativeCpp(c).toUtf8();
    case CatalogueSet::Poetry:
        return poetryCpp(c).toUtf8();
    case CatalogueSet::All:
        break;
    }
    return QByteArray();
}

QList<QPair<QString, QByteArray>> keyFiles(const Catalogues &c, const QString &contentDir)
{
    QList<QPair<QString, QByteArray>> files{
        {QStringLiteral("figure/KEYS.md"), figuresKeys(c).toUtf8()},
        {QStringLiteral("genette/KEYS.md"), conceptsKeys(c, contentDir).toUtf8()},
        {QStringLiteral("poesie/KEYS.md"), poemsKeys(c).toUtf8()},
        {QStringLiteral("sequenze/KEYS-espositivo.md"), passagesKeys(c.expository).toUtf8()},
        {QStringLiteral("sequenze/KEYS-narrativo.md"), passagesKeys(c.narrative).toUtf8()},
        {QStringLiteral("storie/KEYS.md"), storiesKeys(c, contentDir).toUtf8()},
    };
    for (auto &f : files) {
        while (f.second.endsWith('\n'))
            f.second.chop(1);
        f.second.append('\n');
    }
    return files;
}

} // namespace morvello::content

// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogues.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringDecoder>

namespace morvello::content {

QString Card::value(const QString &key) const
{
    for (const Field &f : fields) {
        if (f.key == key)
            return f.value;
    }
    return QString();
}

QStringList Card::values(const QString &key) const
{
    QStringList all;
    for (const Field &f : fields) {
        if (f.key == key)
            all.append(f.value);
    }
    return all;
}

bool parseCards(const QByteArray &utf8, QList<Card> *out, QString *error)
{
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(utf8);
    if (decode.hasError()) {
        *error = QStringLiteral("il file non è in UTF-8");
        return false;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    out->clear();
    out->append(Card());
    int lineNo = 0;
    for (QString line : text.split(QLatin1Char('\n'))) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("%%")))
            continue;
        for (QChar ch : line) {
            if (ch.unicode() < 0x20 && ch != QLatin1Char('\t')) {
                *error = QStringLiteral("riga %1: carattere di controllo %2").arg(lineNo).arg(ch.unicode());
                return false;
            }
        }
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            out->append(Card{trimmed.mid(1, trimmed.size() - 2).trimmed(), lineNo, {}});
            continue;
        }
        const int colon = int(line.indexOf(QLatin1Char(':')));
        if (colon <= 0 || line.at(0).isSpace()) {
            *error = QStringLiteral("riga %1: scrivi «chiave: valore», un [titolo] o un commento %%").arg(lineNo);
            return false;
        }
        out->last().fields.append(Field{line.left(colon).trimmed(), line.mid(colon + 1).trimmed(), lineNo});
    }
    return true;
}

namespace {

// Reads one catalogue file's cards and gathers its errors, each naming the
// file and the line.
class Reader
{
public:
    Reader(const QString &contentDir, const QString &rel, QStringList *errors) : m_rel(rel), m_errors(errors)
    {
        QFile f(QDir(contentDir).filePath(rel));
        if (!f.open(QIODevice::ReadOnly)) {
            m_errors->append(QStringLiteral("%1: il file non si legge").arg(rel));
            return;
        }
        QString error;
        if (!parseCards(f.readAll(), &m_cards, &error)) {
            m_errors->append(QStringLiteral("%1, %2").arg(rel, error));
            m_cards.clear();
        }
    }

    bool ok() const { return !m_cards.isEmpty() && m_failed == 0; }
    const Card &head() const { return m_cards.first(); }
    QList<Card> cards() const { return m_cards.mid(1); }

    void fail(int line, const QString &message)
    {
        ++m_failed;
        m_errors->append(QStringLiteral("%1, riga %2: %3").arg(m_rel).arg(line).arg(message));
    }

    // Every key of the card is one the kind knows; single keys once,
    // required keys present.
    bool keys(const Card &card, const QStringList &single, const QStringList &required,
              const QStringList &repeated = {})
    {
        const int before = m_failed;
        QSet<QString> seen;
        for (const Field &f : card.fields) {
            if (repeated.contains(f.key)) {
                seen.insert(f.key);
                continue;
            }
            if (!single.contains(f.key) && !required.contains(f.key)) {
                fail(f.line, QStringLiteral("chiave sconosciuta «%1»").arg(f.key));
                continue;
            }
            if (seen.contains(f.key))
                fail(f.line, QStringLiteral("«%1» c'è già").arg(f.key));
            seen.insert(f.key);
        }
        for (const QString &k : required) {
            if (!seen.contains(k) || card.value(k).isEmpty())
                fail(card.line, QStringLiteral("manca «%1»").arg(k));
        }
        return m_failed == before;
    }

    // The whole number of key, from low to high; low - 1 when it is not one.
    int number(const Card &card, const QString &key, int low, int high)
    {
        for (const Field &f : card.fields) {
            if (f.key != key)
                continue;
            bool ok = false;
            const int n = f.value.section(QLatin1Char(':'), 0, 0).trimmed().toInt(&ok);
            if (ok && n >= low && n <= high)
                return n;
            fail(f.line, QStringLiteral("«%1» vuole un numero da %2 a %3").arg(key).arg(low).arg(high));
            return low - 1;
        }
        return low - 1;
    }

    int lineOf(const Card &card, const QString &key) const
    {
        for (const Field &f : card.fields) {
            if (f.key == key)
                return f.line;
        }
        return card.line;
    }

private:
    QString m_rel;
    QStringList *m_errors;
    QList<Card> m_cards;
    int m_failed = 0;
};

const QString Nota = QStringLiteral("nota");

PassageCatalogue readPassages(const QString &dir, const QString &rel, QStringList *errors)
{
    PassageCatalogue c;
    Reader r(dir, rel, errors);
    if (!r.ok())
        return c;
    c.head = r.head();
    r.keys(c.head, {QStringLiteral("titolo")}, {QStringLiteral("tipo")}, {QStringLiteral("tipo"), Nota});
    c.types = c.head.values(QStringLiteral("tipo"));
    for (const Card &card : r.cards()) {
        if (card.kind == QLatin1String("testo")) {
            r.keys(card, {QStringLiteral("fonte")}, {QStringLiteral("scelta")}, {Nota});
            Passage p{card.value(QStringLiteral("scelta")), std::nullopt, {}};
            if (!card.values(QStringLiteral("fonte")).isEmpty())
                p.source = card.value(QStringLiteral("fonte"));
            c.passages.append(p);
        } else if (card.kind == QLatin1String("sequenza")) {
            if (c.passages.isEmpty()) {
                r.fail(card.line, QStringLiteral("una [sequenza] viene dopo il suo [testo]"));
                continue;
            }
            r.keys(card, {}, {QStringLiteral("tipo"), QStringLiteral("divisore"), QStringLiteral("testo")}, {Nota});
            PassageSequence s{card.value(QStringLiteral("tipo")), r.number(card, QStringLiteral("divisore"), 20, 200),
                              card.value(QStringLiteral("testo"))};
            if (!s.type.isEmpty() && !c.types.contains(s.type))
                r.fail(r.lineOf(card, QStringLiteral("tipo")),
                       QStringLiteral("il tipo «%1» non è tra i tipi del catalogo").arg(s.type));
            c.passages.last().sequences.append(s);
        } else {
            r.fail(card.line, QStringLiteral("[%1] non è un titolo di questo catalogo: [testo] o [sequenza]").arg(card.kind));
        }
    }
    for (int i = 0; i < c.passages.size(); ++i) {
        const int n = int(c.passages.at(i).sequences.size());
        if (n < 4 || n > 6)
            errors->append(QStringLiteral("%1: il testo %2 ha %3 sequenze, ne servono da 4 a 6").arg(rel).arg(i + 1).arg(n));
    }
    return c;
}

void readStories(const QString &dir, Catalogues *c)
{
    Reader r(dir, QStringLiteral("storie/catalogo.dati"), &c->errors);
    if (!r.ok())
        return;
    c->storiesHead = r.head();
    r.keys(c->storiesHead, {QStringLiteral("titolo")}, {}, {Nota});
    for (const Card &card : r.cards()) {
        if (card.kind != QLatin1String("storia")) {
            r.fail(card.line, QStringLiteral("[%1] non è un titolo di questo catalogo: [storia]").arg(card.kind));
            continue;
        }
        r.keys(card, {},
               {QStringLiteral("titolo"), QStringLiteral("file"), QStringLiteral("aiuto"), QStringLiteral("sequenze"),
                QStringLiteral("fonte")},
               {QStringLiteral("sequenza"), Nota});
        Story s{card,
                card.value(QStringLiteral("titolo")),
                card.value(QStringLiteral("file")),
                card.value(QStringLiteral("aiuto")),
                card.value(QStringLiteral("fonte")),
                r.number(card, QStringLiteral("sequenze"), 2, 5)};
        const int notes = int(card.values(QStringLiteral("sequenza")).size());
        if (s.sequences > 0 && notes != s.sequences)
            r.fail(card.line, QStringLiteral("%1 righe «sequenza» per %2 sequenze").arg(notes).arg(s.sequences));
        c->stories.append(s);
    }
}

void readConcepts(const QString &dir, Catalogues *c)
{
    Reader r(dir, QStringLiteral("genette/catalogo.dati"), &c->errors);
    if (!r.ok())
        return;
    c->conceptsHead = r.head();
    r.keys(c->conceptsHead, {QStringLiteral("titolo")}, {}, {Nota});
    for (const Card &card : r.cards()) {
        if (card.kind == QLatin1String("concetto")) {
            r.keys(card, {},
                   {QStringLiteral("nome"), QStringLiteral("titolo"), QStringLiteral("file"), QStringLiteral("problema"),
                    QStringLiteral("opzione")},
                   {QStringLiteral("opzione"), Nota});
            Concept k;
            k.card = card;
            k.name = card.value(QStringLiteral("nome"));
            k.caption = card.value(QStringLiteral("titolo"));
            k.prefix = card.value(QStringLiteral("file"));
            k.problem = card.value(QStringLiteral("problema"));
            k.options = card.values(QStringLiteral("opzione"));
            if (k.options.size() < 2 || k.options.size() > 4)
                r.fail(card.line, QStringLiteral("un concetto ha da 2 a 4 opzioni, non %1").arg(k.options.size()));
            c->concepts.append(k);
        } else if (card.kind == QLatin1String("esercizio")) {
            if (c->concepts.isEmpty()) {
                r.fail(card.line, QStringLiteral("un [esercizio] viene dopo il suo [concetto]"));
                continue;
            }
            Concept &k = c->concepts.last();
            r.keys(card, {}, {QStringLiteral("risposta")}, {Nota});
            k.key.append(r.number(card, QStringLiteral("risposta"), 0, int(qMax(k.options.size(), qsizetype(1))) - 1));
            k.exercises.append(card);
        } else {
            r.fail(card.line, QStringLiteral("[%1] non è un titolo di questo catalogo: [concetto] o [esercizio]").arg(card.kind));
        }
    }
}

void readPoems(const QString &dir, Catalogues *c)
{
    Reader r(dir, QStringLiteral("poesie/catalogo.dati"), &c->errors);
    if (!r.ok())
        return;
    c->poemsHead = r.head();
    r.keys(c->poemsHead, {QStringLiteral("titolo")}, {}, {Nota});
    for (const Card &card : r.cards()) {
        if (card.kind != QLatin1String("poesia")) {
            r.fail(card.line, QStringLiteral("[%1] non è un titolo di questo catalogo: [poesia]").arg(card.kind));
            continue;
        }
        const QString box = QStringLiteral("box"), sentence = QStringLiteral("significato");
        r.keys(card, {},
               {QStringLiteral("file"), QStringLiteral("titolo"), QStringLiteral("fonte"), QStringLiteral("lessico"),
                QStringLiteral("versi"), QStringLiteral("rime"), QStringLiteral("musicalità"), QStringLiteral("giusta"),
                box, sentence},
               {box, sentence, Nota});
        PoemEntry p;
        p.card = card;
        p.file = card.value(QStringLiteral("file"));
        p.title = card.value(QStringLiteral("titolo"));
        p.source = card.value(QStringLiteral("fonte"));
        for (const QString &b : card.values(box))
            p.boxes.append(b.section(QLatin1Char(':'), 0, 0).trimmed());
        // The answers count as the options are numbered on the screen.
        p.lessico = r.number(card, QStringLiteral("lessico"), 1, 4);
        p.versi = r.number(card, QStringLiteral("versi"), 1, 3);
        p.rime = r.number(card, QStringLiteral("rime"), 1, 5);
        p.musicalita = r.number(card, QStringLiteral("musicalità"), 1, 5);
        p.meaning = r.number(card, QStringLiteral("giusta"), 0, 3);
        p.sentences = card.values(sentence);
        if (p.boxes.size() < 3 || p.boxes.size() > 6)
            r.fail(card.line, QStringLiteral("una poesia ha da 3 a 6 box, non %1").arg(p.boxes.size()));
        if (p.sentences.size() != 4)
            r.fail(card.line, QStringLiteral("una poesia ha 4 frasi «significato», non %1").arg(p.sentences.size()));
        c->poems.append(p);
    }
}

void readFigures(const QString &dir, Catalogues *c)
{
    Reader r(dir, QStringLiteral("figure/catalogo.dati"), &c->errors);
    if (!r.ok())
        return;
    c->figuresHead = r.head();
    r.keys(c->figuresHead, {QStringLiteral("titolo")}, {}, {Nota});
    QList<int> definitions, draws;
    for (const Card &card : r.cards()) {
        if (card.kind != QLatin1String("figura")) {
            r.fail(card.line, QStringLiteral("[%1] non è un titolo di questo catalogo: [figura]").arg(card.kind));
            continue;
        }
        r.keys(card, {},
               {QStringLiteral("nome"), QStringLiteral("file"), QStringLiteral("definizione"), QStringLiteral("estrazioni"),
                QStringLiteral("esempio")},
               {QStringLiteral("esempio"), Nota});
        Figure f;
        f.card = card;
        f.name = card.value(QStringLiteral("nome"));
        f.prefix = card.value(QStringLiteral("file"));
        f.definition = r.number(card, QStringLiteral("definizione"), 0, 9);
        f.definitionText = card.value(QStringLiteral("definizione")).section(QLatin1Char(':'), 1).trimmed();
        const QStringList d = card.value(QStringLiteral("estrazioni")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = d.size() == 3;
        for (int k = 0; ok && k < 3; ++k) {
            f.draws[size_t(k)] = d.at(k).toInt(&ok);
            ok = ok && f.draws[size_t(k)] >= 1 && f.draws[size_t(k)] <= 30 && !draws.contains(f.draws[size_t(k)]);
            draws.append(f.draws[size_t(k)]);
        }
        if (!ok)
            r.fail(r.lineOf(card, QStringLiteral("estrazioni")),
                   QStringLiteral("«estrazioni» vuole tre numeri da 1 a 30, nessuno già usato"));
        if (f.definition >= 0 && definitions.contains(f.definition))
            r.fail(r.lineOf(card, QStringLiteral("definizione")),
                   QStringLiteral("la definizione %1 è già di un'altra figura").arg(f.definition));
        definitions.append(f.definition);
        if (card.values(QStringLiteral("esempio")).size() != 3)
            r.fail(card.line, QStringLiteral("una figura ha 3 righe «esempio»"));
        c->figures.append(f);
    }
    if (r.ok() && c->figures.size() != 10)
        c->errors.append(QStringLiteral("figure/catalogo.dati: le figure sono 10, non %1").arg(c->figures.size()));
}

} // namespace

Catalogues readCatalogues(const QString &contentDir, CatalogueSet which)
{
    Catalogues c;
    const int w = int(which);
    if (w & int(CatalogueSet::Sequences)) {
        c.expository = readPassages(contentDir, QStringLiteral("sequenze/espositivo.dati"), &c.errors);
        c.narrative = readPassages(contentDir, QStringLiteral("sequenze/narrativo.dati"), &c.errors);
    }
    if (w & int(CatalogueSet::Narrative)) {
        readStories(contentDir, &c);
        readConcepts(contentDir, &c);
    }
    if (w & int(CatalogueSet::Poetry)) {
        readPoems(contentDir, &c);
        readFigures(contentDir, &c);
    }
    return c;
}

} // namespace morvello::content

// SPDX-License-Identifier: GPL-3.0-or-later
#include "sequences/catalogue.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTest>
#include <QTextLayout>

#include <cmath>

using namespace morvello;

namespace {

enum class Kind { Expository, Narrative };

const Catalogue &catalogueOf(Kind kind)
{
    return kind == Kind::Expository ? expositoryCatalogue() : narrativeCatalogue();
}

// Where the passage must end on screen: on the expository screen the chooser
// (top 4680) stands right under the drop boxes, above the type labels; on the
// narrative one the type labels (top 5400) come first.
int labelsTop(Kind kind) { return kind == Kind::Expository ? 4680 : 5400; }
constexpr int kFirstRowTop = 120;
constexpr int kRowUnit = 320;      // twips a row gets for each estimated line
constexpr int kTextWidth = 7095;   // twips, the width of a sequence row
constexpr double kPoints = 12.0;

int rowHeight(const SequenceItem &s)
{
    return kRowUnit * (1 + int(s.text.size()) / s.divisor);
}

const QString Informa = QStringLiteral("Informa racconta descrive confronta");
const QString Spiega = QStringLiteral("Spiega la causa conclude dà soluzione");
const QString Problema = QStringLiteral("Pone il problema");
const QString Conseguenza = QStringLiteral("Illustra una conseguenza");
const QString Esemplifica = QStringLiteral("Esemplifica");
const QString Ipotizza = QStringLiteral("Ipotizza");
const QString Richiama = QStringLiteral("Richiama");
const QString Definisce = QStringLiteral("Definisce");

const QString Narrativa = QStringLiteral("Narrativa");
const QString Descrittiva = QStringLiteral("Descrittiva");
const QString Dialogica = QStringLiteral("Dialogica");
const QString Riflessiva = QStringLiteral("Riflessiva");

const QString Own = QStringLiteral("Testo proprio");

// Both catalogues, one row per text: "espositivo 3", "narrativo 8", ...
void addTextRows()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    for (Kind kind : {Kind::Expository, Kind::Narrative}) {
        const char *name = kind == Kind::Expository ? "espositivo" : "narrativo";
        for (int n = 1; n <= 8; ++n)
            QTest::addRow("%s %d", name, n) << int(kind) << n;
    }
}

const CatalogueText &textOf(int kind, int number)
{
    return catalogueOf(Kind(kind)).texts.at(number - 1);
}

} // namespace

class TstCatalogues : public QObject
{
    Q_OBJECT

private slots:
    void vocabulary_data();
    void vocabulary();
    void keys_data();
    void keys();
    void typesInVocabulary_data() { addTextRows(); }
    void typesInVocabulary();
    void lengthsInRange_data() { addTextRows(); }
    void lengthsInRange();
    void passageFitsAboveLabels_data() { addTextRows(); }
    void passageFitsAboveLabels();
    void rowsWrapWithinHeight_data();
    void rowsWrapWithinHeight();
    void repeatedAnswers_data();
    void repeatedAnswers();
    void definisceOnlyOnce();
    void divisor73OnlyOnce();
    void dialoguesHaveDirectSpeech();
    void cleanText_data() { addTextRows(); }
    void cleanText();
};

void TstCatalogues::vocabulary_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("types");
    QTest::newRow("espositivo") << int(Kind::Expository)
                                << QStringList{Informa, Spiega, Problema, Conseguenza,
                                               Esemplifica, Ipotizza, Richiama, Definisce};
    QTest::newRow("narrativo") << int(Kind::Narrative)
                               << QStringList{Narrativa, Descrittiva, Dialogica, Riflessiva};
}

void TstCatalogues::vocabulary()
{
    QFETCH(int, kind);
    QFETCH(QStringList, types);
    const Catalogue &c = catalogueOf(Kind(kind));
    QCOMPARE(c.types, types);
    QCOMPARE(c.texts.size(), 8);
}

// The answer keys, written out from the exercise tables: chooser entry,
// source line (empty means none), divisors, correct types and the first
// words of every sequence (so that a reordering of sequences shows up).
void TstCatalogues::keys_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QList<int>>("divisors");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QStringList>("beginnings");

    const int E = int(Kind::Expository);
    const int N = int(Kind::Narrative);
    const QString none;

    QTest::newRow("espositivo 1") << E << 1 << QStringLiteral("Come avrai già...") << Own
        << QList<int>{70, 70, 70, 70}
        << QStringList{Richiama, Conseguenza, Informa, Richiama}
        << QStringList{QStringLiteral("Come avrai già letto nel precedente"),
                       QStringLiteral("Questa politica ebbe una grave conseguenza"),
                       QStringLiteral("Nel 1787 il re Luigi XVI riunì"),
                       QStringLiteral("Come hai già studiato, nobili e clero")};
    QTest::newRow("espositivo 2") << E << 2 << QStringLiteral("La terra è ricoperta..") << Own
        << QList<int>{60, 70, 65, 65, 70, 65}
        << QStringList{Informa, Ipotizza, Spiega, Conseguenza, Esemplifica, Conseguenza}
        << QStringList{QStringLiteral("La Terra è ricoperta da una crosta"),
                       QStringLiteral("Supponiamo che le due croste"),
                       QStringLiteral("Cede la crosta oceanica, perché"),
                       QStringLiteral("Per questo la crosta oceanica sprofonda"),
                       QStringLiteral("Per esempio, a ovest dell'America del Sud"),
                       QStringLiteral("Lo scontro ha anche altre conseguenze")};
    QTest::newRow("espositivo 3") << E << 3 << QStringLiteral("Spesso i villaggi..") << Own
        << QList<int>{60, 70, 65, 70}
        << QStringList{Informa, Ipotizza, Problema, Informa}
        << QStringList{QStringLiteral("Spesso i villaggi del Neolitico"),
                       QStringLiteral("Si può supporre che i contadini"),
                       QStringLiteral("Ma chi potevano essere gli aggressori?"),
                       QStringLiteral("All'interno del recinto sorgevano")};
    QTest::newRow("espositivo 4") << E << 4 << QStringLiteral("Ora dobbiamo..") << Own
        << QList<int>{60, 70, 65, 70}
        << QStringList{Problema, Informa, Conseguenza, Esemplifica}
        << QStringList{QStringLiteral("Ora dobbiamo chiederci: che cosa"),
                       QStringLiteral("Alcune zolle sono grandi come"),
                       QStringLiteral("Lo scontro tra due zolle continentali"),
                       QStringLiteral("Per esempio, le Alpi")};
    QTest::newRow("espositivo 5") << E << 5 << QStringLiteral("Chi va spesso..") << none
        << QList<int>{60, 70, 65, 70, 65}
        << QStringList{Informa, Ipotizza, Informa, Esemplifica, Esemplifica}
        << QStringList{QStringLiteral("Chi va spesso al mercato sa che"),
                       QStringLiteral("Qualcuno potrebbe supporre che"),
                       QStringLiteral("Le arance dei nostri mercati"),
                       QStringLiteral("Per esempio, in un anno in cui gli aranceti"),
                       QStringLiteral("Un altro esempio:")};
    QTest::newRow("espositivo 6") << E << 6 << QStringLiteral("Il tasso di natalità..") << none
        << QList<int>{60, 70, 65, 70, 65, 70}
        << QStringList{Informa, Conseguenza, Ipotizza, Problema, Spiega, Definisce}
        << QStringList{QStringLiteral("Il tasso di natalità, in Italia,"),
                       QStringLiteral("Di conseguenza, la popolazione italiana"),
                       QStringLiteral("Potrebbe darsi che, tra qualche decina"),
                       QStringLiteral("Che cosa potrebbe fare l'Italia"),
                       QStringLiteral("Per risolvere il problema"),
                       QStringLiteral("(Il tasso di natalità è il numero")};
    QTest::newRow("espositivo 7") << E << 7 << QStringLiteral("Bisogna cercare..") << none
        << QList<int>{60, 70, 65, 70, 65, 70}
        << QStringList{Problema, Spiega, Informa, Conseguenza, Conseguenza, Esemplifica}
        << QStringList{QStringLiteral("Bisogna cercare di capire perché"),
                       QStringLiteral("La causa è il terreno:"),
                       QStringLiteral("Sulla pianura alta, vicina ai monti,"),
                       QStringLiteral("Su un terreno così, però,"),
                       QStringLiteral("Per questo, dove il terreno diventa argilloso"),
                       QStringLiteral("Per esempio, nella Pianura Padana")};
    QTest::newRow("espositivo 8") << E << 8 << QStringLiteral("Hai letto..") << none
        << QList<int>{60, 70, 65, 70, 65, 70}
        << QStringList{Richiama, Informa, Problema, Ipotizza, Informa, Spiega}
        << QStringList{QStringLiteral("Hai letto (vedi cap. 8) che"),
                       QStringLiteral("Nei mesi seguenti, sperando di avere"),
                       QStringLiteral("Ci si può chiedere perché"),
                       QStringLiteral("Si potrebbe magari pensare che"),
                       QStringLiteral("Nell'estate del 1860 i garibaldini"),
                       QStringLiteral("In realtà le rivolte furono fermate")};

    QTest::newRow("narrativo 1") << N << 1 << QStringLiteral("Una volta fuori..") << Own
        << QList<int>{70, 70, 70, 70, 70}
        << QStringList{Narrativa, Riflessiva, Descrittiva, Narrativa, Descrittiva}
        << QStringList{QStringLiteral("Una volta fuori, i due amici"),
                       QStringLiteral("Il facile successo della prima parte"),
                       QStringLiteral("Calava la sera e la piccola"),
                       QStringLiteral("Silenziosamente i due amici attraversarono"),
                       QStringLiteral("Davanti a loro si levavano")};
    QTest::newRow("narrativo 2") << N << 2 << QStringLiteral("Strisciò fuori..") << Own
        << QList<int>{60, 70, 65, 70, 65}
        << QStringList{Narrativa, Descrittiva, Narrativa, Dialogica, Narrativa}
        << QStringList{QStringLiteral("Strisciò fuori dalla buca e discese"),
                       QStringLiteral("La camicia aperta lasciava vedere"),
                       QStringLiteral("Fece un nodo robusto alla corda"),
                       QStringLiteral("«Mi ha sparato, ma mi ha mancato!»"),
                       QStringLiteral("Quando il suo tesoro fu nascosto")};
    QTest::newRow("narrativo 3") << N << 3 << QStringLiteral("Non è facile..") << Own
        << QList<int>{60, 70, 65, 70}
        << QStringList{Riflessiva, Narrativa, Riflessiva, Narrativa}
        << QStringList{QStringLiteral("Non è facile ammazzare un pesce"),
                       QStringLiteral("Mi appoggiai saldamente al bordo"),
                       QStringLiteral("Quando sta per morire, un pesce"),
                       QStringLiteral("Mi inginocchiai piano sul fondo")};
    QTest::newRow("narrativo 4") << N << 4 << QStringLiteral("Massimo, vedendo..") << Own
        << QList<int>{60, 73, 65, 70, 70}
        << QStringList{Narrativa, Descrittiva, Narrativa, Riflessiva, Narrativa}
        << QStringList{QStringLiteral("Massimo, vedendo la strada bianca"),
                       QStringLiteral("Il sole, nel cielo limpido,"),
                       QStringLiteral("Mosse i primi passi su"),
                       QStringLiteral("Era come se volesse gustare"),
                       QStringLiteral("Riprese a camminare,")};
    QTest::newRow("narrativo 5") << N << 5 << QStringLiteral("Massimo riaprì..") << Own
        << QList<int>{60, 70, 70, 70, 65}
        << QStringList{Narrativa, Descrittiva, Narrativa, Riflessiva, Narrativa}
        << QStringList{QStringLiteral("Massimo riaprì gli occhi e li richiuse"),
                       QStringLiteral("Il sole stava per nascondersi"),
                       QStringLiteral("Non poté osservare a lungo"),
                       QStringLiteral("La rabbia prese presto il posto"),
                       QStringLiteral("Tornò lentamente verso casa")};
    QTest::newRow("narrativo 6") << N << 6 << QStringLiteral("Parcheggiai l'auto..") << Own
        << QList<int>{60, 70, 70, 70, 65}
        << QStringList{Narrativa, Riflessiva, Descrittiva, Narrativa, Descrittiva}
        << QStringList{QStringLiteral("Parcheggiai l'auto sul prato"),
                       QStringLiteral("Non volevo che la mia fretta"),
                       QStringLiteral("La sua mano sinistra stringeva"),
                       QStringLiteral("Non mostrai di accorgermi"),
                       QStringLiteral("L'aria era fresca e umida.")};
    QTest::newRow("narrativo 7") << N << 7 << QStringLiteral("Il vecchio mobile..") << Own
        << QList<int>{70, 70, 65, 70, 65}
        << QStringList{Descrittiva, Narrativa, Dialogica, Riflessiva, Narrativa}
        << QStringList{QStringLiteral("Il vecchio mobile francese"),
                       QStringLiteral("Il nonno salì lentamente le scale"),
                       QStringLiteral("«Vieni su» mi disse"),
                       QStringLiteral("Chissà cosa aveva in mente."),
                       QStringLiteral("Mi avvicinai alle scale")};
    QTest::newRow("narrativo 8") << N << 8 << QStringLiteral("Benché il sole..") << Own
        << QList<int>{60, 70, 65, 70, 65, 65}
        << QStringList{Narrativa, Dialogica, Narrativa, Riflessiva, Narrativa, Descrittiva}
        << QStringList{QStringLiteral("Benché il sole non avesse ancora"),
                       QStringLiteral("«Ma che fai? Perché te"),
                       QStringLiteral("Corsi sulla sabbia spingendo"),
                       QStringLiteral("Ormai non ero più così"),
                       QStringLiteral("Feci poche pedalate."),
                       QStringLiteral("In quel tratto di riva la sabbia")};
}

void TstCatalogues::keys()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    QFETCH(QString, choice);
    QFETCH(QString, source);
    QFETCH(QList<int>, divisors);
    QFETCH(QStringList, types);
    QFETCH(QStringList, beginnings);

    const CatalogueText &t = textOf(kind, number);
    QCOMPARE(t.choice, choice);
    if (source.isEmpty()) {
        QVERIFY2(!t.source.has_value(), "this text must leave the source label as it was");
    } else {
        QVERIFY(t.source.has_value());
        QCOMPARE(*t.source, source);
    }
    QCOMPARE(t.sequences.size(), types.size());
    for (int k = 0; k < t.sequences.size(); ++k) {
        const SequenceItem &s = t.sequences.at(k);
        const QByteArray where = QByteArray("sequence ") + QByteArray::number(k + 1);
        QVERIFY2(s.divisor == divisors.at(k), where.constData());
        QVERIFY2(s.type == types.at(k), (where + ": " + s.type.toUtf8()).constData());
        QVERIFY2(s.text.startsWith(beginnings.at(k)), (where + ": " + s.text.toUtf8()).constData());
    }
}

void TstCatalogues::typesInVocabulary()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    const QStringList &vocabulary = catalogueOf(Kind(kind)).types;
    for (const SequenceItem &s : textOf(kind, number).sequences)
        QVERIFY2(vocabulary.contains(s.type), s.type.toUtf8().constData());
}

void TstCatalogues::lengthsInRange()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    const int low = Kind(kind) == Kind::Expository ? 30 : 75;
    const int high = Kind(kind) == Kind::Expository ? 270 : 335;
    for (const SequenceItem &s : textOf(kind, number).sequences) {
        const int length = int(s.text.size());
        QVERIFY2(length >= low && length <= high,
                 (QByteArray::number(length) + " characters: " + s.text.toUtf8()).constData());
    }
}

// The rows are stacked from the design top 120 without gaps; the last one
// must end before the chooser or the type labels, whichever comes first.
void TstCatalogues::passageFitsAboveLabels()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    int bottom = kFirstRowTop;
    for (const SequenceItem &s : textOf(kind, number).sequences)
        bottom += rowHeight(s);
    QVERIFY2(bottom <= labelsTop(Kind(kind)),
             QByteArray("rows end at ").append(QByteArray::number(bottom)).constData());
}

void TstCatalogues::rowsWrapWithinHeight_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<double>("scale");
    // 1.0 is the design size; 1.616 and 1.908 are the scales of a
    // 1280×1024 and a 1920×1080 display.
    for (Kind kind : {Kind::Expository, Kind::Narrative}) {
        const char *name = kind == Kind::Expository ? "espositivo" : "narrativo";
        for (int n = 1; n <= 8; ++n)
            for (double scale : {1.0, 1.616, 1.908})
                QTest::addRow("%s %d x%.3f", name, n, scale) << int(kind) << n << scale;
    }
}

// Lays each sequence out as the row label shows it (word-wrapped, 12 points
// scaled with the window) and checks that it needs no more lines than the row
// height grants, and that those lines are not taller than the row.
void TstCatalogues::rowsWrapWithinHeight()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    QFETCH(double, scale);

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(int(std::lround(kPoints * 96.0 / 72.0 * scale)));
    QVERIFY2(QFontInfo(font).family() == QStringLiteral("Liberation Sans"),
             "the Liberation fonts are needed to measure the rows");
    const QFontMetricsF metrics(font);
    // Two pixels less than the label, against rounding and antialiasing.
    const qreal width = std::lround(kTextWidth / 15.0 * scale) - 2;

    for (const SequenceItem &s : textOf(kind, number).sequences) {
        QTextLayout layout(s.text, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        int lines = 0;
        qreal lineHeight = metrics.lineSpacing();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lineHeight = qMax(lineHeight, line.height());
            ++lines;
        }
        layout.endLayout();

        const int granted = 1 + int(s.text.size()) / s.divisor;
        const QByteArray what = QByteArray::number(lines) + " lines for " + QByteArray::number(granted)
                                + ": " + s.text.toUtf8();
        QVERIFY2(lines <= granted, what.constData());
        const qreal rowPx = rowHeight(s) / 15.0 * scale;
        QVERIFY2(lines * lineHeight <= rowPx, what.constData());
    }
}

// A pupil who drops the same label on two boxes is right twice on these texts.
void TstCatalogues::repeatedAnswers_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("type");
    QTest::newRow("espositivo 1") << int(Kind::Expository) << 1 << 1 << 4 << Richiama;
    QTest::newRow("espositivo 5") << int(Kind::Expository) << 5 << 4 << 5 << Esemplifica;
    QTest::newRow("espositivo 7") << int(Kind::Expository) << 7 << 4 << 5 << Conseguenza;
    QTest::newRow("narrativo 3") << int(Kind::Narrative) << 3 << 1 << 3 << Riflessiva;
}

void TstCatalogues::repeatedAnswers()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, type);
    const CatalogueText &t = textOf(kind, number);
    QCOMPARE(t.sequences.at(first - 1).type, type);
    QCOMPARE(t.sequences.at(second - 1).type, type);
}

void TstCatalogues::definisceOnlyOnce()
{
    const Catalogue &c = expositoryCatalogue();
    QList<QPair<int, int>> found;
    for (int n = 0; n < c.texts.size(); ++n)
        for (int k = 0; k < c.texts.at(n).sequences.size(); ++k)
            if (c.texts.at(n).sequences.at(k).type == Definisce)
                found.append({n + 1, k + 1});
    QCOMPARE(found, (QList<QPair<int, int>>{{6, 6}}));
    // ... and it is still one of the labels offered on every text.
    QVERIFY(c.types.contains(Definisce));
}

void TstCatalogues::divisor73OnlyOnce()
{
    QList<QPair<int, int>> found;
    for (Kind kind : {Kind::Expository, Kind::Narrative}) {
        const Catalogue &c = catalogueOf(kind);
        for (int n = 0; n < c.texts.size(); ++n)
            for (int k = 0; k < c.texts.at(n).sequences.size(); ++k)
                if (c.texts.at(n).sequences.at(k).divisor == 73)
                    found.append({kind == Kind::Narrative ? n + 1 : -(n + 1), k + 1});
    }
    QCOMPARE(found, (QList<QPair<int, int>>{{4, 2}}));
}

// Direct speech is set off with « and » in every passage, the same way
// throughout; a hyphen or an apostrophe standing in for them is a typing
// fault a pupil would see. A dialogue sequence shows at least two speeches.
void TstCatalogues::dialoguesHaveDirectSpeech()
{
    static const QRegularExpression hyphenDash(QStringLiteral("(^|\\s)-|-(\\s|$)"));
    static const QRegularExpression apostropheQuote(QStringLiteral("(^|\\s)'"));
    const QChar open(0x00AB), close(0x00BB);
    int dialogues = 0;
    for (const CatalogueText &t : narrativeCatalogue().texts)
        for (const SequenceItem &s : t.sequences) {
            const QByteArray text = s.text.toUtf8();
            QVERIFY2(s.text.count(open) == s.text.count(close), text.constData());
            QVERIFY2(!hyphenDash.match(s.text).hasMatch(), text.constData());
            QVERIFY2(!apostropheQuote.match(s.text).hasMatch(), text.constData());
            QVERIFY2(!s.text.contains(QLatin1Char('"')) && !s.text.contains(QChar(0x2014)),
                     text.constData());
            if (s.type == Dialogica) {
                ++dialogues;
                QVERIFY2(s.text.count(open) >= 2, text.constData());
            }
        }
    QCOMPARE(dialogues, 3);
}

// Passages are assembled from several string pieces: catch a doubled or
// missing blank at a join and stray line breaks, which would all show.
void TstCatalogues::cleanText()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    static const QRegularExpression glued(QStringLiteral("[a-zà-ù][,;:.?!][a-zA-Zà-ù]"));
    for (const SequenceItem &s : textOf(kind, number).sequences) {
        const QByteArray text = s.text.toUtf8();
        QVERIFY2(!s.text.contains(QStringLiteral("  ")), text.constData());
        QVERIFY2(!s.text.contains(QLatin1Char('\n')), text.constData());
        QVERIFY2(s.text == s.text.trimmed(), text.constData());
        QVERIFY2(!glued.match(s.text).hasMatch(), text.constData());
    }
}

QTEST_MAIN(TstCatalogues)

#include "tst_catalogues.moc"

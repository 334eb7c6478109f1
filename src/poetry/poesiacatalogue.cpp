// SPDX-License-Identifier: GPL-3.0-or-later
#include "poesiacatalogue.h"

namespace morvello::poesia {

namespace {

const QString Allitterazione = QStringLiteral("Allitterazione");
const QString Onomatopea = QStringLiteral("Onomatopea");
const QString Metafora = QStringLiteral("Metafora");
const QString Rima = QStringLiteral("Rima");
const QString Similitudine = QStringLiteral("Similitudine");
const QString Strofa = QStringLiteral("Strofa");
const QString Verso = QStringLiteral("Verso");

Poem make(int number, const char *file, const char *title, QStringList solutions, int lessico, int versi, int rime,
          int musicalita, int messaggio, const std::array<const char *, SentenceCount> &sentences)
{
    Poem p;
    p.number = number;
    p.file = QStringLiteral("permorvello\\") + QString::fromUtf8(file);
    p.title = QString::fromUtf8(title);
    p.source = QStringLiteral("Testo proprio");
    p.solutions = std::move(solutions);
    p.rispLessico = lessico;
    p.rispVersi = versi;
    p.rispRime = rime;
    p.rispMusicalita = musicalita;
    p.rispMessaggio = messaggio;
    for (int i = 0; i < SentenceCount; ++i)
        p.sentences[size_t(i)] = QString::fromUtf8(sentences[size_t(i)]);
    return p;
}

} // namespace

const QVector<Poem> &poems()
{
    static const QVector<Poem> all = {
        make(1, "tuono.rtf", "Il tuono", {Allitterazione, Onomatopea, Metafora, Rima, Verso}, 3, 3, 2, 3, 1,
             {"il tuono è una bestia feroce che scende dai monti ad assalire le case.",
              "il temporale in montagna fa paura, ma passa presto e torna la calma.",
              "le mandrie restano all'alpeggio sotto la pioggia fino a sera.",
              "il gestore del rifugio ha paura e tiene chiuse le imposte."}),
        make(2, "sanmartino.rtf", "San Martino", {Rima, Metafora, Strofa, Similitudine, Verso}, 3, 3, 2, 2, 2,
             {"a San Martino tutto il paese si affretta a prepararsi per l'inverno.",
              "il poeta è malinconico perché l'inverno, ormai, è alle porte.",
              "a San Martino il borgo si gode in pace l'ultimo tepore dell'anno.",
              "in autunno gli uomini del borgo sono molto occupati."}),
        make(3, "novembre.rtf", "Novembre", {Metafora, Metafora, Rima, Metafora, Metafora, Metafora}, 3, 3, 5, 2, 1,
             {"a novembre la città è allegra e piena di luci colorate per la festa.",
              "nebbia, pioggia e buio di novembre trasformano le cose di ogni giorno.",
              "a novembre i bambini escono a giocare nelle pozzanghere con gli ombrelli.",
              "il poeta rimpiange tanto le giornate lunghe e luminose dell'estate."}),
        make(4, "ponte.rtf", "Il ponte", {Rima, Metafora, Verso}, 2, 2, 5, 2, 0,
             {"le opere fatte con pazienza resistono al tempo e uniscono le persone.",
              "il vecchio ponte è ormai inutile e andrebbe sostituito da uno nuovo.",
              "le piene del fiume e le guerre, alla fine, hanno distrutto il ponte.",
              "sul ponte, nei secoli, sono passati soltanto re e soldati in guerra."}),
        make(5, "faro.rtf", "Madrigale del faro", {Rima, Allitterazione, Metafora, Similitudine}, 2, 2, 2, 3, 3,
             {"il guardiano del faro è stanco di vivere da solo sulla scogliera.",
              "il mare in tempesta, di notte, minaccia la vecchia torre sulla rupe.",
              "le navi al largo non hanno bisogno del faro, perché conoscono la rotta.",
              "il faro aiuta chi è in pericolo nel buio e non vuole niente in cambio."}),
        make(6, "stasera.rtf", "Stasera", {Metafora, Metafora, Allitterazione}, 1, 1, 1, 4, 2,
             {"il fratello litiga con papà perché non ha voglia di fare i compiti.",
              "il ragazzo non riesce a stare tranquillo per la verifica di domani.",
              "la sera, in casa, tutti insieme, ci si sente in pace e al sicuro.",
              "il ragazzo vorrebbe uscire nel vento invece di restare in casa."}),
        make(7, "Autunno.rtf", "Autunno", {Verso, Metafora, Metafora, Metafora, Metafora, Metafora}, 1, 1, 1, 5, 0,
             {"l'autunno cambia le cose di ogni giorno, e il poeta lo guarda con simpatia.",
              "l'autunno è la stagione più triste dell'anno, proprio come dice la nonna.",
              "il poeta non sopporta l'autunno, perché la pioggia e il freddo lo annoiano.",
              "il poeta vorrebbe che l'estate non finisse mai e rimpiange le vacanze."}),
        make(8, "temporale.rtf", "Il temporale", {Onomatopea, Similitudine, Metafora, Rima, Verso}, 1, 3, 2, 3, 3,
             {"i ragazzi restano a giocare sulla spiaggia anche sotto la pioggia.",
              "il bagnino fischia perché i ragazzi hanno scavato una buca troppo grande.",
              "il bagnino è contento perché la pioggia rinfresca la spiaggia.",
              "un temporale improvviso mette tutto sottosopra, ma passa in fretta."}),
        make(9, "trombettina.rtf", "La cornetta del nonno",
             {Rima, Similitudine, Metafora, Metafora, Allitterazione}, 3, 1, 1, 1, 0,
             {"un vecchio oggetto può custodire i ricordi felici di tutta una vita.",
              "il nonno è arrabbiato perché il nipote ha provato a suonare la cornetta.",
              "il nonno vorrebbe insegnare al nipote a suonare nella banda del paese.",
              "il nonno si vergogna della cornetta e per questo la tiene nascosta."}),
    };
    return all;
}

const Poem &poem(int number)
{
    const QVector<Poem> &all = poems();
    return all.at(qBound(1, number, PoemCount) - 1);
}

QStringList chooserEntries()
{
    QStringList entries;
    for (const Poem &p : poems())
        entries.append(p.entry());
    return entries;
}

QString chooserPrompt()
{
    return QStringLiteral("Scegli la poesia");
}

QColor boxColour(int box)
{
    static const QRgb colours[BoxCount] = {qRgb(128, 255, 255), qRgb(128, 255, 128), qRgb(255, 255, 128),
                                           qRgb(192, 192, 192), qRgb(0, 255, 0),     qRgb(255, 255, 0)};
    return box >= 0 && box < BoxCount ? QColor(colours[box]) : QColor();
}

int boxOfColour(QRgb rgb)
{
    for (int i = 0; i < BoxCount; ++i)
        if (boxColour(i).rgb() == (rgb | 0xff000000u))
            return i;
    return -1;
}

const QVector<Tile> &tiles()
{
    static const QVector<Tile> all = {
        {5, Metafora}, {6, Similitudine}, {7, Allitterazione}, {8, Rima}, {9, Strofa}, {0, Verso}, {1, Onomatopea},
    };
    return all;
}

QColor tileColour()
{
    return QColor(128, 0, 0);
}

const QuestionInfo &question(Question q)
{
    static const QuestionInfo all[QuestionCount] = {
        {QStringLiteral("IL LESSICO   E':"),
         {QStringLiteral("prevalentemente familiare."), QStringLiteral("aulico, della tradizione letteraria."),
          QStringLiteral("ricercato, ma non aulico, né letterario."), QStringLiteral("dialettale.")},
         QColor(192, 0, 192), QColor(255, 255, 0), QColor(128, 0, 128), QColor(255, 255, 192)},
        {QStringLiteral("I  VERSI   SONO:"),
         {QStringLiteral("liberi, sciolti, irregolari."),
          QStringLiteral("ordinati secondo uno schema metrico classico"),
          QStringLiteral("ordinati secondo uno schema personale.")},
         QColor(128, 0, 128), QColor(0, 255, 255), QColor(64, 0, 64), QColor(0, 255, 255)},
        {QStringLiteral("LE  RIME  SONO:"),
         {QStringLiteral("poco, o affatto usate."), QStringLiteral("usate, ma non seguono uno schema fisso."),
          QStringLiteral("incrociate."), QStringLiteral("baciate."), QStringLiteral("alternate.")},
         QColor(0, 0, 192), QColor(255, 224, 192), QColor(0, 0, 128), QColor(255, 224, 192)},
        {QStringLiteral("LA  MUSICALITA' E':"),
         {QStringLiteral("poco ricercata."), QStringLiteral("scandita dalla regolarità di ritmo e rime."),
          QStringLiteral("scandita dalla irregolarità di ritmo e rime."),
          QStringLiteral("ricercata, soprattutto con le allitterazioni."),
          QStringLiteral("ricercata soprattutto col ritmo delle frasi")},
         QColor(0, 128, 0), QColor(255, 255, 128), QColor(0, 64, 0), QColor(255, 255, 128)},
    };
    return all[int(q)];
}

int optionCount(Question q)
{
    return int(question(q).options.size());
}

int rightOption(const Poem &p, Question q)
{
    switch (q) {
    case Question::Lessico:
        return p.rispLessico;
    case Question::Versi:
        return p.rispVersi;
    case Question::Rime:
        return p.rispRime;
    case Question::Musicalita:
        return p.rispMusicalita;
    }
    return 0;
}

} // namespace morvello::poesia

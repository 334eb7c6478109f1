// SPDX-License-Identifier: GPL-3.0-or-later
#include "sequences/catalogue.h"

// The eight expository passages. Every passage is our own, written for pupils
// of 11 to 14; facts are kept at school level and numbers stay generic.
//
// Each sequence is worded so that only one of the eight functions fits it:
// hypotheses show their doubt ("forse", "si può supporre"), examples and
// consequences are announced as such, and a fact that comes right after a
// question speaks of something else, so that it cannot read as the answer.
// A piece of information gives new facts only: no cause, no answer, no
// correction of what came before.
//
// Row heights come from 320 × (1 + ⌊length ÷ divisor⌋) twips and the rows are
// stacked above the type labels, so each wording is tuned for two things: the
// whole passage must fit above the labels, and each sequence must wrap into
// no more lines than its row is given. tst_catalogues checks both at the
// screen scales we support; rewording a sequence means running it again.

namespace morvello {

namespace {

const QString Informa = QStringLiteral("Informa racconta descrive confronta");
const QString Spiega = QStringLiteral("Spiega la causa conclude dà soluzione");
const QString Problema = QStringLiteral("Pone il problema");
const QString Conseguenza = QStringLiteral("Illustra una conseguenza");
const QString Esemplifica = QStringLiteral("Esemplifica");
const QString Ipotizza = QStringLiteral("Ipotizza");
const QString Richiama = QStringLiteral("Richiama");
const QString Definisce = QStringLiteral("Definisce");

Catalogue build()
{
    Catalogue c;
    c.types = {Informa, Spiega, Problema, Conseguenza, Esemplifica, Ipotizza, Richiama, Definisce};

    const QString own = QStringLiteral("Testo proprio");

    // 1. History: the wars of the French kings and the taxes of the privileged.
    c.texts.append({QStringLiteral("Come avrai già..."), own, {
        {QStringLiteral("Come avrai già letto nel precedente capitolo, per quasi due secoli i re di "
                        "Francia combatterono guerre continue per fare del loro regno la prima "
                        "potenza d'Europa."),
         70, Richiama},
        {QStringLiteral("Questa politica ebbe una grave conseguenza: le enormi spese per gli eserciti "
                        "mandarono in rovina le finanze del regno; le casse dello Stato rimasero "
                        "vuote e i debiti crebbero sempre di più."),
         70, Conseguenza},
        {QStringLiteral("Nel 1787 il re Luigi XVI riunì a Versailles i nobili più importanti per discutere "
                        "delle imposte che anche loro avrebbero dovuto pagare, ma l'assemblea si "
                        "sciolse senza decidere nulla."),
         70, Informa},
        {QStringLiteral("Come hai già studiato, nobili e clero erano i ceti privilegiati della "
                        "Francia: da secoli avevano molti diritti speciali ed erano esenti da quasi "
                        "tutte le imposte."),
         70, Richiama},
    }});

    // 2. Earth science: oceanic and continental crust meeting. The hypothesis
    // guesses that one crust gives way; the explanation says which and why
    // (density, not weight), and what follows is stated as plain effects.
    c.texts.append({QStringLiteral("La terra è ricoperta.."), own, {
        {QStringLiteral("La Terra è ricoperta da una crosta di rocce che non è uguale dappertutto: "
                        "sotto gli oceani è sottile e un po' più densa, mentre nei continenti è più spessa "
                        "e meno densa."),
         60, Informa},
        {QStringLiteral("Supponiamo che le due croste si scontrino: forse una cederà."),
         70, Ipotizza},
        {QStringLiteral("Cede la crosta oceanica, perché è più densa: nello scontro si piega verso il "
                        "basso e si infila sotto quella continentale."),
         65, Spiega},
        {QStringLiteral("Per questo la crosta oceanica sprofonda a poco a poco nel mantello, dove in "
                        "parte fonde e diventa magma."),
         65, Conseguenza},
        {QStringLiteral("Per esempio, a ovest dell'America del Sud il fondo dell'Oceano Pacifico si "
                        "infila da milioni di anni sotto il continente."),
         70, Esemplifica},
        {QStringLiteral("Lo scontro ha anche altre conseguenze: lungo il confine tra le due croste si "
                        "aprono fosse marine profondissime, sorgono vulcani e la terra trema spesso."),
         65, Conseguenza},
    }});

    // 3. History: the walled villages of the first farmers. The question is
    // left open: what follows it is about life inside the fence, so that it
    // cannot be read as the answer.
    c.texts.append({QStringLiteral("Spesso i villaggi.."), own, {
        {QStringLiteral("Spesso i villaggi del Neolitico, costruiti dai primi contadini, erano "
                        "circondati da un fossato e da una palizzata di tronchi appuntiti, a volte "
                        "anche da un muro di pietre con una sola porta d'ingresso."),
         60, Informa},
        {QStringLiteral("Si può supporre che i contadini avessero paura di qualcuno: forse dovevano "
                        "proteggere i raccolti, le provviste e il bestiame dagli attacchi di altri "
                        "uomini."),
         70, Ipotizza},
        {QStringLiteral("Ma chi potevano essere gli aggressori?"),
         65, Problema},
        {QStringLiteral("All'interno del recinto sorgevano capanne di legno, canne e fango, con il "
                        "pavimento di terra battuta; accanto a ognuna c'erano un forno per il pane e "
                        "una fossa per conservare il grano."),
         70, Informa},
    }});

    // 4. Earth science: two continental plates colliding. The information
    // only describes the plates and how slowly they move; the mountains are
    // named as the effect of the collision the question asks about.
    c.texts.append({QStringLiteral("Ora dobbiamo.."), own, {
        {QStringLiteral("Ora dobbiamo chiederci: che cosa succede quando a scontrarsi sono due zolle "
                        "che portano entrambe un continente?"),
         60, Problema},
        {QStringLiteral("Alcune zolle sono grandi come un continente, altre molto più piccole; tutte "
                        "si spostano di pochi centimetri all'anno, più o meno quanto crescono in un "
                        "anno le unghie delle nostre mani."),
         70, Informa},
        {QStringLiteral("Lo scontro tra due zolle continentali ha questa conseguenza: le rocce dei due "
                        "bordi si piegano, si accavallano e si sollevano, un poco alla volta, in alte "
                        "catene di montagne."),
         65, Conseguenza},
        {QStringLiteral("Per esempio, le Alpi sono nate dallo scontro tra la zolla africana e quella "
                        "euroasiatica, e l'Himalaya dall'urto tra la zolla indiana e quella "
                        "euroasiatica."),
         70, Esemplifica},
    }});

    // 5. Economics: what moves the prices at the market. No sequence states
    // the rule: the two examples show it, one for each direction, and the
    // fact before them only says where and when the fruit comes from.
    c.texts.append({QStringLiteral("Chi va spesso.."), std::nullopt, {
        {QStringLiteral("Chi va spesso al mercato sa che sui banchi ogni cassetta ha un cartellino con "
                        "il prezzo al chilo, e che d'estate i pomodori costano meno che d'inverno."),
         60, Informa},
        {QStringLiteral("Qualcuno potrebbe supporre che i venditori decidano i prezzi a caso, secondo "
                        "il loro umore."),
         70, Ipotizza},
        {QStringLiteral("Le arance dei nostri mercati vengono soprattutto dalla Sicilia e dalla "
                        "Calabria, dove si raccolgono tra novembre e aprile; le fragole maturano in "
                        "primavera."),
         65, Informa},
        {QStringLiteral("Per esempio, in un anno in cui gli aranceti danno moltissime arance, i "
                        "banchi ne sono pieni e il loro prezzo scende."),
         70, Esemplifica},
        {QStringLiteral("Un altro esempio: la primavera scorsa una gelata ha rovinato le fragole di "
                        "molte campagne; al mercato ne sono arrivate poche e, cercate "
                        "da tanti, costavano il doppio."),
         65, Esemplifica},
    }});

    // 6. Demography: a low birth rate and what follows from it. Only the
    // term the passage uses is defined at the end.
    c.texts.append({QStringLiteral("Il tasso di natalità.."), std::nullopt, {
        {QStringLiteral("Il tasso di natalità, in Italia, è da anni tra i più bassi d'Europa e ogni "
                        "anno il numero dei morti supera quello dei nati."),
         60, Informa},
        {QStringLiteral("Di conseguenza, la popolazione italiana tende a diminuire e a invecchiare: "
                        "ci sono sempre meno giovani e sempre più anziani."),
         70, Conseguenza},
        {QStringLiteral("Potrebbe darsi che, tra qualche decina d'anni, i lavoratori siano troppo "
                        "pochi e che i loro contributi, con cui si pagano le pensioni, non bastino più "
                        "per tutti gli anziani."),
         65, Ipotizza},
        {QStringLiteral("Che cosa potrebbe fare l'Italia per avere abbastanza lavoratori e continuare "
                        "a pagare le pensioni?"),
         70, Problema},
        {QStringLiteral("Per risolvere il problema si possono seguire due strade: aiutare le famiglie "
                        "ad avere figli e accogliere lavoratori stranieri."),
         65, Spiega},
        {QStringLiteral("(Il tasso di natalità è il numero dei bambini nati in un anno ogni mille "
                        "abitanti.)"),
         70, Definisce},
    }});

    // 7. Geography: why the high plain is dry. The question asks only about
    // the high plain, so that the springs come as a further effect and not
    // as its answer; gravel and pebbles lie in the high plain, fine sand and
    // clay in the low one, everywhere in the passage. The fact in the middle
    // compares the rain of the two plains, so that it neither describes what
    // they are nor stands between the cause and its first effect.
    c.texts.append({QStringLiteral("Bisogna cercare.."), std::nullopt, {
        {QStringLiteral("Bisogna cercare di capire perché la pianura alta, ai piedi dei monti, ha "
                        "spesso campi aridi e poveri d'acqua."),
         60, Problema},
        {QStringLiteral("La causa è il terreno: uscendo dai monti, i fiumi vi hanno deposto ghiaia e "
                        "ciottoli, che lasciano passare l'acqua come un setaccio; sabbia fine e "
                        "argilla sono finite nella pianura bassa."),
         70, Spiega},
        {QStringLiteral("Sulla pianura alta, vicina ai monti, la pioggia non manca: ne cade come "
                        "sulla pianura bassa, e in certi anni anche di più."),
         65, Informa},
        {QStringLiteral("Su un terreno così, però, la pioggia filtra subito tra i sassi e va in "
                        "profondità: di conseguenza i campi restano asciutti."),
         70, Conseguenza},
        {QStringLiteral("Per questo, dove il terreno diventa argilloso, l'acqua filtrata sottoterra "
                        "torna in superficie e forma molte sorgenti."),
         65, Conseguenza},
        {QStringLiteral("Per esempio, nella Pianura Padana, nelle campagne a ovest di Milano, l'acqua "
                        "sgorga dal terreno in decine di piccole sorgenti limpide, proprio dove "
                        "finisce la pianura alta."),
         70, Esemplifica},
    }});

    // 8. History: the peasants of Sicily in 1860. The revolts and their end
    // are told before the question; the explanation carries its own premise
    // (what the landowners gave), and the fact before it only follows the
    // campaign, so that it neither recalls, disproves nor explains anything.
    c.texts.append({QStringLiteral("Hai letto.."), std::nullopt, {
        {QStringLiteral("Hai letto (vedi cap. 8) che nel 1860 Garibaldi sbarcò in Sicilia con i Mille "
                        "e liberò l'isola dai Borbone."),
         60, Richiama},
        {QStringLiteral("Nei mesi seguenti, sperando di avere un campo tutto loro, in molti paesi i "
                        "contadini occuparono le terre dei grandi proprietari; i garibaldini, però, "
                        "fermarono le rivolte con le armi."),
         70, Informa},
        {QStringLiteral("Ci si può chiedere perché i garibaldini abbiano fermato con la forza quelle "
                        "rivolte."),
         65, Problema},
        {QStringLiteral("Si potrebbe magari pensare che a Garibaldi non importasse nulla dei poveri."),
         70, Ipotizza},
        {QStringLiteral("Nell'estate del 1860 i garibaldini vinsero a Milazzo e in agosto "
                        "attraversarono lo stretto di Messina, diretti a Napoli."),
         65, Informa},
        {QStringLiteral("In realtà le rivolte furono fermate per non perdere l'appoggio dei grandi "
                        "proprietari, che davano a Garibaldi denaro, viveri e uomini: senza di loro "
                        "l'impresa non poteva continuare."),
         70, Spiega},
    }});

    return c;
}

} // namespace

const Catalogue &expositoryCatalogue()
{
    static const Catalogue catalogue = build();
    return catalogue;
}

} // namespace morvello

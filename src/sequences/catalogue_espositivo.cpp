#include "sequences/catalogue.h"

// The eight expository passages. Every passage is our own, written for pupils
// of 11 to 14; facts are kept at school level and numbers stay generic.
//
// Each sequence is worded so that only one of the eight functions fits it:
// hypotheses show their doubt ("forse", "si può supporre"), examples and
// consequences are announced as such, and a fact that answers no question
// is not put right after one, where it would read as the answer.
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
        {QStringLiteral("Come avrai già letto nel precedente capitolo, per quasi due secoli "
                        "i re di Francia combatterono guerre continue per fare del loro regno "
                        "la prima potenza d'Europa."), 70, Richiama},
        {QStringLiteral("Questa politica ebbe una grave conseguenza: mandò in rovina le finanze "
                        "del regno. Quando Luigi XVI salì al trono, nel 1774, le casse dello "
                        "Stato erano vuote e i debiti enormi."),
         70, Conseguenza},
        {QStringLiteral("Nel 1787 il re riunì a Versailles i nobili più importanti per "
                        "discutere delle imposte che anche loro avrebbero dovuto pagare, ma "
                        "l'assemblea si sciolse senza decidere nulla."), 70, Informa},
        {QStringLiteral("Come hai già studiato, la reggia di Versailles era stata fatta "
                        "costruire da Luigi XIV, il Re Sole, che vi teneva accanto a sé, tra "
                        "feste e balli, i nobili di tutta la Francia."),
         70, Richiama},
    }});

    // 2. Earth science: oceanic and continental crust meeting. Density, not
    // weight, decides which crust goes down; the last sequence states the
    // general outcome, so that it does not read as part of the example.
    c.texts.append({QStringLiteral("La terra è ricoperta.."), own, {
        {QStringLiteral("La Terra è ricoperta da una crosta di rocce che non è uguale "
                        "dappertutto: sotto gli oceani è sottile e molto densa, mentre nei "
                        "continenti è più spessa e meno densa."), 60, Informa},
        {QStringLiteral("Supponiamo ora che le due croste, muovendosi, si scontrino."), 70, Ipotizza},
        {QStringLiteral("La causa di quello che accade sta nella loro diversa densità."), 65, Spiega},
        {QStringLiteral("Per questo la crosta oceanica, che è più densa, si piega e scivola "
                        "sotto quella continentale, sprofondando lentamente nel mantello."), 65, Conseguenza},
        {QStringLiteral("Per esempio, a ovest dell'America del Sud il fondo dell'Oceano "
                        "Pacifico si infila da milioni di anni sotto il continente."), 70, Esemplifica},
        {QStringLiteral("Di conseguenza, dove la crosta oceanica sprofonda si aprono fosse "
                        "marine profondissime e, sul continente, si sollevano montagne ricche "
                        "di vulcani e spesso scosse da terremoti."), 65, Conseguenza},
    }});

    // 3. History: the walled villages of the first farmers. The passage ends
    // on the question being investigated, not answered: an answer after the
    // question would read as its solution.
    c.texts.append({QStringLiteral("Spesso i villaggi.."), own, {
        {QStringLiteral("Spesso i villaggi erano circondati da un fossato e da una palizzata "
                        "di tronchi appuntiti, a volte anche da un muro di pietre con una sola "
                        "porta d'ingresso."), 60, Informa},
        {QStringLiteral("Si può supporre che i contadini avessero paura di qualcuno: forse "
                        "dovevano proteggere i raccolti, le provviste e il bestiame dagli "
                        "attacchi di altri uomini."),
         70, Ipotizza},
        {QStringLiteral("Ma chi potevano essere gli aggressori?"), 65, Problema},
        {QStringLiteral("Per scoprirlo, gli archeologi scavano con pazienza i resti di quei "
                        "villaggi: tolgono la terra strato dopo strato, raccolgono armi, ossa "
                        "e vasi e ne calcolano l'età."), 70, Informa},
    }});

    // 4. Earth science: two continental plates colliding. Continents stay
    // up because their rocks are less dense than the mantle beneath.
    c.texts.append({QStringLiteral("Ora dobbiamo.."), own, {
        {QStringLiteral("Ora dobbiamo capire che cosa succede quando a scontrarsi sono due "
                        "zolle che portano entrambe un continente."), 60, Problema},
        {QStringLiteral("È importante sapere che le rocce dei continenti sono meno dense di "
                        "quelle del mantello su cui poggiano: vi restano sopra come il legno "
                        "che galleggia sull'acqua."), 70, Informa},
        {QStringLiteral("Di conseguenza, nello scontro nessuna delle due zolle sprofonda nel "
                        "mantello: le rocce si piegano, si accavallano e si sollevano in "
                        "catene di montagne."), 65, Conseguenza},
        {QStringLiteral("Per esempio, le Alpi sono nate dallo scontro tra la zolla africana "
                        "e quella europea, e l'Himalaya dall'urto tra la zolla indiana e "
                        "quella asiatica."), 70, Esemplifica},
    }});

    // 5. Economics: prices, supply and demand. The rule is carried by the
    // two examples themselves, one for each direction.
    c.texts.append({QStringLiteral("Chi va spesso.."), std::nullopt, {
        {QStringLiteral("Chi va spesso al mercato vede che i prezzi di frutta e verdura "
                        "cambiano da una stagione all'altra: d'estate i pomodori costano "
                        "poco, d'inverno molto di più."), 60, Informa},
        {QStringLiteral("Qualcuno potrebbe supporre che i venditori decidano i prezzi a caso, "
                        "secondo il loro umore."), 70, Ipotizza},
        {QStringLiteral("Nella stessa mattina, tutti i banchi del mercato vendono la stessa "
                        "frutta più o meno allo stesso prezzo."),
         65, Informa},
        {QStringLiteral("Per esempio, quando gli aranceti danno moltissime arance, l'offerta "
                        "(le arance in vendita) supera la domanda (quelle che la gente vuole "
                        "comprare), e il prezzo scende."), 70, Esemplifica},
        {QStringLiteral("Un altro esempio: se una gelata rovina le fragole, la domanda supera "
                        "l'offerta, perché molti le cercano ma ce ne sono poche, e il prezzo "
                        "sale."), 65, Esemplifica},
    }});

    // 6. Demography: a low birth rate and what follows from it. Only the
    // term the passage uses is defined at the end.
    c.texts.append({QStringLiteral("Il tasso di natalità.."), std::nullopt, {
        {QStringLiteral("Il tasso di natalità, in Italia, è da anni tra i più bassi d'Europa "
                        "e ogni anno il numero dei morti supera quello dei nati."), 60, Informa},
        {QStringLiteral("Di conseguenza, la popolazione italiana tende a diminuire e a "
                        "invecchiare: ci sono sempre meno giovani e sempre più anziani."), 70, Conseguenza},
        {QStringLiteral("Supponiamo che questa situazione continui per molti anni..."), 65, Ipotizza},
        {QStringLiteral("...che cosa dovrebbe fare l'Italia per avere abbastanza lavoratori e "
                        "pagare le pensioni?"), 70, Problema},
        {QStringLiteral("Non potrebbe far altro che aiutare le famiglie ad avere figli e "
                        "accogliere lavoratori stranieri."), 65, Spiega},
        {QStringLiteral("(Il tasso di natalità è il numero dei bambini nati in un anno ogni "
                        "mille abitanti.)"), 70, Definisce},
    }});

    // 7. Geography: the high and the low plain, and their waters. The
    // springs of the low plain are fed by the water that soaked into the
    // gravel of the high plain.
    c.texts.append({QStringLiteral("Bisogna cercare.."), std::nullopt, {
        {QStringLiteral("Bisogna cercare di capire perché la pianura alta è spesso arida, "
                        "mentre quella bassa è ricca d'acqua."), 60, Problema},
        {QStringLiteral("Tutto dipende dal modo in cui i fiumi, uscendo dai monti, hanno deposto "
                        "i detriti: prima la ghiaia e i ciottoli, più pesanti, poi la sabbia e, "
                        "più lontano, l'argilla finissima."), 70, Spiega},
        {QStringLiteral("La pianura alta si stende ai piedi dei monti ed è fatta di ghiaia e "
                        "sabbia; la bassa arriva fino al mare ed è fatta di argilla."), 65, Informa},
        {QStringLiteral("Di conseguenza, nella pianura alta la pioggia filtra subito tra i "
                        "sassi e scende in profondità: i campi restano asciutti."), 70, Conseguenza},
        {QStringLiteral("Perciò l'acqua filtrata sotto la pianura alta scorre sottoterra e, "
                        "dove incontra l'argilla, risale e forma sorgenti."), 65, Conseguenza},
        {QStringLiteral("Per esempio, nella Pianura Padana una lunga fila di queste sorgenti "
                        "attraversa la Lombardia e il Veneto: la loro acqua non gela d'inverno "
                        "e serviva a irrigare i prati."), 70, Esemplifica},
    }});

    // 8. History: the peasants of Sicily in 1860.
    c.texts.append({QStringLiteral("Hai letto.."), std::nullopt, {
        {QStringLiteral("Hai letto (vedi cap. 8) che nel 1860 Garibaldi sbarcò in Sicilia con "
                        "i Mille e liberò l'isola dai Borbone."), 60, Richiama},
        {QStringLiteral("Nei mesi seguenti, sperando di avere finalmente un campo tutto loro, "
                        "in molti paesi i contadini occuparono le terre dei grandi proprietari "
                        "e in qualche caso assalirono le loro case."), 70, Informa},
        {QStringLiteral("Ci si può chiedere perché i garibaldini fermarono con la forza "
                        "quelle rivolte."), 65, Problema},
        {QStringLiteral("Si potrebbe magari pensare che a Garibaldi non importasse nulla dei "
                        "poveri."), 70, Ipotizza},
        {QStringLiteral("Appena sbarcato, Garibaldi aveva promesso ai contadini una parte "
                        "delle terre dei Comuni e aveva abolito la tassa sul macinato, che "
                        "rendeva più caro il pane dei poveri."), 65, Informa},
        {QStringLiteral("In realtà le rivolte furono fermate per non perdere l'appoggio dei "
                        "grandi proprietari, senza il quale l'impresa non poteva "
                        "continuare."), 70, Spiega},
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

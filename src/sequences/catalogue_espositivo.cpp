#include "sequences/catalogue.h"

// The eight expository passages. Every passage is our own, written for pupils
// of 11 to 14; facts are kept at school level and numbers stay generic.
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
        {QStringLiteral("Questa politica ebbe effetti disastrosi sulle finanze del regno: quando "
                        "Luigi XVI salì al trono, nel 1774, le casse dello Stato erano vuote e i "
                        "debiti enormi."),
         70, Conseguenza},
        {QStringLiteral("Il Ministro delle finanze gli suggerì allora di far pagare le tasse "
                        "anche ai nobili e al clero, ma le due classi si opposero con forza e il "
                        "re non riuscì a imporre la riforma."), 70, Informa},
        {QStringLiteral("Come sai, queste erano classi privilegiate: per antica tradizione "
                        "non pagavano quasi nessuna imposta, e il peso delle tasse ricadeva "
                        "tutto su contadini, artigiani e borghesi."),
         70, Richiama},
    }});

    // 2. Earth science: oceanic and continental crust meeting.
    c.texts.append({QStringLiteral("La terra è ricoperta.."), own, {
        {QStringLiteral("La Terra è ricoperta da due tipi di crosta: quella oceanica, sottile "
                        "e pesante, che forma il fondo dei mari, e quella continentale, più spessa "
                        "e leggera."), 60, Informa},
        {QStringLiteral("Se le due croste, muovendosi, si scontrano,..."), 70, Ipotizza},
        {QStringLiteral("per via del diverso peso, cioè della diversa densità,..."), 65, Spiega},
        {QStringLiteral("...quella più densa (crosta oceanica) si piega e scivola sotto l'altra, "
                        "sprofondando lentamente nel mantello."), 65, Conseguenza},
        {QStringLiteral("Succede proprio questo ad Ovest del Sud America, dove il fondo del "
                        "Pacifico si infila sotto il continente,..."), 70, Esemplifica},
        {QStringLiteral("dando vita ad una profonda fossa marina e alla catena delle Ande, "
                        "ricca di vulcani e scossa spesso da terremoti."), 65, Conseguenza},
    }});

    // 3. History: the walled villages of the first farmers.
    c.texts.append({QStringLiteral("Spesso i villaggi.."), own, {
        {QStringLiteral("Spesso i villaggi erano circondati da un fossato e da una palizzata "
                        "di tronchi appuntiti, a volte anche da un muro di pietre con una sola "
                        "porta d'ingresso."), 60, Informa},
        {QStringLiteral("La spiegazione più plausibile individuata dagli studiosi è che i "
                        "contadini dovessero difendere i raccolti, le provviste e il bestiame "
                        "dagli attacchi dei predoni."),
         70, Ipotizza},
        {QStringLiteral("Ma chi potevano essere gli aggressori?"), 65, Problema},
        {QStringLiteral("I più temibili nemici dei contadini erano i pastori nomadi, che "
                        "vagavano con le greggi e in tempo di fame assalivano i villaggi per "
                        "rubare cibo e animali."), 70, Informa},
    }});

    // 4. Earth science: two continental plates colliding.
    c.texts.append({QStringLiteral("Ora dobbiamo.."), own, {
        {QStringLiteral("Ora dobbiamo capire il motivo per cui, in certe zone della Terra, lo "
                        "scontro tra due zolle non apre fosse marine ma fa nascere montagne "
                        "altissime."), 60, Problema},
        {QStringLiteral("E' importante sapere che la Crosta continentale è leggera: non può "
                        "sprofondare nel mantello come quella oceanica."), 70, Informa},
        {QStringLiteral("Pertanto quando due zolle sono entrambe continentali e si scontrano, "
                        "le rocce si piegano, si accavallano e si sollevano in catene montuose."), 65, Conseguenza},
        {QStringLiteral("Per capire meglio, pensa ad un tappeto spinto contro un muro: si "
                        "solleva e si arriccia in tante pieghe. Così sono nate le Alpi e "
                        "l'Himalaya."), 70, Esemplifica},
    }});

    // 5. Economics: prices, supply and demand.
    c.texts.append({QStringLiteral("Chi va spesso.."), std::nullopt, {
        {QStringLiteral("Chi va spesso a fare la spesa sa che i prezzi cambiano: le fragole "
                        "costano poco a maggio e molto a dicembre."), 60, Informa},
        {QStringLiteral("Si potrebbe spiegare la variazione pensando che i negozianti decidano "
                        "i prezzi a capriccio."), 70, Ipotizza},
        {QStringLiteral("Ma le cose non stanno così. Il prezzo nasce dall'incontro tra l'offerta "
                        "e la domanda: conta quanta merce c'è e quanti la vogliono."),
         65, Informa},
        {QStringLiteral("Per esempio se un'azienda produce troppe arance e i clienti non bastano, "
                        "deve abbassare il prezzo per venderle tutte prima che vadano a male."), 70, Esemplifica},
        {QStringLiteral("Invece quando la domanda supera l'offerta, come per un gioco di moda a "
                        "Natale, i negozi possono alzare il prezzo."), 65, Esemplifica},
    }});

    // 6. Demography: a low birth rate and what follows from it.
    c.texts.append({QStringLiteral("Il tasso di natalità.."), std::nullopt, {
        {QStringLiteral("Il tasso di natalità, in Italia, è da anni tra i più bassi d'Europa: "
                        "nascono pochi bambini."), 60, Informa},
        {QStringLiteral("Ciò significa che il saldo naturale è negativo: ogni anno i morti "
                        "superano i nati e la popolazione invecchia."), 70, Conseguenza},
        {QStringLiteral("Se questa situazione dovesse perdurare..."), 65, Ipotizza},
        {QStringLiteral("...cosa dovrebbe fare l'Italia per avere abbastanza lavoratori e "
                        "pagare le pensioni?"), 70, Problema},
        {QStringLiteral("Non potrebbe far altro che aiutare le famiglie ad avere figli e "
                        "accogliere lavoratori stranieri."), 65, Spiega},
        {QStringLiteral("(Il tasso di natalità e quello di mortalità indicano quanti sono i "
                        "nati e i morti in un anno ogni mille abitanti.)"), 70, Definisce},
    }});

    // 7. Geography: the high and the low plain, and their waters.
    c.texts.append({QStringLiteral("Bisogna cercare.."), std::nullopt, {
        {QStringLiteral("Bisogna cercare di capire perché la pianura alta è spesso arida, "
                        "mentre quella bassa è ricca d'acqua."), 60, Problema},
        {QStringLiteral("Tutto dipende dal modo in cui i fiumi, uscendo dai monti, hanno deposto "
                        "i detriti: prima i sassi più pesanti, poi la sabbia e infine il fango."), 70, Spiega},
        {QStringLiteral("Mentre la pianura alta è formata da ghiaia, che lascia passare "
                        "l'acqua, la bassa è fatta di argilla, che la trattiene."), 65, Informa},
        {QStringLiteral("Ciò fa sì che nella pianura alta la pioggia sparisca nel sottosuolo "
                        "e i campi restino asciutti."), 70, Conseguenza},
        {QStringLiteral("Al contrario, nella pianura bassa l'acqua, fermata dall'argilla, risale "
                        "e forma sorgenti dette fontanili."), 65, Conseguenza},
        {QStringLiteral("Per verificare prendi due vasi identici. Bucali sul fondo, riempi il primo "
                        "di ghiaia e il secondo di argilla e versa l'acqua: dal primo esce "
                        "subito, dal secondo quasi niente."), 70, Esemplifica},
    }});

    // 8. History: the peasants of Sicily in 1860.
    c.texts.append({QStringLiteral("Hai letto.."), std::nullopt, {
        {QStringLiteral("Hai letto (vedi cap. 8) che nel 1860 Garibaldi sbarcò in Sicilia con "
                        "i Mille e liberò l'isola dai Borbone."), 60, Richiama},
        {QStringLiteral("Ma non sempre le cose andarono come speravano i contadini siciliani, che "
                        "aspettavano di ricevere finalmente le terre dei grandi proprietari."), 70, Informa},
        {QStringLiteral("Ci si può chiedere perché i garibaldini fermarono con la forza le "
                        "loro rivolte."), 65, Problema},
        {QStringLiteral("Si potrebbe magari pensare che a Garibaldi non importasse nulla dei "
                        "poveri."), 70, Ipotizza},
        {QStringLiteral("Ma le cose non stanno così. Garibaldi aveva promesso le terre, "
                        "ma quando a Bronte i contadini si ribellarono mandò Nino Bixio, che "
                        "represse la rivolta con durezza..."), 65, Informa},
        {QStringLiteral("...per non perdere il sostegno dei proprietari, senza i quali "
                        "l'impresa non poteva andare avanti."), 70, Spiega},
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

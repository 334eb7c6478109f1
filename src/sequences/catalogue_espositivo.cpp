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
        {QStringLiteral("Se le due croste, muovendosi, si scontrano..."), 70, Ipotizza},
        {QStringLiteral("per via del diverso peso, cioè della diversa densità..."), 65, Spiega},
        {QStringLiteral("...quella più densa (crosta oceanica) si piega e scivola sotto l'altra, "
                        "sprofondando lentamente nel mantello."), 65, Conseguenza},
        {QStringLiteral("Succede proprio questo a ovest del Sud America, dove il fondo del "
                        "Pacifico si infila sotto il continente..."), 70, Esemplifica},
        {QStringLiteral("dando vita a una profonda fossa marina e alla catena delle Ande, "
                        "ricca di vulcani e scossa spesso da terremoti."), 65, Conseguenza},
    }});

    // 3. History: the walled villages of the first farmers.
    c.texts.append({QStringLiteral("Spesso i villaggi.."), own, {
        {QStringLiteral("Spesso i villaggi erano circondati da un fossato e da una palizzata "
                        "di tronchi appuntiti, a volte anche da un muro di pietre con una sola "
                        "porta d'ingresso."), 60, Informa},
        {QStringLiteral("Si può supporre che i contadini avessero paura di qualcuno: forse "
                        "dovevano proteggere i raccolti, le provviste e il bestiame dagli "
                        "attacchi di altri uomini."),
         70, Ipotizza},
        {QStringLiteral("Ma chi potevano essere gli aggressori?"), 65, Problema},
        {QStringLiteral("Negli scavi gli archeologi hanno trovato punte di freccia di selce "
                        "conficcate nei pali delle palizzate e, vicino alle porte, scheletri "
                        "con ferite di ascia."), 70, Informa},
    }});

    // 4. Earth science: two continental plates colliding.
    c.texts.append({QStringLiteral("Ora dobbiamo.."), own, {
        {QStringLiteral("Ora dobbiamo capire che cosa succede quando a scontrarsi sono due "
                        "zolle che portano entrambe un continente."), 60, Problema},
        {QStringLiteral("È importante sapere che la crosta continentale è molto più spessa "
                        "e più leggera di quella oceanica."), 70, Informa},
        {QStringLiteral("Di conseguenza, nello scontro nessuna delle due zolle sprofonda nel "
                        "mantello: le rocce si piegano, si accavallano e si sollevano in "
                        "catene di montagne."), 65, Conseguenza},
        {QStringLiteral("Per esempio, le Alpi sono nate dallo scontro tra la zolla africana "
                        "e quella europea, e l'Himalaya dall'urto tra la zolla indiana e "
                        "quella asiatica."), 70, Esemplifica},
    }});

    // 5. Economics: prices, supply and demand.
    c.texts.append({QStringLiteral("Chi va spesso.."), std::nullopt, {
        {QStringLiteral("Chi va spesso al mercato nota che i prezzi della frutta e della "
                        "verdura cambiano molto da una stagione all'altra e perfino da una "
                        "settimana all'altra."), 60, Informa},
        {QStringLiteral("Qualcuno potrebbe supporre che i negozianti decidano i prezzi a caso, "
                        "secondo il loro umore."), 70, Ipotizza},
        {QStringLiteral("In realtà, nella stessa settimana, i fruttivendoli di una città "
                        "vendono la stessa frutta più o meno allo stesso prezzo e, quando "
                        "cambia la stagione, lo cambiano tutti insieme."),
         65, Informa},
        {QStringLiteral("Per esempio, in un anno in cui gli alberi danno troppe arance, i "
                        "coltivatori devono abbassare il prezzo per venderle tutte prima che "
                        "vadano a male."), 70, Esemplifica},
        {QStringLiteral("Un altro esempio: quando a Natale un gioco va di moda e tutti lo "
                        "cercano, i negozi ne alzano il prezzo e lo vendono lo stesso."), 65, Esemplifica},
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
        {QStringLiteral("Nella pianura bassa, di conseguenza, l'acqua fermata dall'argilla non "
                        "può scendere: risale in superficie e forma sorgenti."), 65, Conseguenza},
        {QStringLiteral("Per verificare, prendi due vasi identici. Bucali sul fondo, riempi il primo "
                        "di ghiaia e il secondo di argilla e versa l'acqua: dal primo esce "
                        "subito, dal secondo quasi niente."), 70, Esemplifica},
    }});

    // 8. History: the peasants of Sicily in 1860.
    c.texts.append({QStringLiteral("Hai letto.."), std::nullopt, {
        {QStringLiteral("Hai letto (vedi cap. 8) che nel 1860 Garibaldi sbarcò in Sicilia con "
                        "i Mille e liberò l'isola dai Borbone."), 60, Richiama},
        {QStringLiteral("Ma non sempre le cose andarono come speravano i contadini siciliani: "
                        "aspettavano le terre dei grandi proprietari e in molti paesi, stanchi "
                        "di attendere, si ribellarono."), 70, Informa},
        {QStringLiteral("Ci si può chiedere perché i garibaldini fermarono con la forza "
                        "quelle rivolte."), 65, Problema},
        {QStringLiteral("Si potrebbe magari pensare che a Garibaldi non importasse nulla dei "
                        "poveri."), 70, Ipotizza},
        {QStringLiteral("Ma le cose non stanno così. Garibaldi aveva promesso le terre ai "
                        "contadini e abolito la tassa sulla macinatura del grano; eppure, "
                        "a Bronte, mandò Nino Bixio a reprimere la rivolta con durezza..."), 65, Informa},
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

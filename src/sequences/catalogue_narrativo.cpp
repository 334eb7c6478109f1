// SPDX-License-Identifier: GPL-3.0-or-later
#include "sequences/catalogue.h"

// The eight narrative passages: short stories of our own for pupils of 11 to
// 14. Each sequence is written to be clearly of its type: dialogues carry
// direct speech (always between « and »), descriptions dwell on places and
// people, reflections on thoughts, narrative sequences on actions; and each
// sequence opens in its own voice, so that its first sentence does not point
// to another type.
//
// As with the expository passages, the wording is tuned so that every row
// wraps within its computed height and each passage fits above the type
// labels; tst_catalogues checks both.

namespace morvello {

namespace {

const QString Narrativa = QStringLiteral("Narrativa");
const QString Descrittiva = QStringLiteral("Descrittiva");
const QString Dialogica = QStringLiteral("Dialogica");
const QString Riflessiva = QStringLiteral("Riflessiva");

Catalogue build()
{
    Catalogue c;
    c.types = {Narrativa, Descrittiva, Dialogica, Riflessiva};

    const QString own = QStringLiteral("Testo proprio");

    // 1. Two friends slip out of the house at dusk.
    c.texts.append({QStringLiteral("Una volta fuori.."), own, {
        {QStringLiteral("Una volta fuori, i due amici accostarono piano la porta e scesero in "
                        "punta di piedi i gradini del portico, attenti a non far scricchiolare "
                        "il legno."), 70, Narrativa},
        {QStringLiteral("Il facile successo della prima parte del piano li rendeva allegri, ma "
                        "Nando pensava che il difficile dovesse ancora venire: e se il guardiano "
                        "del frutteto fosse stato sveglio?"), 70, Riflessiva},
        {QStringLiteral("Calava la sera e la piccola piazza era deserta: le finestre accese "
                        "disegnavano quadrati gialli sulle pietre della strada e il campanile "
                        "allungava un'ombra scura."), 70, Descrittiva},
        {QStringLiteral("Silenziosamente i due amici attraversarono la piazza e scavalcarono il "
                        "muretto del frutteto: la casetta del guardiano era buia. Allora corsero "
                        "giù per il sentiero che portava al fiume."), 70, Narrativa},
        {QStringLiteral("Davanti a loro si levavano i pioppi della riva, alti e neri contro il "
                        "cielo viola; l'acqua scorreva lenta, luccicando qua e là, e l'aria "
                        "sapeva di erba bagnata."), 70, Descrittiva},
    }});

    // 2. An old prospector digs out his treasure; a boy he does not know runs
    //    to warn him that a bandit has seen it from the pass.
    c.texts.append({QStringLiteral("Strisciò fuori.."), own, {
        {QStringLiteral("Strisciò fuori dalla buca e discese il pendio fino al torrente, dove "
                        "riempì d'acqua il cappello e bevve a lunghi sorsi; poi tornò su, "
                        "vicino al mulo legato a un albero."), 60, Narrativa},
        {QStringLiteral("La camicia aperta lasciava vedere il petto magro e bruciato dal sole; "
                        "la barba grigia era sporca di terra e le mani tremavano per la fatica. "
                        "Accanto a lui, su un sasso, c'era il vecchio fucile."),
         70, Descrittiva},
        {QStringLiteral("Fece un nodo robusto alla corda, la legò al manico della cassa rimasta "
                        "in fondo alla buca e tirò con tutte le forze, finché la vecchia cassa "
                        "non uscì dal fango."), 65, Narrativa},
        {QStringLiteral("«Mi ha sparato, ma mi ha mancato!» ansimò un ragazzo sbucando dai "
                        "cespugli. «Chi?» chiese il cercatore. «Il bandito del passo!» rispose il "
                        "ragazzo. «Ti ha visto tirar fuori la cassa e sta scendendo. Nascondila, "
                        "presto!»"),
         70, Dialogica},
        {QStringLiteral("Quando il suo tesoro fu nascosto sotto un mucchio di rami secchi, il "
                        "cercatore caricò il fucile, fece salire il ragazzo sul mulo e "
                        "insieme scesero in fretta verso il villaggio."), 65, Narrativa},
    }});

    // 3. A girl out fishing with her mother learns that a fish must be
    //    landed quickly and killed without cruelty.
    c.texts.append({QStringLiteral("Non è facile.."), own, {
        {QStringLiteral("Non è facile ammazzare un pesce, pensavo, quando lo senti guizzare "
                        "vivo sulla lenza: anche a un pescatore un po' dispiace, e io non ero "
                        "ancora una vera pescatrice."), 60, Riflessiva},
        {QStringLiteral("Mi appoggiai saldamente al bordo della barca e tirai su la lenza con "
                        "tutte e due le mani, finché il grosso branzino non venne a galla "
                        "vicino a me."),
         70, Narrativa},
        {QStringLiteral("Quando sta per morire, un pesce può saltare con una forza che non ti aspetti: "
                        "me l'aveva detto la mamma, e ora lo capivo. Dovevo "
                        "fare presto, per non perderlo e per non farlo soffrire."),
         65, Riflessiva},
        {QStringLiteral("Mi inginocchiai piano sul fondo della barca, lo feci scivolare nel "
                        "retino e, come mi aveva insegnato la mamma, gli diedi un colpo secco "
                        "sulla testa. Lei sorrise e accese il motore."), 70, Narrativa},
    }});

    // 4. Summer 1945: Massimo walks home from the war.
    c.texts.append({QStringLiteral("Massimo, vedendo.."), own, {
        {QStringLiteral("Massimo, vedendo la strada bianca che saliva tra i campi, saltò giù "
                        "dal carro che l'aveva portato dalla stazione, salutò il contadino e si "
                        "mise in spalla lo zaino da soldato."), 60, Narrativa},
        {QStringLiteral("Il sole, nel cielo limpido, batteva sulla ghiaia e la rendeva "
                        "abbagliante; ai lati i girasoli piegavano la testa e le cicale "
                        "cantavano senza sosta tra le viti."), 73, Descrittiva},
        {QStringLiteral("Mosse i primi passi su quella polvere chiara, poi rallentò, si tolse "
                        "il berretto e si fermò all'ombra di una grande quercia."), 65, Narrativa},
        {QStringLiteral("Era come se volesse gustare ogni istante di quel ritorno: per tre anni "
                        "di guerra aveva sognato quella strada e ora si chiedeva se a casa "
                        "qualcuno lo stesse ancora aspettando."), 70, Riflessiva},
        {QStringLiteral("Riprese a camminare, attraversò il ponticello sul fosso e spinse il "
                        "cancello: nel cortile sua madre lasciò cadere la cesta dei panni e gli "
                        "corse incontro."), 70, Narrativa},
    }});

    // 5. Massimo, a city cat, loses a hunt on the rooftops.
    c.texts.append({QStringLiteral("Massimo riaprì.."), own, {
        {QStringLiteral("Massimo riaprì gli occhi e li richiuse subito, abbagliato; poi si "
                        "stiracchiò, si leccò una zampa e saltò dal balcone sul tetto del "
                        "palazzo vicino."), 60, Narrativa},
        {QStringLiteral("Il sole stava per nascondersi dietro i palazzi: le tegole erano "
                        "ancora tiepide, le antenne disegnavano righe nere sul cielo arancione "
                        "e giù in strada i motorini ronzavano come vespe."), 70, Descrittiva},
        {QStringLiteral("Non poté osservare a lungo quello spettacolo: un piccione si posò "
                        "sulla grondaia. Massimo si abbassò e balzò, ma il piccione volò via "
                        "e lui scivolò giù, dritto nei gerani del balcone di sotto."), 70, Narrativa},
        {QStringLiteral("La rabbia prese presto il posto della vergogna: quel piccione "
                        "grasso, pensava Massimo, l'aveva fatto apposta, e prima o poi "
                        "gliel'avrebbe fatta pagare."), 70, Riflessiva},
        {QStringLiteral("Tornò lentamente verso casa, rientrò dalla finestra della cucina e si "
                        "acciambellò sul divano, con una foglia di geranio ancora attaccata "
                        "all'orecchio."),
         65, Narrativa},
    }});

    // 6. A visit to an old aunt and her garden.
    c.texts.append({QStringLiteral("Parcheggiai l'auto.."), own, {
        {QStringLiteral("Parcheggiai l'auto sul prato davanti alla casa di zia Olga e scesi in "
                        "fretta: lei mi aspettava già sulla porta."), 60, Narrativa},
        {QStringLiteral("Non volevo che la mia fretta di aiutarla sembrasse pietà: la zia era orgogliosa "
                        "e, pensavo, le sarebbe dispiaciuto molto sentirsi trattata come una malata."),
         70, Riflessiva},
        {QStringLiteral("La sua mano sinistra stringeva un bastone di legno scuro, lucido per "
                        "l'uso; portava un grembiule a fiori e i capelli bianchi erano raccolti "
                        "sulla nuca."), 70, Descrittiva},
        {QStringLiteral("Non mostrai di accorgermi del bastone e la salutai con un bacio; poi "
                        "presi la borsa della spesa e la seguii nell'orto dietro la casa."), 70, Narrativa},
        {QStringLiteral("L'aria era fresca e umida. Le foglie dei cavoli erano coperte di "
                        "gocce, lungo il muro salivano le rose e in fondo un fico allargava "
                        "i rami."), 65, Descrittiva},
    }});

    // 7. A grandfather, an old French cabinet and a family secret.
    c.texts.append({QStringLiteral("Il vecchio mobile.."), own, {
        {QStringLiteral("Il vecchio mobile francese, che avevo visto una volta sola, occupava un "
                        "angolo della soffitta: era di noce scuro, "
                        "con le gambe ricurve e due ante intagliate a foglie."), 70, Descrittiva},
        {QStringLiteral("Il nonno salì lentamente le scale, aprì la porta della soffitta e accese la "
                        "lampadina; poi si voltò verso di me."), 70, Narrativa},
        {QStringLiteral("«Vieni su» mi disse con voce seria. «Che cosa c'è, nonno?» gli "
                        "chiesi. «Una cosa che devi vedere» rispose. «È ora che tu la "
                        "conosca.»"), 65, Dialogica},
        {QStringLiteral("Chissà cosa aveva in mente. Pensai a un regalo, poi a un segreto di "
                        "famiglia, e mi domandai perché avesse aspettato proprio quel giorno per "
                        "mostrarmelo."),
         70, Riflessiva},
        {QStringLiteral("Mi avvicinai alle scale, salii i gradini a due a due ed entrai in "
                        "soffitta; il nonno girò la chiave e aprì piano le ante."), 65, Narrativa},
    }});

    // 8. A boy tries to ride his bicycle along the shore.
    c.texts.append({QStringLiteral("Benché il sole.."), own, {
        {QStringLiteral("Benché il sole non avesse ancora asciugato la rugiada e l'aria fosse "
                        "fresca, presi la bicicletta e scesi verso la spiaggia, dove il mio amico "
                        "Sandro mi aspettava già."), 60, Narrativa},
        {QStringLiteral("«Ma che fai? Perché te la porti sulla sabbia?» rise Sandro. «Voglio "
                        "pedalare sulla riva: la sabbia bagnata è dura come una strada» risposi. "
                        "«Sei proprio matto!» disse lui."), 70, Dialogica},
        {QStringLiteral("Corsi sulla sabbia spingendo la bicicletta, arrivai al bagnasciuga e "
                        "salii in sella."), 65, Narrativa},
        {QStringLiteral("Ormai non ero più così sicuro della mia idea: e se fossi caduto proprio "
                        "davanti a lui? Sandro mi avrebbe preso in giro per tutta l'estate, ne ero "
                        "certo."),
         70, Riflessiva},
        {QStringLiteral("Feci poche pedalate. La ruota davanti affondò, la bici sbandò e io "
                        "finii nell'acqua bassa tra le risate di Sandro."), 65, Narrativa},
        {QStringLiteral("In quel tratto di riva la sabbia era molle e scura, piena di alghe e "
                        "di conchiglie rotte; le onde la coprivano di schiuma e, su un sasso, un "
                        "granchio pareva ridere anche lui."), 65, Descrittiva},
    }});

    return c;
}

} // namespace

const Catalogue &narrativeCatalogue()
{
    static const Catalogue catalogue = build();
    return catalogue;
}

} // namespace morvello

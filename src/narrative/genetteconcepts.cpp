// SPDX-License-Identifier: GPL-3.0-or-later
#include "genetteconcepts.h"

namespace morvello {

QString GenetteConcept::exerciseFile(int i) const
{
    return QStringLiteral("permorvello\\genette\\%1%2.rtf").arg(filePrefix).arg(i);
}

namespace {

QVector<GenetteConcept> buildConcepts()
{
    QVector<GenetteConcept> c;
    c.append({QStringLiteral("CmdOrdine"), QStringLiteral("Ordine"), QStringLiteral("Ordine"),
              QStringLiteral("ORDINE"), QStringLiteral("ordine"),
              QStringLiteral("PROBLEMA: il RACCONTO procede rispettando l'ordine cronologico della STORIA, oppure "
                             "presenta delle ANACRONIE, cioè narra fatti precedenti (ANALESSI) o posteriori "
                             "(PROLESSI)?"),
              {QStringLiteral("Il racconto segue un ordine cronologico coerente"),
               QStringLiteral("C'è una Anacronia, l'ANALESSI: si racconta qualcosa di precedente"),
               QStringLiteral("C'è una Anacronia, la PROLESSI: si racconta qualcosa di successivo")},
              {1, 2, 1, 0, 2, 0, 1, 0, 2}});
    c.append({QStringLiteral("CmdDurata"), QStringLiteral("Durata"), QStringLiteral("Durata"),
              QStringLiteral("DURATA"), QStringLiteral("durata"),
              QStringLiteral("Il TEMPO della STORIA indica il tempo che scorre nella vicenda narrata; il TEMPO del "
                             "RACCONTO indica quante righe, pagine si scrivono per raccontare i fatti narrati. "
                             "PROBLEMA: QUAL E' IL RAPPORTO TRA TS E TR?"),
              {QStringLiteral("PAUSA: si fermano l'azione e il tempo della storia; di solito si descrive... TS<TR"),
               QStringLiteral("SCENA: il tempo della STORIA corrisponde circa al tempo del RACCONTO.TS=TR"),
               QStringLiteral("SOMMARIO: in poche righe o pagine (tempo del racconto), si narrano fatti successi in "
                              "giorni, mesi, anni (tempo della storia) TS>TR"),
               QStringLiteral("ELLISSI: passa del tempo sul quale non si racconta niente. TS>>TR")},
              {0, 0, 2, 1, 3, 1, 1, 2, 3, 0, 2, 3}});
    c.append({QStringLiteral("CmdFrequenza"), QStringLiteral("Frequenza"), QStringLiteral("Frequenza"),
              QStringLiteral("FREQUENZA"), QStringLiteral("frequenza"),
              QStringLiteral("Nella nostra vita, compiamo azioni uniche ed irripetibili ED azioni frequentemente "
                             "ripetute. PROBLEMA: vengono raccontate azioni uniche (SINGOLATIVE) od azioni "
                             "ripetutamente compiute (ITERATIVE)?"),
              {QStringLiteral("RACCONTO SINGOLATIVO: si racconta una sola volta ciò che è successo una volta."),
               QStringLiteral("RACCONTO ITERATIVO: si racconta una sola volta ciò che è successo più volte.")},
              {0, 1, 1, 0, 1, 0, 1, 0, 1}});
    c.append({QStringLiteral("CmdDistanza"), QStringLiteral("Distanza"), QStringLiteral("Distanza"),
              QStringLiteral("DISTANZA"), QStringLiteral("distanza"),
              QStringLiteral("PROBLEMA: con quanta fedeltà i narratori riferiscono le parole ed i pensieri dei "
                             "protagonisti? Quanto sono vicini alle loro parole? Quanto se ne allontanano?"),
              {QStringLiteral("DISCORSO INDIRETTO: il narratore non riferisce le parole esatte o i pensieri del "
                              "protagonista, ma li racconta."),
               QStringLiteral("DISCORSO TRASPOSTO, con verbo dichiarativo (il narratore s'incarica di riferire le "
                              "parole od i pensieri del protagonista e glieli assegna"),
               QStringLiteral("DISCORSO TRASPOSTO, senza verbo dichiarativo (DISCORSO INDIRETTO LIBERO). Il "
                              "narratore riferisce le parole od i pensieri del protagonista ma non glieli assegna"),
               QStringLiteral("DISCORSO DIRETTO (Dialogo, o dialogo interiore). Il narratore lascia la scena "
                              "direttamente ai protagonisti.")},
              {3, 0, 1, 1, 2, 2, 3, 2, 0, 1, 3, 0, 1, 2}});
    c.append({QStringLiteral("CmdProspettiva"), QStringLiteral("Prospettiva"), QStringLiteral("Prospettiva"),
              QStringLiteral("PROSPETTIVA"), QStringLiteral("prospettiva"),
              QStringLiteral("PROBLEMA: chi VEDE ciò che viene narrato?"),
              {QStringLiteral("RACCONTO NON FOCALIZZATO: è il narratore che vede; egli sa più dei personaggi; "
                              "(narratore onnisciente)."),
               QStringLiteral("RACCONTO A FOCALIZZAZIONE INTERNA: i fatti sono visti attraverso gli occhi di un "
                              "personaggio; il narratore sa ciò che sa il personaggio.")},
              {1, 1, 0, 1, 0, 0, 1, 0}});
    c.append({QStringLiteral("CmdVoce"), QStringLiteral("Voce"), QStringLiteral("Voce"), QStringLiteral("VOCE"),
              QStringLiteral("voce"), QStringLiteral("PROBLEMA: chi racconta i fatti o le parole/pensieri?"),
              {QStringLiteral("NARRATORE ETERODIEGETICO: a raccontare è qualcuno assente dalla storia."),
               QStringLiteral("NARRATORE OMODIEGETICO: OSSERVATORE-TESTIMONE; il narratore è presente nella storia "
                              "come personaggio secondario."),
               QStringLiteral("NARRATORE OMODIEGETICO: PROTAGONISTA. il narratore è presente nella storia come "
                              "personaggio protagonista.")},
              {0, 2, 1, 0, 2, 1, 0, 2, 1}});
    return c;
}

} // namespace

const QVector<GenetteConcept> &genetteConcepts()
{
    static const QVector<GenetteConcept> concepts = buildConcepts();
    return concepts;
}

int genetteConceptIndex(const QString &name)
{
    const QVector<GenetteConcept> &all = genetteConcepts();
    for (int i = 0; i < all.size(); ++i)
        if (all.at(i).concetto == name)
            return i;
    return -1;
}

QStringList genetteExerciseFiles()
{
    QStringList files;
    for (const GenetteConcept &c : genetteConcepts())
        for (int i = 1; i <= c.exercises(); ++i)
            files.append(c.exerciseFile(i));
    return files;
}

} // namespace morvello

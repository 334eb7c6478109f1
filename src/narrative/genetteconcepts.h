// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

namespace morvello {

// The six aspects of narration the narrative-concepts screen trains, with
// their problem statements, answer categories and answer key, written at
// build time from content/genette/catalogo.dati. The texts are shown exactly
// as they stand there, unbalanced brackets and missing final stops included:
// teachers know them in this form.
struct GenetteConcept {
    QString button;   // object name of the concept's button ("CmdOrdine")
    QString buttonCaption; // "Ordine"
    QString concetto; // the value of Concetto ("Ordine")
    QString caption;  // LabConcetto ("ORDINE")
    QString filePrefix; // "ordine": exercise i lives in "permorvello\genette\ordine<i>.rtf"
    QString problem;  // Label3
    QStringList options; // captions of the visible options, 2 to 4
    QVector<int> key; // right option (0-based) of exercises 1..n, at key[i - 1]

    int exercises() const { return int(key.size()); }
    int optionCount() const { return int(options.size()); }
    // Data name of exercise i (1..n).
    QString exerciseFile(int i) const;
};

// Order of the buttons, left to right; also the order in which "Esercizio
// successivo" looks the current concept up.
enum GenetteConceptIndex { Ordine = 0, Durata, Frequenza, Distanza, Prospettiva, Voce, GenetteConceptCount };

const QVector<GenetteConcept> &genetteConcepts();

// Index of the concept whose Concetto value is name (exact match); -1 when none.
int genetteConceptIndex(const QString &name);

// Every exercise file of every concept, in button order then by number.
QStringList genetteExerciseFiles();

} // namespace morvello

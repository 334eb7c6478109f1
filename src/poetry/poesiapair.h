// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "poetry/poesiaexercise.h"

#include <QObject>
#include <QTextDocumentFragment>

namespace morvello {

// What the two poetry screens share, owned by the host for the whole run and
// given to both: the exercise, and the poem as the poem screen shows it (for
// the questions screen's review). Each screen says what it changed; the other
// listens, so neither reaches into the other's controls.
class PoesiaPair : public QObject
{
    Q_OBJECT
public:
    // The key the host keeps it under.
    static QString key() { return QStringLiteral("poesia"); }

    PoesiaExercise exercise;
    QTextDocumentFragment poem;
    double poemZoom = 1.0;

    void announcePoem() { emit poemChanged(); }
    // cmdapprof: every question open again, for the questions screen to show.
    void openQuestions()
    {
        exercise.openQuestions();
        emit questionsOpened();
    }
    void announceCounters() { emit countersChanged(); }

signals:
    // A poem was loaded: new option captions and right answers.
    void poemChanged();
    // A check or an answer changed the counters.
    void countersChanged();
    void questionsOpened();
};

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/judgement.h"
#include "genetteconcepts.h"

#include "core/resultgroups.h"

#include <QString>
#include <array>

namespace morvello {

class RandomSource;

// The state and the rules of the narrative-concepts screen: which concept and
// exercise are on display, the answer key of the concept, the options, the
// running score and the right/wrong picture's state. No widgets, so the whole
// activity can be driven without a display; the screen shows what this holds
// and loads the files it names.
//
// Exercise numbers count from 1, as the pupil reads them; options from 0, as
// the screen numbers Option1(0..3).
class GenetteExercise
{
public:
    static constexpr int Slots = 21;    // FileEsercizi and OpzioniGiuste: slots 0..20
    static constexpr int MaxOptions = 4;

    enum class Picture { None, Right, Wrong };

    // What a press of "Esercizio successivo" came to.
    enum class NextOutcome {
        Moved,      // the next exercise is loaded
        NeedAnswer, // no option chosen: the message, nothing changed
    };

    GenetteExercise();

    // Form_Load: "Esercizio successivo" and the timer off, a drawn first
    // exercise (1 to 15; above 9 becomes 4, so 4 comes up most often), then
    // the concept "Ordine".
    void load(RandomSource &random);
    // The first exercise a draw of 1 to 15 leads to.
    static int firstExercise(int draw);

    // A concept button: its options, problem statement and key; the exercise
    // number kept where the concept has it, else 1. Picture, timer, score and
    // "Esercizio successivo" are left as they are.
    void choose(int concept);
    // Option1_Click(index): judged right (a point) or wrong (the option turns
    // red), saving the running score; ignored while the options are disabled
    // or on an option not shown.
    Judgement answer(int index);
    // The passage of this exercise could not be shown: no answer is taken on
    // it, and "Esercizio successivo" moves on without one.
    void passageMissing();
    // CmdSeguente_Click.
    NextOutcome next();
    // The picture's timer has run out (and its animation ended): picture
    // hidden, timer off.
    void pictureTimerDone();

    static QString needAnswerMessage() { return QStringLiteral("Devi fornire una risposta..."); }

    // Screen members.
    int nrEsercizio() const { return m_nrEsercizio; }
    QString concetto() const { return m_concetto; }
    int conceptIndex() const { return m_concept; }
    QString fileEsercizi(int slot) const;
    int opzioniGiuste(int slot) const;
    // The data name of the passage on display.
    QString currentFile() const { return fileEsercizi(m_nrEsercizio); }

    // Controls.
    bool conceptEnabled(int concept) const;
    bool optionsEnabled() const { return m_optionsEnabled; } // Frame2
    bool nextEnabled() const { return m_nextEnabled; }       // CmdSeguente
    bool optionShown(int index) const;
    bool optionChecked(int index) const;
    bool optionRed(int index) const;
    QString optionCaption(int index) const;
    QString problem() const { return m_problem; }            // Label3
    QString labConcetto() const { return m_labConcetto; }
    QString labNrEser() const { return m_labNrEser; }

    // The picture beside the options.
    Picture picture() const { return m_picture; }
    bool pictureShown() const { return m_pictureShown; }
    bool timerEnabled() const { return m_timerEnabled; }

    // The running score (Labpunti, Labtot), never reset during the run, and
    // the whole percentage of right answers handed to the save after each
    // answer.
    int right() const { return m_punti; }
    int total() const { return m_tot; }
    int percent() const;
    Score score() const { return Score{double(m_punti), double(m_tot), double(percent())}; }

private:
    struct Option {
        QString caption;
        bool shown = false;
        bool checked = false;
        bool red = false;
    };

    int m_nrEsercizio = 1;
    int m_concept = -1;
    QString m_concetto;
    std::array<QString, Slots> m_fileEsercizi;
    std::array<qint16, Slots> m_opzioniGiuste{};
    std::array<bool, GenetteConceptCount> m_conceptEnabled{};
    std::array<Option, MaxOptions> m_options;
    bool m_optionsEnabled = true;
    bool m_passageMissing = false;
    bool m_nextEnabled = true;
    QString m_problem;
    QString m_labConcetto;
    QString m_labNrEser;
    Picture m_picture = Picture::None;
    bool m_pictureShown = false;
    bool m_timerEnabled = false;
    int m_punti = 0;
    int m_tot = 0;
};

} // namespace morvello

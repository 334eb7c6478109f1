// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/judgement.h"
#include "core/resultgroups.h"
#include "sequences/catalogue.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <optional>

namespace morvello {

// The state and the rules of a sequence-type exercise, shared by the
// expository and the narrative screen: which passage is on display, the board
// of drop boxes, the answers and the counters. No widgets: the screen shows
// what this holds, so the whole exercise can be driven without a display.
//
// Rows are 0-based (row i shows sequence k = i + 1); the passage's sequences
// are 1-based, as the pupil counts them. Where a row lies is the screen's
// business.
class SequenceExercise
{
public:
    static constexpr int MaxRows = 6;

    // The catalogue must outlive the exercise; a check saves into `group`.
    explicit SequenceExercise(const Catalogue &catalogue, FieldGroup group = FieldGroup::Espositivi);

    const Catalogue &catalogue() const { return m_catalogue; }
    const QStringList &types() const { return m_catalogue.types; }
    QStringList choices() const;

    // Form_Load: text 1 on an empty board, every counter "0".
    void load();
    // Combo1_Click: an exact, case-sensitive match of a chooser entry picks
    // that text; any other text keeps the one on display. Either way the board
    // is emptied and rebuilt and the last-check counters go blank.
    void choose(const QString &choice);
    // Loads text TestoScelto: sequence count, texts, answers and source line.
    // Changes no visibility.
    void archivitesti();

    // Label7_DragDrop: a type dropped on box `row` replaces its caption. Rows
    // outside the passage on display take nothing; returns whether it was taken.
    bool drop(int row, const QString &caption);
    // cmdrisult_Click: refused while a box of the passage is empty, ignored
    // once the board is judged; judged, it counts and says the visit's score.
    Judgement check();

    static QString incompleteMessage() { return QStringLiteral("Devi completare la risposta..."); }

    // The screen members.
    int testoScelto() const { return m_testoScelto; }
    int numSequenze() const { return m_numSequenze; }
    QString testoSequenza(int k) const;
    QString soluzione(int k) const;
    int punteggio() const { return m_punteggio; }

    // The board, row by row.
    bool rowShown(int row) const;
    QString rowText(int row) const;
    // Characters a line of the row's text, as the passage estimates them.
    int rowDivisor(int row) const;
    QString dropCaption(int row) const;
    bool dropWrong(int row) const;
    QString answerCaption(int row) const;
    bool answerShown(int row) const;
    bool checkEnabled() const { return m_checkEnabled; }
    // Caption of the source line; an entry without one leaves it as it was.
    QString sourceLine() const { return m_sourceLine; }

    // The last check (right, sequences); none after a new text is chosen,
    // until it is checked. At load it is 0 of 0.
    std::optional<Score> lastCheck() const { return m_lastCheck; }
    // The whole visit: right answers, sequences and the whole percentage.
    // These are the values saved.
    Score visit() const;

    double savedRight() const { return m_visitRight; }
    double savedTotal() const { return m_visitTotal; }
    int percent() const;

private:
    struct Row {
        QString text;
        int divisor = 70;
        bool shown = false;
        QString drop;
        bool wrong = false;
        QString answer;
        bool answerShown = false;
    };
    void display();
    const CatalogueText *entry() const;

    const Catalogue &m_catalogue;
    FieldGroup m_group;
    int m_testoScelto = 1;
    int m_numSequenze = 0;
    std::array<QString, MaxRows> m_testiSequenze;
    std::array<QString, MaxRows> m_soluzioni;
    int m_punteggio = 0;
    std::array<Row, MaxRows> m_rows;
    bool m_checkEnabled = true;
    QString m_sourceLine;
    std::optional<Score> m_lastCheck = Score{};
    int m_visitRight = 0;
    int m_visitTotal = 0;
};

} // namespace morvello

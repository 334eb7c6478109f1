#pragma once
#include "sequences/catalogue.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

namespace morvello {

// The state and the rules of a sequence-type exercise, shared by the
// expository and the narrative screen: which passage is on display, the board
// of drop boxes, the answers and the counters. No widgets: the screen shows
// what this holds, so the whole exercise can be driven without a display.
//
// Rows are 0-based (row i shows sequence k = i + 1); the passage's sequences
// are 1-based, as the pupil counts them.
class SequenceExercise
{
public:
    static constexpr int MaxRows = 6;
    // Top of the first row on the design surface, in twips.
    static constexpr int FirstRowTop = 120;
    // Height of one text line of a row, in twips.
    static constexpr int LineHeight = 320;

    // What a press of "RISULTATO" came to.
    enum class CheckOutcome {
        Scored,     // judged; counters and colours updated, the result is to be saved
        Incomplete, // a box of the passage is still empty; nothing changed
        NotEnabled, // the board was already judged; nothing changed
    };

    // The catalogue must outlive the exercise.
    explicit SequenceExercise(const Catalogue &catalogue);

    const Catalogue &catalogue() const { return m_catalogue; }
    const QStringList &types() const { return m_catalogue.types; }
    QStringList choices() const;

    // Form_Load: text 1 on an empty board, every counter "0".
    void load();
    // Combo1_Click: an exact, case-sensitive match of a chooser entry picks
    // that text; any other text keeps the one on display. Either way the board
    // is emptied and rebuilt and the last-check counters go blank.
    void choose(const QString &choice);
    // Loads text TestoScelto: sequence count, texts, answers, source line and
    // row heights. Changes no visibility.
    void archivitesti();

    // Label7_DragDrop: a type dropped on box `row` replaces its caption. Rows
    // outside the passage on display take nothing; returns whether it was taken.
    bool drop(int row, const QString &caption);
    // cmdrisult_Click, without the save.
    CheckOutcome check();

    static QString incompleteMessage() { return QStringLiteral("Devi completare la risposta..."); }

    // Height of a text row: one line more than the whole lines the text fills
    // at `divisor` characters a line.
    static int rowHeight(const QString &text, int divisor);
    // Rows stacked without gaps from the first row's top.
    static QVector<int> stackedTops(const QVector<int> &heights, int firstTop = FirstRowTop);

    // The screen members.
    int testoScelto() const { return m_testoScelto; }
    int numSequenze() const { return m_numSequenze; }
    QString testoSequenza(int k) const;
    QString soluzione(int k) const;
    int punteggio() const { return m_punteggio; }

    // The board, row by row.
    bool rowShown(int row) const;
    QString rowText(int row) const;
    int rowTop(int row) const;
    int rowHeightAt(int row) const;
    QString dropCaption(int row) const;
    bool dropWrong(int row) const;
    QString answerCaption(int row) const;
    bool answerShown(int row) const;
    bool checkEnabled() const { return m_checkEnabled; }
    // Caption of the source line; an entry without one leaves it as it was.
    QString sourceLine() const { return m_sourceLine; }

    // Counter captions: Label2 and Label3 the last check (right, sequences),
    // Label6 and Label8 the whole visit.
    QString label2() const { return m_label2; }
    QString label3() const { return m_label3; }
    QString label6() const { return m_label6; }
    QString label8() const { return m_label8; }

    // Values handed to the save, read back from the visit counters: right
    // answers, sequences and the whole percentage of the visit.
    double savedRight() const;
    double savedTotal() const;
    int percent() const;

private:
    struct Row {
        QString text;
        int top = FirstRowTop;
        int height = LineHeight;
        bool shown = false;
        QString drop;
        bool wrong = false;
        QString answer;
        bool answerShown = false;
    };
    void display();
    const CatalogueText *entry() const;

    const Catalogue &m_catalogue;
    int m_testoScelto = 1;
    int m_numSequenze = 0;
    std::array<QString, MaxRows> m_testiSequenze;
    std::array<QString, MaxRows> m_soluzioni;
    int m_punteggio = 0;
    std::array<Row, MaxRows> m_rows;
    bool m_checkEnabled = true;
    QString m_sourceLine;
    QString m_label2 = QStringLiteral("0");
    QString m_label3 = QStringLiteral("0");
    QString m_label6 = QStringLiteral("0");
    QString m_label8 = QStringLiteral("0");
};

} // namespace morvello

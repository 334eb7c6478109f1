// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kit/activityscreen.h"
#include "kit/controls.h"
#include "kit/dropboard.h"
#include "kit/labels.h"
#include "kit/passagelabel.h"
#include "kit/scrollcolumn.h"
#include "sequences/sequenceexercise.h"

#include <QRect>
#include <QVector>
#include <array>

class QPushButton;

namespace morvello {

// A draggable type label: its control name, caption and place.
struct TypeLabelDef {
    QString name;
    QString caption;
    QRect geometry;
};

// A command button: its control name, caption and place.
struct CommandDef {
    QString name;
    QString caption;
    QRect geometry;
};

// Everything in which the expository and the narrative screen differ; the
// rest of the two screens is one and the same.
struct SequenceScreenConfig {
    QString name;    // screen name, also FormChiamante for the archive
    QString caption; // window caption
    QColor background;
    QSize design{11880, 8490};
    const Catalogue *catalogue = nullptr;
    FieldGroup group = FieldGroup::Espositivi;

    // Where the rows may reach: the top of the first control below them.
    int rowsBottom = 5400;

    // Drop boxes Label7(i).
    int dropLeft = 7440;
    int dropWidth = 2295;
    bool dropBold = false;
    bool dropItalic = false;

    // Answer labels, Label18(i) or Label10(i).
    QString answerArray;
    int answerLeft = 9720;
    int answerWidth = 1935;
    bool answerBordered = true;
    Qt::Alignment answerAlignment = Qt::AlignCenter;

    // The type labels and their look.
    QVector<TypeLabelDef> typeLabels;
    QColor typeBackground;

    // Instructions.
    QString instructionsName;
    QRect instructionsGeometry;
    QString instructionsText;

    // Source line.
    QRect sourceGeometry;
    QColor sourceColor;

    // Chooser.
    QRect comboGeometry;
    QColor comboText;
    QString comboPrompt;

    QRect checkGeometry;

    // Counters: the two framing captions and the numbers set into them.
    QRect label4Geometry;
    QString label4Text;
    QRect label5Geometry;
    QString label5Text;
    int rightLeft = 8160;   // Label2, Label6
    int totalLeft = 9000;   // Label3, Label8
    int lastTop = 6000;     // Label2, Label3
    int visitTop = 6240;    // Label6, Label8

    CommandDef menu;
    CommandDef archive;
    CommandDef fine;
    // "Registro il risultato": only the narrative screen has it.
    bool hasRegister = false;
    CommandDef registro;
};

SequenceScreenConfig espositivoConfig();
SequenceScreenConfig sequenzeConfig();

// Where the rows of a passage lie on the design surface, in twips.
namespace sequencerows {
// Top of the first row.
constexpr int FirstTop = 120;
// Height of one text line of a row.
constexpr int LineHeight = 320;
// Height of a text row: one line more than the whole lines the text fills at
// `divisor` characters a line.
int height(const QString &text, int divisor);
// The least height of a row: its box and the gap below it.
constexpr int MinHeight = 555;
// The height a row is given on the screen: its text's, but never less than
// the least height.
int heightWithBox(const QString &text, int divisor);
// Rows stacked without gaps from the first row's top.
QVector<int> stackedTops(const QVector<int> &heights, int firstTop = FirstTop);
} // namespace sequencerows

// The sequence-type exercise screen: passage rows, a board of drop boxes and
// type tiles, answer labels, counters and commands.
class SequenceScreen : public ActivityScreen
{
    Q_OBJECT
public:
    SequenceScreen(const ScreenEnv &env, const SequenceScreenConfig &config, QWidget *parent = nullptr);
    ~SequenceScreen() override;

    const SequenceScreenConfig &config() const { return m_config; }
    const SequenceExercise &exercise() const { return m_exercise; }

    void formLoad() override;

    // The control handlers.
    void Combo1_Click(const QString &choice);
    void Label7_DragDrop(int index, QObject *source, const QString &caption = QString());
    void cmdrisult_Click();
    void CmdMenu_Click();
    void CmdArchivio_Click(); // cmdarchiv_Click on the narrative screen
    void CMDREGISTRO_Click();

    // The type label picked for placing with a click or a key; null when none.
    DragLabel *pickedType() const { return m_board->picked(); }

    // Row geometry on the design surface, in twips.
    int rowTop(int row) const;
    int rowHeight(int row) const;

    // The controls, for tests.
    PassageLabel *textLabel(int row) const { return m_label1[row]; }
    // The column the rows, their boxes and answers scroll in.
    ScrollColumn *rowColumn() const { return m_column; }
    DropLabel *dropBox(int row) const { return m_board->box(row); }
    StyledLabel *answerLabel(int row) const { return m_answers[row]; }
    QVector<DragLabel *> typeLabels() const { return m_board->tiles(); }
    DropBoard *board() const { return m_board; }
    Chooser *chooser() const { return m_combo; }
    QPushButton *checkButton() const { return m_cmdrisult; }
    QPushButton *registerButton() const { return m_registro; }
    StyledLabel *counter(int n) const; // 2, 3, 6 or 8
    StyledLabel *sourceLabel() const { return m_labedizione; }

    void paintDecoration(QPainter &p, const QRect &area) override;

protected:
    void beforeExit(Exit exit) override;

private:
    void build();
    void buildRows();
    void buildCounters();
    void buildTabOrder();
    StyledLabel *addLabel(const QString &name, const QString &text, const QRect &geometry);

    // Shows what the exercise holds.
    void showBoard();
    void showState() override { showBoard(); }
    // Stacks the rows shown, each as high as its text needs, with their boxes
    // and answers beside them.
    void layRows();
    void evenRowFonts();

    SequenceScreenConfig m_config;
    SequenceExercise m_exercise;
    DropBoard *m_board = nullptr;

    ScrollColumn *m_column = nullptr;
    std::array<PassageLabel *, SequenceExercise::MaxRows> m_label1{};
    std::array<StyledLabel *, SequenceExercise::MaxRows> m_answers{};
    std::array<int, SequenceExercise::MaxRows> m_tops{};
    std::array<int, SequenceExercise::MaxRows> m_heights{};
    StyledLabel *m_instructions = nullptr;
    StyledLabel *m_labedizione = nullptr;
    Chooser *m_combo = nullptr;
    QPushButton *m_cmdrisult = nullptr;
    StyledLabel *m_label2 = nullptr;
    StyledLabel *m_label3 = nullptr;
    StyledLabel *m_label4 = nullptr;
    StyledLabel *m_label5 = nullptr;
    StyledLabel *m_label6 = nullptr;
    StyledLabel *m_label8 = nullptr;
    QPushButton *m_registro = nullptr;
};

// Row colours, shared by the text, the drop box and the answer label of a row.
QColor sequenceRowColor(int row);

} // namespace morvello

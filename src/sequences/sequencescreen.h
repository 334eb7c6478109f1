#pragma once
#include "platform/labels.h"
#include "platform/screen.h"
#include "results/resultsstore.h"
#include "sequences/sequenceexercise.h"

#include <QPointer>
#include <QRect>
#include <QVector>
#include <array>

class QComboBox;
class QFrame;
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

    // Drop boxes Label7(i).
    int dropLeft = 7440;
    int dropWidth = 2295;
    bool dropBold = false;
    bool dropItalic = false;

    // Answer labels, Label18(i) or Label10(i).
    QString answerArray;
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

// The sequence-type exercise screen: passage rows, drop boxes, answer labels,
// draggable type labels, counters and commands.
class SequenceScreen : public Screen
{
    Q_OBJECT
public:
    SequenceScreen(AppContext &ctx, const SequenceScreenConfig &config, QWidget *parent = nullptr);
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
    void cmdfine_Click();
    void CMDREGISTRO_Click();

    // The type label picked for placing with a click or a key; null when none.
    DragLabel *pickedType() const { return m_picked; }

    // The controls, for tests.
    StyledLabel *textLabel(int row) const { return m_label1[row]; }
    DropLabel *dropBox(int row) const { return m_label7[row]; }
    StyledLabel *answerLabel(int row) const { return m_answers[row]; }
    QVector<DragLabel *> typeLabels() const { return m_types; }
    QComboBox *chooser() const { return m_combo; }
    QPushButton *checkButton() const { return m_cmdrisult; }
    QPushButton *registerButton() const { return m_registro; }
    StyledLabel *counter(int n) const; // 2, 3, 6 or 8
    StyledLabel *sourceLabel() const { return m_labedizione; }

    void paintDecoration(QPainter &p, const QRect &area) override;

protected:
    void titleBarClose() override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void build();
    void buildRows();
    void buildTypes();
    void buildCounters();
    void buildCommands();
    void buildTabOrder();
    StyledLabel *addLabel(const QString &name, const QString &text, const QRect &geometry);
    QPushButton *addCommand(const CommandDef &def, bool bold);

    // Shows what the exercise holds.
    void showBoard();
    void typePicked(DragLabel *label);
    void dropBoxClicked(int index);
    void setPicked(DragLabel *label);
    // The largest font, up to the design size, with which a box shows its
    // whole caption.
    void fitCaption(QLabel *label, double points, bool bold, bool italic);
    void fitCaptions();
    // Spreads the blanks of a counter frame so that its closing word lies
    // between the two numbers, whatever the width of the font.
    void spreadCounterFrame(StyledLabel *frame, int gapLeft, int gapRight);
    void spreadCounterFrames();

    SequenceScreenConfig m_config;
    SequenceExercise m_exercise;

    std::array<StyledLabel *, SequenceExercise::MaxRows> m_label1{};
    std::array<DropLabel *, SequenceExercise::MaxRows> m_label7{};
    std::array<StyledLabel *, SequenceExercise::MaxRows> m_answers{};
    QVector<DragLabel *> m_types;
    StyledLabel *m_instructions = nullptr;
    StyledLabel *m_labedizione = nullptr;
    QComboBox *m_combo = nullptr;
    QPushButton *m_cmdrisult = nullptr;
    StyledLabel *m_label2 = nullptr;
    StyledLabel *m_label3 = nullptr;
    StyledLabel *m_label4 = nullptr;
    StyledLabel *m_label5 = nullptr;
    StyledLabel *m_label6 = nullptr;
    StyledLabel *m_label8 = nullptr;
    QPushButton *m_menu = nullptr;
    QPushButton *m_archive = nullptr;
    QPushButton *m_fine = nullptr;
    QPushButton *m_registro = nullptr;
    QFrame *m_pickFrame = nullptr;
    QPointer<DragLabel> m_picked;
};

// Row colours, shared by the text, the drop box and the answer label of a row.
QColor sequenceRowColor(int row);

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "narrative/storycolouring.h"
#include "kit/activityscreen.h"
#include "kit/passageview.h"

#include <QTextDocument>
#include <array>
#include <memory>

class QComboBox;
class QPushButton;

namespace morvello {

class RichTextView;

// "Individuare sequenze...": the pupil selects a stretch of the story (mouse,
// or Shift and the arrow keys), then clicks a square (or gives it the focus
// and presses Enter or Space) to paint the stretch in that sequence's colour;
// "CORREGGI" grades the colouring against the hidden solution and saves.
// The menu exit hides the screen: colours, red marks, counters and button
// states survive to the next visit.
class TrovaSeqScreen : public ActivityScreen
{
    Q_OBJECT
public:
    explicit TrovaSeqScreen(const ScreenEnv &env, QWidget *parent = nullptr);
    ~TrovaSeqScreen() override;

    void formLoad() override;

    // Handlers.
    void Combo1_Click(const QString &text);
    void LabCOLORE_Click(int index);
    void CmdAiuto_Click();
    void Cmdcorrezione_Click();

    const StoryColouring &logic() const { return *m_logic; }
    PassageView *storyView() const { return m_story; }
    RichTextView *helpView() const { return m_help; }
    // The story's font size now, in points.
    // The stories are written at 12 points.
    double storyPoints() const { return 12.0 * m_story->zoom(); }

protected:

private:
    void build();
    void buildViews();
    void buildChooser();
    void buildPalette();
    void buildCommandsAndScore();
    void buildTabOrder();
    StyledLabel *addLabel(const QString &name, const QString &text, const QRect &twips, double points, bool bold,
                          const QColor &textColor, const QColor &background = QColor());
    void showState() override;
    void tellAll(const QStringList &messages);

    PassageView *m_story = nullptr;     // RichTextBox1
    RichTextView *m_help = nullptr;     // RichTextBox2
    RichTextView *m_solution = nullptr; // RichTextBox3, never shown
    std::unique_ptr<StoryColouring> m_logic;

    StyledLabel *m_autore = nullptr;
    StyledLabel *m_label1 = nullptr;
    StyledLabel *m_nrSeq = nullptr;
    QComboBox *m_combo = nullptr;
    std::array<ClickLabel *, PaletteSize> m_squares{};
    std::array<StyledLabel *, PaletteSize> m_captions{};
    QPushButton *m_aiuto = nullptr;
    QPushButton *m_correzione = nullptr;
    StyledLabel *m_punti = nullptr;
    StyledLabel *m_tot = nullptr;
    StyledLabel *m_label7 = nullptr;
    StyledLabel *m_errori = nullptr;
    StyledLabel *m_aiuti = nullptr;
    StyledLabel *m_label6 = nullptr;
};

} // namespace morvello

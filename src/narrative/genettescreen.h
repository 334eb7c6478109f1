// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "genetteexercise.h"

#include "kit/activityscreen.h"
#include "kit/optionbox.h"
#include "kit/passageview.h"

#include <QRadioButton>
#include <QSet>
#include <array>

class QFrame;
class QPushButton;

namespace morvello {

// The narrative-concepts screen FGenette: a passage in the rich-text view,
// the concept's problem statement, its two to four categories as options,
// the running score and a right/wrong picture that shrinks away a second
// after each answer. Every answer is saved at once; leaving by the menu or
// the archive only hides the screen, so the pupil finds it as it was.
class GenetteScreen : public ActivityScreen
{
    Q_OBJECT
public:
    static constexpr int PictureRestWidth = 975;  // twips
    static constexpr int PictureDelayMs = 1000;
    static constexpr int PictureShrinkMs = 500;

    explicit GenetteScreen(const ScreenEnv &env, QWidget *parent = nullptr);
    ~GenetteScreen() override;

    // Handlers.
    void formLoad() override;
    void CmdConcept_Click(int concept); // CmdOrdine_Click … CmdVoce_Click
    void Option1_Click(int index);
    void CmdSeguente_Click();

    const GenetteExercise &exercise() const { return m_exercise; }
    PassageView *passage() const { return m_rich; }
    OptionBox *option(int index) const;
    QPushButton *conceptButton(int concept) const;
    QPushButton *nextButton() const { return m_cmdSeguente; }
    QFrame *optionsFrame() const { return m_frame2; }
    PictureSlot *picture() const { return m_image1; }
    StyledLabel *problemLabel() const { return m_label3; }
    StyledLabel *conceptLabel() const { return m_labConcetto; }
    StyledLabel *exerciseLabel() const { return m_labNrEser; }
    StyledLabel *rightLabel() const { return m_labpunti; }
    StyledLabel *totalLabel() const { return m_labtot; }

private:
    void build();
    void buildPassage();
    void buildConcepts();
    void buildOptions();
    void buildScoreAndExits();
    void buildTabOrder();
    StyledLabel *addLabel(const QString &name, const QString &text, const QRect &twips, double points, bool bold,
                          const QColor &textColor, const QColor &background = QColor());
    // Shows what the logic holds.
    void display();
    void showState() override { display(); }
    // Loads the exercise on display into the view; a file that cannot be
    // shown is named to the pupil, and the screen goes on.
    void loadPassage();
    // Passage fonts follow the window's scale like every other text.

    GenetteExercise m_exercise;
    PassageView *m_rich = nullptr;
    StyledLabel *m_label3 = nullptr;
    QFrame *m_frame1 = nullptr;
    std::array<QPushButton *, GenetteConceptCount> m_conceptButtons{};
    StyledLabel *m_labConcetto = nullptr;
    StyledLabel *m_labNrEser = nullptr;
    QFrame *m_frame2 = nullptr;
    std::array<OptionBox *, GenetteExercise::MaxOptions> m_options{};
    QPushButton *m_cmdSeguente = nullptr;
    PictureSlot *m_image1 = nullptr;
    StyledLabel *m_labpunti = nullptr;
    StyledLabel *m_labtot = nullptr;
};

} // namespace morvello

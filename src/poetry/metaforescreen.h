// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "metaforequiz.h"

#include "kit/activityscreen.h"
#include "kit/optionbox.h"
#include "kit/passageview.h"
#include "poetry/poetryscreens.h"

#include <QSet>
#include <array>
#include <memory>

class QButtonGroup;
class QFrame;


namespace morvello {

class RandomSource;


// The rhetorical-figures screen FMetafore: a randomly drawn example, which
// figure it shows (ten options) and which definition fits that figure (ten
// clickable definitions). Each answer is judged at once with a picture,
// counted and saved; "Figura successiva" draws another example once both
// questions are answered. Leaving for the menu hides the screen, so the
// pupil comes back to the same example and counters.
class MetaforeScreen : public ActivityScreen
{
    Q_OBJECT
public:
    static QString name() { return poetryscreens::Metafore; }
    // The design surface, in twips.
    static QSize designSize() { return QSize(12000, 9600); }

    explicit MetaforeScreen(const ScreenEnv &env, QWidget *parent = nullptr);
    ~MetaforeScreen() override;

    void formLoad() override;

    // The handlers.
    void Option1_Click(int index);
    void Label1_Click(int index);
    void CmdSeguente_Click();

    const MetaforeQuiz &quiz() const { return m_quiz; }

    PassageView *exampleView() const { return m_view; }
    OptionBox *option(int i) const { return m_options.at(i); }
    ClickLabel *definition(int i) const { return m_definitions.at(i); }
    QFrame *frame1() const { return m_frame1; }
    QFrame *frame2() const { return m_frame2; }
    PictureSlot *image2() const { return m_image2; }
    PictureSlot *image3() const { return m_image3; }
    QPushButton *nextButton() const { return m_next; }
    StyledLabel *labFigGiu() const { return m_figGiu; }
    StyledLabel *labFigSba() const { return m_figSba; }
    StyledLabel *labDefGiu() const { return m_defGiu; }
    StyledLabel *labDefSba() const { return m_defSba; }

    // The resting background of options and definitions.
    static QColor restingColor();

private:
    void build();
    void buildExample();
    void buildLists();
    void buildCommands();
    void buildCounters();
    void buildTabOrder();
    void showExample();
    void showCounters();
    void showState() override;
    void showQuestions();

    MetaforeQuiz m_quiz;
    PassageView *m_view = nullptr;
    QWidget *m_image1 = nullptr;
    StyledLabel *m_label2 = nullptr;
    StyledLabel *m_label3 = nullptr;
    QFrame *m_frame1 = nullptr;
    QFrame *m_frame2 = nullptr;
    QButtonGroup *m_optionGroup = nullptr;
    std::array<OptionBox *, FigureCount> m_options{};
    std::array<ClickLabel *, FigureCount> m_definitions{};
    PictureSlot *m_image2 = nullptr;
    PictureSlot *m_image3 = nullptr;
    StyledLabel *m_figGiu = nullptr;
    StyledLabel *m_figSba = nullptr;
    StyledLabel *m_defGiu = nullptr;
    StyledLabel *m_defSba = nullptr;
    QPushButton *m_next = nullptr;
    // Missing pictures the pupil was told about: once each is enough.
};

} // namespace morvello

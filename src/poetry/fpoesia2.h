// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "kit/activityscreen.h"
#include "kit/optionbox.h"
#include "kit/passageview.h"
#include "poetry/poetryscreens.h"
#include "poetry/poesiaexercise.h"
#include "poetry/poesiapair.h"

#include <QButtonGroup>
#include <array>

class QGroupBox;
class QPushButton;

namespace morvello {



// The questions screen of the poetry pair: four questions answered by
// clicking an option label, the meaning question with four option buttons,
// the right/wrong picture, and the poem to look at again. It owns the pair's
// logic, since it stays loaded for the whole run while the poem screen may
// be unloaded and made again.
class FPoesia2 : public ActivityScreen
{
    Q_OBJECT
public:
    explicit FPoesia2(const ScreenEnv &env, QWidget *parent = nullptr);
    ~FPoesia2() override;

    static QString name() { return poetryscreens::Poesia2; }
    static QString captionText() { return QStringLiteral("Testo poetico: APPROFONDIMENTI. Clicca sulle risposte giuste."); }
    static QString reviewText() { return QStringLiteral("Rivedo il testo"); }
    static QString questionsText() { return QStringLiteral("Rivedo le domande"); }
    // The picture's timer and how many of its ticks a picture lasts.
    static constexpr int TickMs = 1000;
    static constexpr int HideAtTick = 3;

    PoesiaExercise &pair() { return m_pair.exercise; }
    const PoesiaExercise &pair() const { return m_pair.exercise; }

    void formLoad() override;

    // The option captions and right answers of the poem just loaded.
    void poemLoaded();
    // The counters as the pair holds them.
    void showCounters();

    // The handlers.
    void Label_Click(poesia::Question q, int index); // Label1_Click ... Label4_Click
    void Option1_Click(int index);
    void cmdrivedo_Click();

    // The controls, for tests.
    ClickLabel *optionLabel(poesia::Question q, int index) const { return m_labels[size_t(q)][size_t(index)]; }
    OptionBox *option(int index) const { return m_options[size_t(index)]; }
    QGroupBox *frame() const { return m_frame1; }
    StyledLabel *counter(int n) const; // 7, 8, 9 or 10
    QPushButton *reviewButton() const { return m_cmdrivedo; }
    QPushButton *backButton() const { return exitButton(Exit::Back); }
    PassageView *view() const { return m_view; }
    PictureSlot *picture() const { return m_image1; }
    bool reviewing() const { return m_reviewing; }

protected:
    // The title-bar close goes back to the poem screen, in the questions
    // mode the screen always reopens in.
    void titleBarClose() override;

private:
    void build();
    void buildQuestions();
    void buildMeaning();
    void buildCountersAndCommands();
    void buildTabOrder();
    void showQuestions();
    void setReviewing(bool on);
    void answered(const Judgement &judgement);
    void showState() override { showQuestions(); }

    PoesiaPair &m_pair;
    std::array<std::array<ClickLabel *, poesia::OptionSlots>, poesia::QuestionCount> m_labels{};
    std::array<OptionBox *, poesia::SentenceCount> m_options{};
    QButtonGroup m_optionGroup;
    QGroupBox *m_frame1 = nullptr;
    StyledLabel *m_label12 = nullptr;
    StyledLabel *m_label13 = nullptr;
    StyledLabel *m_labSeguente = nullptr;
    StyledLabel *m_label5 = nullptr;
    StyledLabel *m_label6 = nullptr;
    std::array<StyledLabel *, 4> m_numbers{}; // Label7 ... Label10
    PassageView *m_view = nullptr;
    QPushButton *m_cmdrivedo = nullptr;
    PictureSlot *m_image1 = nullptr;
    bool m_reviewing = false;
};

} // namespace morvello

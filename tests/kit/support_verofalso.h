// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A seventh activity, kept with the tests and built only with them: true or
// false statements on narrative texts, saved into the "Figure" group. It is
// one registry row, one logic class, one screen and its content file, and
// touches nothing else of the program.
#include "kit/activityscreen.h"
#include "shell/activities.h"

#include <QVector>

class QPushButton;

namespace morvello::verofalso {

inline const QString ScreenName = QStringLiteral("FVeroFalso");
inline const QString ContentFile = QStringLiteral("permorvello\\verofalso.txt");

struct Statement
{
    QString text;
    bool vero = false;
};

// One line a statement, "V|…" or "F|…".
QVector<Statement> parse(const QString &text, QString *error);

// The logic: one statement at a time, answered once, then the next.
class Quiz
{
public:
    void setStatements(const QVector<Statement> &items);
    bool loaded() const { return !m_items.isEmpty(); }
    const Statement &statement() const { return m_items.at(m_current); }
    bool answered() const { return m_answered; }
    // Judged once a statement; saves the running score in "Figure".
    Judgement answer(bool vero);
    // The next statement, after the first again at the end.
    void next();
    Score score() const;

private:
    QVector<Statement> m_items;
    int m_current = 0;
    bool m_answered = false;
    int m_right = 0;
    int m_total = 0;
};

class Screen : public ActivityScreen
{
    Q_OBJECT
public:
    explicit Screen(const ScreenEnv &env);
    void formLoad() override;
    void answer(bool vero);
    void next();
    PictureSlot *picture() const { return m_picture; }
    QString counterCaption() const;

protected:
    void showState() override;

private:
    Quiz m_quiz;
    StyledLabel *m_text = nullptr;
    StyledLabel *m_counter = nullptr;
    QPushButton *m_vero = nullptr;
    QPushButton *m_falso = nullptr;
    PictureSlot *m_picture = nullptr;
};

// Its row of the registry.
Activity row();

} // namespace morvello::verofalso

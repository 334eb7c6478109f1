// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "resultgroups.h"

#include <QString>
#include <QVector>
#include <optional>

namespace morvello {

// What an activity's logic made of one answer or one check. The logic judges
// and says what is to be saved; it never touches a widget or the results
// file. The screen hands the judgement to ActivityScreen::present(), which
// shows, pictures and saves it the same way for every activity.
struct Judgement
{
    enum class Kind {
        Ignored, // nothing to judge now (already judged, nothing loaded); nothing changed
        Refused, // not complete yet: the pupil is told `message`; nothing changed
        Judged,  // judged and counted: the screen shows it and `saves` are saved
    };

    Kind kind = Kind::Ignored;
    QString message;
    // The verdict on one answer, for a right/wrong picture; none for a check
    // of a whole board, which colours speak for.
    std::optional<bool> right;
    // The groups to write, in one update; empty saves nothing.
    QVector<GroupValues> saves;
    // After a wrong answer, the right one in words, where the logic knows it
    // (a screen reader tells it to the pupil).
    QString rightAnswer;

    static Judgement ignored() { return Judgement{}; }
    static Judgement refused(const QString &message) { return Judgement{Kind::Refused, message, std::nullopt, {}, {}}; }
    static Judgement judged(const QVector<GroupValues> &saves, std::optional<bool> right = std::nullopt)
    {
        return Judgement{Kind::Judged, QString(), right, saves, {}};
    }
    static Judgement judged(FieldGroup group, const Score &score, std::optional<bool> right = std::nullopt)
    {
        return judged(QVector<GroupValues>{GroupValues::of(group, score)}, right);
    }
    Judgement &withRightAnswer(const QString &answer)
    {
        rightAnswer = answer;
        return *this;
    }
    bool isJudged() const { return kind == Kind::Judged; }
};

} // namespace morvello

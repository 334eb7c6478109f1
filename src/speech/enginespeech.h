// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/speech.h"

#include <QPointer>

class QTextToSpeech;
class QThread;

namespace morvello {

// The system's speech engine (speech-dispatcher with an Italian voice)
// through Qt's text-to-speech. Reaching the engine may take a second (it is
// started on demand): prepare() does it on a thread of its own, and the voice
// answers on the user-interface thread once it is there.
class EngineSpeech : public Speech
{
    Q_OBJECT
public:
    // `engine` names Qt's plugin; empty takes the first one installed.
    explicit EngineSpeech(const QString &engine = QString(), QObject *parent = nullptr);
    ~EngineSpeech() override;

    void prepare() override;
    void say(const QString &text) override;
    void stop() override;
    State state() const override { return m_state; }
    void setRate(Rate rate) override;
    Rate rate() const override { return m_rate; }
    QString whyNot() const override { return m_why; }

    // The engine's own rate for a choice (-1 slowest, 1 fastest).
    static double engineRate(Rate rate);

private:
    void arrived(QTextToSpeech *tts, const QString &why);
    void setState(State s);
    void giveUp(const QString &why);

    QString m_engine;
    State m_state = State::Idle;
    Rate m_rate = Rate::Normal;
    QString m_why;
    QThread *m_thread = nullptr;
    QPointer<QTextToSpeech> m_tts;
    // Text asked for while the engine was still being reached.
    QString m_waiting;
};

} // namespace morvello

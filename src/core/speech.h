// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>

namespace morvello {

// The voice that reads passages aloud. The engine behind it is reached only
// when first wanted (prepare()), never while the program starts; tests put a
// scripted voice in its place and step it.
class Speech : public QObject
{
    Q_OBJECT
public:
    enum class State {
        Idle,        // not connected yet: nothing asked of the engine so far
        Connecting,  // reaching the engine in the background
        Ready,       // connected, silent
        Speaking,
        Unavailable, // no engine: whyNot() says why
    };
    Q_ENUM(State)
    enum class Rate { Slow, Normal, Fast };
    Q_ENUM(Rate)

    using QObject::QObject;

    // Starts reaching the engine, once; later calls do nothing.
    virtual void prepare() = 0;
    // Speaks one stretch; it goes Speaking, then Ready again when done.
    virtual void say(const QString &text) = 0;
    // Silence now; Ready.
    virtual void stop() = 0;
    virtual State state() const = 0;
    virtual void setRate(Rate rate) = 0;
    virtual Rate rate() const = 0;
    bool available() const { return state() != State::Unavailable; }
    // In Italian, for the pupil: why there is no voice (empty while there may be one).
    virtual QString whyNot() const = 0;

signals:
    void stateChanged(morvello::Speech::State state);
};

// No voice at all: what a run has when nobody gave it one.
class NoSpeech : public Speech
{
    Q_OBJECT
public:
    explicit NoSpeech(const QString &why = QString(), QObject *parent = nullptr);
    void prepare() override {}
    void say(const QString &) override {}
    void stop() override {}
    State state() const override { return State::Unavailable; }
    void setRate(Rate rate) override { m_rate = rate; }
    Rate rate() const override { return m_rate; }
    QString whyNot() const override { return m_why; }

private:
    QString m_why;
    Rate m_rate = Rate::Normal;
};

} // namespace morvello

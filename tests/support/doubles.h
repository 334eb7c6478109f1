#pragma once
// Stand-ins for the world outside the program: dialogs answered in advance,
// a clock that stands still, and timers that move only when a test says so.
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/ticker.h"

#include <QList>
#include <QPointer>
#include <QVector>

namespace morvello {

// Answers queued in advance; remembers what was said.
class ScriptedDialogs : public Dialogs
{
public:
    void message(const QString &text) override { messages << text; }
    std::optional<QString> input(const QString &prompt, int maxLength = 255) override;

    void queueAnswer(const QString &answer) { m_answers.push_back(answer); }
    void queueCancel() { m_answers.push_back(std::nullopt); }

    QStringList messages;
    QStringList prompts;

private:
    QList<std::optional<QString>> m_answers;
};

class FixedClock : public Clock
{
public:
    explicit FixedClock(const QDateTime &t) : m_t(t) {}
    QDateTime now() const override { return m_t; }
    void set(const QDateTime &t) { m_t = t; }

private:
    QDateTime m_t;
};

// Time that moves only when a test says so: advance(ms) fires every running
// ticker as often as its interval fits in the time gone by, in time order.
class ManualTickSource : public TickSource
{
public:
    Ticker *newTicker(QObject *parent) override;
    void advance(int ms);
    // Runs every running ticker until none is left running, or `limitMs`
    // has gone by; returns the time that went by.
    int runUntilIdle(int limitMs = 60000);
    int elapsed() const { return m_now; }
    bool anyActive() const;

private:
    friend class ManualTicker;
    int m_now = 0;
    QVector<QPointer<Ticker>> m_tickers;
};

} // namespace morvello

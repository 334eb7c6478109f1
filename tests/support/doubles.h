// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stand-ins for the world outside the program: dialogs answered in advance,
// a clock that stands still, and timers that move only when a test says so.
#include "core/clock.h"
#include "core/dialogs.h"
#include "core/speech.h"
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

    // A choice is said like a message (its text joins `messages`) and is
    // answered with the queued button; with none queued, the closing one.
    int choose(const QString &text, const QStringList &buttons) override;
    void queueChoice(int button) { m_choices.push_back(button); }

    // The print dialog answered as a teacher would: printing into a PDF file
    // (so many copies; an empty name keeps the file the dialog opened with),
    // or cancelled. With nothing queued it is cancelled.
    bool choosePrinter(QPrinter &printer) override;
    void queuePdf(const QString &file, int copies = 1) { m_prints.push_back(PrintAnswer{file, copies}); }
    void queuePrintCancel() { m_prints.push_back(std::nullopt); }

    // The folder chooser; with nothing queued it is cancelled.
    std::optional<QString> chooseFolder(const QString &title, const QString &start) override;
    void queueFolder(const QString &folder) { m_folders.push_back(folder); }

    void showGuide(const QString &dataFolder) override { guides << dataFolder; }

    QStringList messages;
    QStringList prompts;
    QList<QStringList> choices;    // the buttons of each choice offered
    QStringList printerFiles;      // the output file each print dialog was opened with
    QStringList folderStarts;      // where each folder chooser opened
    QStringList guides;            // the data folder each guide was opened for

private:
    struct PrintAnswer {
        QString file;
        int copies = 1;
    };
    QList<std::optional<QString>> m_answers;
    QList<int> m_choices;
    QList<std::optional<PrintAnswer>> m_prints;
    QList<std::optional<QString>> m_folders;
};

// A voice that says nothing aloud: it keeps what it was asked to say, in
// order, and each stretch is spoken until the test calls finish(). It is
// reached at once when asked to prepare, unless told to be unavailable.
class ScriptedSpeech : public Speech
{
    Q_OBJECT
public:
    void prepare() override;
    void say(const QString &text) override;
    void stop() override;
    State state() const override { return m_state; }
    void setRate(Rate rate) override { m_rate = rate; }
    Rate rate() const override { return m_rate; }
    QString whyNot() const override { return m_why; }

    // The stretch being spoken ends: back to ready.
    void finish();
    // Finishes stretch after stretch until it falls silent (at most `limit`).
    int finishAll(int limit = 1000);
    void makeUnavailable(const QString &why);

    QStringList said;
    int stops = 0;

private:
    void setState(State s);
    State m_state = State::Idle;
    Rate m_rate = Rate::Normal;
    QString m_why;
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "doubles.h"

#include <QPrinter>

#include <climits>

namespace morvello {

std::optional<QString> ScriptedDialogs::input(const QString &prompt, int maxLength)
{
    prompts << prompt;
    if (m_answers.isEmpty())
        return std::nullopt;
    std::optional<QString> a = m_answers.takeFirst();
    if (a)
        return a->left(maxLength);
    return a;
}

int ScriptedDialogs::choose(const QString &text, const QStringList &buttons)
{
    messages << text;
    choices << buttons;
    const int closing = int(buttons.size()) - 1;
    if (m_choices.isEmpty())
        return closing;
    const int answer = m_choices.takeFirst();
    return answer >= 0 && answer < buttons.size() ? answer : closing;
}

bool ScriptedDialogs::choosePrinter(QPrinter &printer)
{
    printerFiles << printer.outputFileName();
    if (m_prints.isEmpty())
        return false;
    const std::optional<PrintAnswer> answer = m_prints.takeFirst();
    if (!answer)
        return false;
    if (!answer->file.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(answer->file);
    }
    printer.setCopyCount(answer->copies);
    return true;
}

std::optional<QString> ScriptedDialogs::chooseFolder(const QString &, const QString &start)
{
    folderStarts << start;
    if (m_folders.isEmpty())
        return std::nullopt;
    return m_folders.takeFirst();
}

class ManualTicker : public Ticker
{
public:
    ManualTicker(ManualTickSource *source, QObject *parent) : Ticker(parent), m_source(source) {}
    void start(int intervalMs) override
    {
        m_interval = qMax(1, intervalMs);
        m_due = m_source->m_now + m_interval;
        m_active = true;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    int interval() const override { return m_interval; }

    ManualTickSource *m_source;
    int m_interval = 0;
    int m_due = 0;
    bool m_active = false;
};

Ticker *ManualTickSource::newTicker(QObject *parent)
{
    auto *t = new ManualTicker(this, parent);
    m_tickers << t;
    return t;
}

bool ManualTickSource::anyActive() const
{
    for (const QPointer<Ticker> &t : m_tickers)
        if (t && t->isActive())
            return true;
    return false;
}

void ManualTickSource::advance(int ms)
{
    const int end = m_now + qMax(0, ms);
    for (;;) {
        // The earliest ticker due by the end fires first; a ticker started
        // or stopped by another's handler is seen at once.
        ManualTicker *next = nullptr;
        for (const QPointer<Ticker> &p : std::as_const(m_tickers)) {
            auto *t = static_cast<ManualTicker *>(p.data());
            if (t && t->m_active && t->m_due <= end && (!next || t->m_due < next->m_due))
                next = t;
        }
        if (!next)
            break;
        m_now = next->m_due;
        next->m_due += next->m_interval;
        emit next->timeout();
    }
    m_now = end;
    m_tickers.removeAll(QPointer<Ticker>());
}

int ManualTickSource::runUntilIdle(int limitMs)
{
    const int start = m_now;
    while (anyActive() && m_now - start < limitMs) {
        int step = INT_MAX;
        for (const QPointer<Ticker> &p : std::as_const(m_tickers)) {
            auto *t = static_cast<ManualTicker *>(p.data());
            if (t && t->m_active)
                step = qMin(step, t->m_due - m_now);
        }
        advance(qMax(1, step));
    }
    return m_now - start;
}

void ScriptedSpeech::setState(State s)
{
    if (s == m_state)
        return;
    m_state = s;
    emit stateChanged(s);
}

void ScriptedSpeech::prepare()
{
    if (m_state == State::Idle)
        setState(State::Ready);
}

void ScriptedSpeech::say(const QString &text)
{
    if (m_state == State::Unavailable)
        return;
    prepare();
    said << text;
    setState(State::Speaking);
}

void ScriptedSpeech::stop()
{
    ++stops;
    if (m_state == State::Speaking)
        setState(State::Ready);
}

void ScriptedSpeech::finish()
{
    if (m_state == State::Speaking)
        setState(State::Ready);
}

int ScriptedSpeech::finishAll(int limit)
{
    int n = 0;
    while (m_state == State::Speaking && n < limit) {
        finish();
        ++n;
    }
    return n;
}

void ScriptedSpeech::makeUnavailable(const QString &why)
{
    m_why = why;
    setState(State::Unavailable);
}

} // namespace morvello

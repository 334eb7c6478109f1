// SPDX-License-Identifier: GPL-3.0-or-later
#include "enginespeech.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextToSpeech>
#include <QThread>

namespace morvello {

EngineSpeech::EngineSpeech(const QString &engine, QObject *parent) : Speech(parent), m_engine(engine) {}

EngineSpeech::~EngineSpeech()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
    delete m_tts;
}

double EngineSpeech::engineRate(Rate rate)
{
    switch (rate) {
    case Rate::Slow:
        return -0.4;
    case Rate::Fast:
        return 0.4;
    case Rate::Normal:
        break;
    }
    return 0.0;
}

void EngineSpeech::prepare()
{
    if (m_state != State::Idle)
        return;
    setState(State::Connecting);
    QThread *home = thread();
    const QString engine = m_engine;
    // Looking for the plugins reads folders, and the plugin opens its
    // connection in its constructor, starting the engine if need be: all off
    // the user-interface thread.
    m_thread = QThread::create([this, home, engine] {
        if (QTextToSpeech::availableEngines().isEmpty()) {
            const QString why = QStringLiteral("La lettura ad alta voce non è disponibile: manca il modulo della voce "
                                               "(pacchetto qt6-speech-speechd-plugin).");
            QMetaObject::invokeMethod(this, [this, why] { giveUp(why); }, Qt::QueuedConnection);
            return;
        }
        auto *tts = engine.isEmpty() ? new QTextToSpeech : new QTextToSpeech(engine);
        QString why;
        if (tts->state() == QTextToSpeech::Error)
            why = QStringLiteral("La lettura ad alta voce non è disponibile: %1").arg(tts->errorString());
        else if (tts->availableLocales().isEmpty())
            why = QStringLiteral("La lettura ad alta voce non è disponibile: il servizio della voce "
                                 "(speech-dispatcher) non risponde.");
        tts->moveToThread(home);
        QMetaObject::invokeMethod(this, [this, tts, why] { arrived(tts, why); }, Qt::QueuedConnection);
    });
    m_thread->start();
}

void EngineSpeech::arrived(QTextToSpeech *tts, const QString &why)
{
    m_tts = tts;
    tts->setParent(this);
    if (!why.isEmpty()) {
        giveUp(why);
        return;
    }
    // An Italian voice where there is one; the engine's own otherwise.
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    for (const QLocale &l : tts->availableLocales()) {
        if (l.language() == QLocale::Italian) {
            tts->setLocale(l.territory() == QLocale::Italy ? italian : l);
            break;
        }
    }
    tts->setRate(engineRate(m_rate));
    connect(tts, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) {
        if (m_state == State::Unavailable)
            return;
        if (s == QTextToSpeech::Error) {
            giveUp(QStringLiteral("La voce si è interrotta: %1").arg(m_tts ? m_tts->errorString() : QString()));
            return;
        }
        setState(s == QTextToSpeech::Speaking ? State::Speaking : State::Ready);
    });
    setState(State::Ready);
    if (!m_waiting.isEmpty()) {
        const QString text = m_waiting;
        m_waiting.clear();
        say(text);
    }
}

void EngineSpeech::giveUp(const QString &why)
{
    m_why = why;
    m_waiting.clear();
    setState(State::Unavailable);
}

void EngineSpeech::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

void EngineSpeech::say(const QString &text)
{
    switch (m_state) {
    case State::Idle:
    case State::Connecting:
        m_waiting = text;
        prepare();
        return;
    case State::Unavailable:
        return;
    case State::Ready:
    case State::Speaking:
        break;
    }
    if (m_tts)
        m_tts->say(text);
}

void EngineSpeech::stop()
{
    m_waiting.clear();
    if (m_tts && m_state == State::Speaking)
        m_tts->stop();
}

void EngineSpeech::setRate(Rate rate)
{
    m_rate = rate;
    if (m_tts)
        m_tts->setRate(engineRate(rate));
}

} // namespace morvello

#pragma once
#include <QObject>
#include <QPointer>
#include <QVector>

class QTimer;

namespace morvello {

// A periodic event on the user-interface thread: a QTimer in the program,
// stepped by hand in tests, so that what a timer does can be checked without
// waiting for it.
class Ticker : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int interval() const = 0;

signals:
    void timeout();
};

// Makes the tickers of the screens.
class TickSource
{
public:
    virtual ~TickSource() = default;
    // A stopped ticker owned by parent.
    virtual Ticker *newTicker(QObject *parent) = 0;
};

// Real timers.
class TimerTickSource : public TickSource
{
public:
    Ticker *newTicker(QObject *parent) override;
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

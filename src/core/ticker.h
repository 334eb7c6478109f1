#pragma once
#include <QObject>

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

} // namespace morvello

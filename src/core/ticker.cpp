#include "ticker.h"

#include <QTimer>

namespace morvello {

namespace {

class TimerTicker : public Ticker
{
public:
    explicit TimerTicker(QObject *parent) : Ticker(parent), m_timer(new QTimer(this))
    {
        connect(m_timer, &QTimer::timeout, this, &Ticker::timeout);
    }
    void start(int intervalMs) override { m_timer->start(qMax(0, intervalMs)); }
    void stop() override { m_timer->stop(); }
    bool isActive() const override { return m_timer->isActive(); }
    int interval() const override { return m_timer->interval(); }

private:
    QTimer *m_timer;
};

} // namespace

Ticker *TimerTickSource::newTicker(QObject *parent)
{
    return new TimerTicker(parent);
}

} // namespace morvello

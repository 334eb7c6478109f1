#pragma once
#include <QDateTime>
#include <QRandomGenerator>

namespace morvello {

// The current date and time, behind an interface so that tests can fix it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// Pseudo-random source, seeded from the clock in the program and fixed in tests.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // A whole number in [0, bound).
    virtual int bounded(int bound) = 0;
};

class SeededRandom : public RandomSource
{
public:
    explicit SeededRandom(quint32 seed) : m_gen(seed) {}
    int bounded(int bound) override { return bound <= 0 ? 0 : int(m_gen.bounded(quint32(bound))); }

private:
    QRandomGenerator m_gen;
};

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "services.h"

#include "datapaths.h"

namespace morvello {

QString Services::dataPath(const QString &windowsPath) const
{
    return resolveDataPath(windowsPath, baseDir);
}

QDateTime Services::now() const
{
    return clock ? clock->now() : QDateTime::currentDateTime();
}

void Services::tell(const QString &text) const
{
    if (dialogs)
        dialogs->message(text);
    else
        qWarning("%s", qPrintable(text));
}

Ticker *Services::newTicker(QObject *parent) const
{
    if (ticks)
        return ticks->newTicker(parent);
    static TimerTickSource realTime;
    return realTime.newTicker(parent);
}

RandomSource &Services::randomSource() const
{
    if (random)
        return *random;
    // Seeded once: reseeding at every draw would repeat numbers within one
    // tick of the clock.
    static SeededRandom fromClock(quint32(QDateTime::currentMSecsSinceEpoch() & 0xffffffffu));
    return fromClock;
}

Speech &Services::voice() const
{
    if (speech)
        return *speech;
    static NoSpeech none;
    return none;
}

void Services::showGuide() const
{
    if (dialogs)
        dialogs->showGuide(dataPath(QStringLiteral("permorvello")));
}

} // namespace morvello

// SPDX-License-Identifier: GPL-3.0-or-later
#include "numeric.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace morvello {

QString numberText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    QString s = QString::number(value, 'f', 10);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

qint16 toInt16(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value); // default rounding mode: halves to even
    if (r > std::numeric_limits<qint16>::max())
        return std::numeric_limits<qint16>::max();
    if (r < std::numeric_limits<qint16>::min())
        return std::numeric_limits<qint16>::min();
    return static_cast<qint16>(r);
}

int percentuale(qint64 right, qint64 total)
{
    if (total <= 0)
        return 0;
    const qint64 scaled = 100 * right;
    qint64 q = scaled / total;
    if ((scaled % total != 0) && ((scaled < 0) != (total < 0)))
        --q; // floor, not truncation, for the (unexpected) negative case
    return static_cast<int>(q);
}

} // namespace morvello

#include "numeric.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace morvello {

double captionNumber(const QString &caption)
{
    // Leading blanks are skipped, then the longest prefix that reads as a
    // decimal number (sign, digits, one point, optional exponent) is taken.
    int i = 0;
    const int n = caption.size();
    while (i < n && (caption[i] == QLatin1Char(' ') || caption[i] == QLatin1Char('\t')))
        ++i;
    const int start = i;
    if (i < n && (caption[i] == QLatin1Char('+') || caption[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    while (i < n && caption[i].isDigit() && caption[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && caption[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && caption[i].isDigit() && caption[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    int end = i;
    if (i < n && (caption[i] == QLatin1Char('e') || caption[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (caption[j] == QLatin1Char('+') || caption[j] == QLatin1Char('-')))
            ++j;
        int expDigits = 0;
        while (j < n && caption[j].isDigit() && caption[j].unicode() < 128) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            end = j;
    }
    bool ok = false;
    const double v = caption.mid(start, end - start).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return 0.0;
    return v;
}

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

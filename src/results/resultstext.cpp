#include "resultstext.h"

#include "core/numeric.h"

namespace morvello {

QString italianGeneralDate(const QDateTime &dt)
{
    if (!dt.isValid())
        return QString();
    // Built from numbers, not from a locale, so that a machine set to English
    // or to the C locale still writes day/month/year.
    const QDate d = dt.date();
    const QTime t = dt.time();
    QString out = QStringLiteral("%1/%2/%3")
                      .arg(d.day(), 2, 10, QLatin1Char('0'))
                      .arg(d.month(), 2, 10, QLatin1Char('0'))
                      .arg(d.year(), 4, 10, QLatin1Char('0'));
    if (t.isValid() && (t.hour() || t.minute() || t.second()))
        out += QStringLiteral(" %1:%2:%3")
                   .arg(t.hour(), 2, 10, QLatin1Char('0'))
                   .arg(t.minute(), 2, 10, QLatin1Char('0'))
                   .arg(t.second(), 2, 10, QLatin1Char('0'));
    return out;
}

QString resultCellText(const QVariant &value, int kind)
{
    if (!value.isValid() || value.isNull())
        return kind == 3 ? QString() : QStringLiteral("0");
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return italianGeneralDate(value.toDateTime());
    case QMetaType::QDate:
        return italianGeneralDate(QDateTime(value.toDate(), QTime(0, 0)));
    case QMetaType::QTime: {
        const QTime t = value.toTime();
        return t.toString(QStringLiteral("HH:mm:ss"));
    }
    default:
        return isNumericValue(value) ? numberText(value.toDouble()) : value.toString();
    }
}

bool isNumericValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

} // namespace morvello

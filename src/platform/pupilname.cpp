#include "pupilname.h"

#include <QStringList>

namespace morvello {

QString normalisedPupilName(const QString &typed)
{
    const QStringList words = typed.left(kMaxNameLength).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words.mid(0, kMaxNameWords).join(QLatin1Char(' ')).toUpper();
}

} // namespace morvello

#include "pupilname.h"

#include <QStringList>
#include <QTextBoundaryFinder>

namespace morvello {

namespace {

// Blanks become plain spaces; what cannot be seen or is not a character
// (controls, zero-width and other format characters, lone surrogates) goes.
QString visibleCharacters(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        char32_t code = c.unicode();
        int units = 1;
        if (c.isSurrogate()) {
            if (!c.isHighSurrogate() || i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                continue; // half a character
            code = QChar::surrogateToUcs4(c, text.at(i + 1));
            units = 2;
        }
        if (QChar::isSpace(code)) {
            out += QLatin1Char(' ');
        } else {
            const QChar::Category cat = QChar::category(code);
            if (cat != QChar::Other_Control && cat != QChar::Other_Format)
                out += QStringView(text).mid(i, units);
        }
        i += units - 1;
    }
    return out;
}

// The longest start of `text` of at most `limit` UTF-16 units that ends
// between two whole characters (grapheme clusters).
QString cutAtWholeCharacter(const QString &text, int limit)
{
    if (text.size() <= limit)
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(limit);
    if (!finder.isAtBoundary())
        finder.toPreviousBoundary();
    return text.left(qMax(0, int(finder.position())));
}

} // namespace

QString normalisedPupilName(const QString &typed)
{
    const QString clean = visibleCharacters(typed.normalized(QString::NormalizationForm_C));
    const QStringList words = clean.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString joined = words.mid(0, kMaxNameWords).join(QLatin1Char(' ')).toUpper();
    // Upper case may lengthen a name ("ß" -> "SS") and change its form.
    return cutAtWholeCharacter(joined.normalized(QString::NormalizationForm_C), kMaxNameLength).trimmed();
}

} // namespace morvello

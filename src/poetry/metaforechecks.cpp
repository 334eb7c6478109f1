#include "metaforechecks.h"

#include "metaforequiz.h"
#include "text/contentcheck.h"

#include <QTextDocument>

namespace morvello {

void checkFigureExample(CheckReport &r, const FigureExample &example)
{
    QTextDocument doc;
    if (!checks::readRtf(r, example.file, &doc))
        return;
    if (!checks::lengthWithin(r, example.file, doc, MinExampleLength, MaxExampleLength))
        return;
    // Empty lines at the end do not count: only those the pupil reads.
    const int lines = int(checks::plainText(doc).trimmed().split(QLatin1Char('\n')).size());
    if (lines < MinExampleLines)
        r.add(example.file, QStringLiteral("l'esempio ha una riga sola: ne servono almeno %1 (due frasi o due versi)")
                                .arg(MinExampleLines));
    else if (lines > MaxExampleLines)
        r.add(example.file, QStringLiteral("l'esempio ha %1 righe: al massimo %2, perché stia tutto nel riquadro")
                                .arg(lines)
                                .arg(MaxExampleLines));
}

void addFigureChecks(ContentCheckRegistry &registry)
{
    registry.add(QStringLiteral("Esempi di figure retoriche"), [](CheckReport &r) {
        for (int n = 1; n <= ExampleCount; ++n)
            checkFigureExample(r, *figureExample(n));
    });
}

} // namespace morvello

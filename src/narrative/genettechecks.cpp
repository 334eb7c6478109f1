#include "genettechecks.h"

#include "genetteconcepts.h"
#include "text/contentcheck.h"

#include <QTextDocument>

namespace morvello {

void checkGenettePassages(CheckReport &r)
{
    for (const QString &file : genetteExerciseFiles()) {
        QTextDocument doc;
        if (checks::readRtf(r, file, &doc) && checks::plainText(doc).trimmed().isEmpty())
            r.add(file, QStringLiteral("il brano è vuoto"));
    }
}

void addGenetteChecks(ContentCheckRegistry &registry)
{
    registry.add(QStringLiteral("Strutture narrative (Génette)"), checkGenettePassages);
}

} // namespace morvello

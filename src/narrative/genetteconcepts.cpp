// SPDX-License-Identifier: GPL-3.0-or-later
#include "genetteconcepts.h"

namespace morvello {

QString GenetteConcept::exerciseFile(int i) const
{
    return QStringLiteral("permorvello\\genette\\%1%2.rtf").arg(filePrefix).arg(i);
}

int genetteConceptIndex(const QString &name)
{
    const QVector<GenetteConcept> &all = genetteConcepts();
    for (int i = 0; i < all.size(); ++i)
        if (all.at(i).concetto == name)
            return i;
    return -1;
}

QStringList genetteExerciseFiles()
{
    QStringList files;
    for (const GenetteConcept &c : genetteConcepts())
        for (int i = 1; i <= c.exercises(); ++i)
            files.append(c.exerciseFile(i));
    return files;
}

} // namespace morvello

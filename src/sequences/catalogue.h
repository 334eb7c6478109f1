// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace morvello {

// One sequence of a passage: its text as shown, the estimate of characters a
// line used for the row height, and the name of its correct type (spelled as
// the caption of one of the type labels).
struct SequenceItem {
    QString text;
    int divisor = 70;
    QString type;
};

// One passage of a chooser: the chooser entry that names it, the source line
// under the passage (none for some expository texts) and 4 to 6 sequences.
struct CatalogueText {
    QString choice;
    std::optional<QString> source;
    QVector<SequenceItem> sequences;
};

// Both catalogues are written at build time from content/sequenze/*.dati.
struct Catalogue {
    QStringList types;             // type vocabulary, the captions of the type labels
    QVector<CatalogueText> texts;  // numbered 1.. in chooser order
};

const Catalogue &expositoryCatalogue();
const Catalogue &narrativeCatalogue();

} // namespace morvello

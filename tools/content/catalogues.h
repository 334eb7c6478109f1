// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace morvello::content {

// The catalogues of content/*/*.dati (content/FORMAT.md): the keys, titles,
// choices and passages the program is built with, and the notes the
// reviewers' KEYS.md files are written from.

// One "key: value" line of a card.
struct Field {
    QString key;
    QString value;
    int line = 0;
};

// A "[kind]" heading and the lines under it; the lines before the first
// heading make a card of kind "".
struct Card {
    QString kind;
    int line = 0;
    QList<Field> fields;

    QString value(const QString &key) const; // the first, or empty
    QStringList values(const QString &key) const;
};

// Parses a catalogue file. On failure returns false and sets error to an
// Italian message beginning "riga N: ".
bool parseCards(const QByteArray &utf8, QList<Card> *out, QString *error);

struct PassageSequence {
    QString type;
    int divisor = 70;
    QString text;
};

struct Passage {
    QString choice;
    std::optional<QString> source;
    QList<PassageSequence> sequences;
};

struct PassageCatalogue {
    Card head;
    QStringList types;
    QList<Passage> passages;
};

struct Story {
    Card card;
    QString title;
    QString file; // the source's name without .txt
    QString help;
    QString source;
    int sequences = 0;
};

struct Concept {
    Card card;
    QString name;    // the button's caption and the concept's value
    QString caption; // the heading above the passage
    QString prefix;  // exercise i is genette/<prefix><i>
    QString problem;
    QStringList options;
    QList<int> key;       // right option of exercise 1, 2, ...
    QList<Card> exercises;
};

struct PoemEntry {
    Card card;
    QString file;
    QString title;
    QString source;
    QStringList boxes; // the right device of box 0, 1, ...
    int lessico = 0, versi = 0, rime = 0, musicalita = 0;
    int meaning = 0;
    QStringList sentences;
};

struct Figure {
    Card card;
    QString name;   // the option's caption
    QString prefix; // example k is <prefix><k>
    int definition = -1;
    QString definitionText;
    std::array<int, 3> draws{};
};

struct Catalogues {
    PassageCatalogue expository, narrative;
    Card storiesHead, conceptsHead, poemsHead, figuresHead;
    QList<Story> stories;
    QList<Concept> concepts;
    QList<PoemEntry> poems;
    QList<Figure> figures; // in the order of the option buttons
    QStringList errors;    // "genette/catalogo.dati, riga 4: ..."
};

// Which catalogues to read: each library of the program is built from two.
enum class CatalogueSet { Sequences = 1, Narrative = 2, Poetry = 4, All = 7 };

Catalogues readCatalogues(const QString &contentDir, CatalogueSet which = CatalogueSet::All);

// The C++ source of one library's tables.
QByteArray cppTables(const Catalogues &c, CatalogueSet library);

// The reviewers' notes: path relative to the content folder, and text.
QList<QPair<QString, QByteArray>> keyFiles(const Catalogues &c, const QString &contentDir);

} // namespace morvello::content

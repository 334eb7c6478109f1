// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace morvello::content {

// Every source of a content folder turned into the files of the data folder.

struct GeneratedFile {
    QString path; // relative to the data folder, '/'-separated: "genette/ordine1.rtf"
    QByteArray data;
};

struct Generation {
    QString sourceDir;
    QList<GeneratedFile> files; // sorted by path
    QList<GeneratedFile> notes; // the reviewers' KEYS*.md, relative to sourceDir
    QStringList errors;         // "storie/ilgattonero.txt, riga 3: ..."
};

// Reads every .txt below sourceDir and the catalogues (*.dati); other files
// are ignored.
Generation generateAll(const QString &sourceDir);

// Writes the files into outDir, leaving alone those that already hold the
// same bytes. Returns the files it could not write.
QStringList writeAll(const Generation &g, const QString &outDir);

// Writes the reviewers' notes beside their catalogues; returns the files it
// could not write.
QStringList writeNotes(const Generation &g);
// The notes that differ from what the catalogues give, and KEYS*.md files no
// catalogue gives.
QStringList compareNotes(const Generation &g);

// What differs between the generation and outDir: files missing or with
// other bytes, and .rtf files no source produces. Empty when all agree.
QStringList compareAll(const Generation &g, const QString &outDir);

} // namespace morvello::content

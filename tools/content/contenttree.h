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
    QList<GeneratedFile> files; // sorted by path
    QStringList errors;         // "storie/ilgattonero.txt, riga 3: ..."
};

// Reads every .txt below sourceDir (other files are ignored).
Generation generateAll(const QString &sourceDir);

// Writes the files into outDir, leaving alone those that already hold the
// same bytes. Returns the files it could not write.
QStringList writeAll(const Generation &g, const QString &outDir);

// What differs between the generation and outDir: files missing or with
// other bytes, and .rtf files no source produces. Empty when all agree.
QStringList compareAll(const Generation &g, const QString &outDir);

} // namespace morvello::content

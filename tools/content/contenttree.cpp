// SPDX-License-Identifier: GPL-3.0-or-later
#include "contenttree.h"

#include "catalogues.h"
#include "contentsource.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>

namespace morvello::content {

namespace {

QByteArray readFile(const QString &path, bool *ok)
{
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? f.readAll() : QByteArray();
}

// The catalogue's sequence count for a story file name, or 0.
int catalogueSequences(const Catalogues &c, const QString &name)
{
    for (const Story &s : c.stories) {
        if (s.file == name)
            return s.sequences;
    }
    return 0;
}

bool usesColours(const Source &s)
{
    if (s.header.colour)
        return true;
    for (const Paragraph &p : s.paragraphs) {
        for (const Run &r : p.runs) {
            if (r.style.colour || r.style.highlight)
                return true;
        }
    }
    return false;
}

} // namespace

Generation generateAll(const QString &sourceDirGiven)
{
    // Relative names are counted from the folder itself, so work on its absolute path.
    const QString sourceDir = QFileInfo(sourceDirGiven).absoluteFilePath();
    Generation g;
    g.sourceDir = sourceDir;
    const Catalogues catalogues = readCatalogues(sourceDir);
    g.errors = catalogues.errors;
    QMap<QString, QByteArray> files;
    QMap<QString, QString> producer;
    QStringList sources;
    QDirIterator it(sourceDir, {QStringLiteral("*.txt")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        sources.append(QDir(sourceDir).relativeFilePath(it.next()));
    sources.sort();

    auto emitFile = [&](const QString &source, const QString &path, const QByteArray &data) {
        const QString key = path.toLower();
        if (producer.contains(key)) {
            g.errors.append(QStringLiteral("%1: anche %2 produce %3").arg(source, producer.value(key), path));
            return;
        }
        producer.insert(key, source);
        files.insert(path, data);
    };

    for (const QString &rel : sources) {
        const QStringList parts = rel.split(QLatin1Char('/'));
        if (parts.size() > 2) {
            g.errors.append(QStringLiteral("%1: le sorgenti stanno in una sola cartella sotto content/").arg(rel));
            continue;
        }
        const QString folder = parts.size() == 2 ? parts.first() : QString();
        QString name = parts.last();
        name.chop(4);
        bool ok = false;
        const QByteArray bytes = readFile(QDir(sourceDir).filePath(rel), &ok);
        if (!ok) {
            g.errors.append(QStringLiteral("%1: il file non si legge").arg(rel));
            continue;
        }
        Source source;
        QString error;
        if (!parseSource(bytes, &source, &error)) {
            g.errors.append(QStringLiteral("%1, %2").arg(rel, error));
            continue;
        }
        const QString outDir = folder == QLatin1String("genette") ? QStringLiteral("genette/") : QString();
        if (!source.hasSequences()) {
            emitFile(rel, outDir + name + QStringLiteral(".rtf"), writeRtf(source, Output::Plain));
            continue;
        }
        if (folder != QLatin1String("storie")) {
            g.errors.append(QStringLiteral("%1: <seq> vale solo per le storie, in content/storie/").arg(rel));
            continue;
        }
        if (usesColours(source)) {
            g.errors.append(QStringLiteral("%1: una storia non ha colori propri (@color, <c>, <h>): "
                                           "il testo è bianco, la soluzione ha i colori delle sequenze")
                                .arg(rel));
            continue;
        }
        const int expected = catalogueSequences(catalogues, name);
        if (expected == 0) {
            g.errors.append(QStringLiteral("%1: %2 non è una storia del catalogo").arg(rel, name));
            continue;
        }
        if (expected != source.sequenceCount) {
            g.errors.append(QStringLiteral("%1: %2 sequenze, il catalogo ne prevede %3")
                                .arg(rel)
                                .arg(source.sequenceCount)
                                .arg(expected));
            continue;
        }
        emitFile(rel, name + QStringLiteral(".rtf"), writeRtf(source, Output::Story));
        emitFile(rel, name + QStringLiteral("col.rtf"), writeRtf(source, Output::Solution));
    }
    for (auto f = files.cbegin(); f != files.cend(); ++f)
        g.files.append(GeneratedFile{f.key(), f.value()});
    if (catalogues.errors.isEmpty()) {
        for (const auto &k : keyFiles(catalogues, sourceDir))
            g.notes.append(GeneratedFile{k.first, k.second});
    }
    return g;
}

namespace {

QStringList writeFiles(const QList<GeneratedFile> &files, const QString &outDir)
{
    QStringList failed;
    for (const GeneratedFile &f : files) {
        const QString path = QDir(outDir).filePath(f.path);
        bool ok = false;
        if (readFile(path, &ok) == f.data && ok)
            continue;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(f.data) != f.data.size() || !out.commit())
            failed.append(QStringLiteral("%1: non riesco a scriverlo").arg(f.path));
    }
    return failed;
}

QStringList compareFiles(const QList<GeneratedFile> &files, const QString &dir)
{
    QStringList differences;
    for (const GeneratedFile &f : files) {
        bool ok = false;
        const QByteArray existing = readFile(QDir(dir).filePath(f.path), &ok);
        if (!ok)
            differences.append(QStringLiteral("%1: manca").arg(f.path));
        else if (existing != f.data)
            differences.append(QStringLiteral("%1: è diverso da quello che scrive lo strumento").arg(f.path));
    }
    return differences;
}

} // namespace

QStringList writeAll(const Generation &g, const QString &outDir)
{
    return writeFiles(g.files, outDir);
}

QStringList writeNotes(const Generation &g)
{
    return writeFiles(g.notes, g.sourceDir);
}

QStringList compareNotes(const Generation &g)
{
    QStringList differences = compareFiles(g.notes, g.sourceDir);
    QStringList produced;
    for (const GeneratedFile &f : g.notes)
        produced.append(f.path);
    QDirIterator it(g.sourceDir, {QStringLiteral("KEYS*.md")}, QDir::Files, QDirIterator::Subdirectories);
    QStringList existing;
    while (it.hasNext())
        existing.append(QDir(g.sourceDir).relativeFilePath(it.next()));
    existing.sort();
    for (const QString &rel : existing) {
        if (!produced.contains(rel))
            differences.append(QStringLiteral("%1: nessuna scheda lo produce").arg(rel));
    }
    return differences;
}

QStringList compareAll(const Generation &g, const QString &outDirGiven)
{
    const QString outDir = QFileInfo(outDirGiven).absoluteFilePath();
    QStringList differences = compareFiles(g.files, outDir);
    QStringList produced;
    for (const GeneratedFile &f : g.files)
        produced.append(f.path);
    QStringList existing;
    QDirIterator it(outDir, {QStringLiteral("*.rtf")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        existing.append(QDir(outDir).relativeFilePath(it.next()));
    existing.sort();
    for (const QString &rel : existing) {
        if (!produced.contains(rel))
            differences.append(QStringLiteral("%1: nessuna sorgente lo produce").arg(rel));
    }
    return differences;
}

} // namespace morvello::content

// SPDX-License-Identifier: GPL-3.0-or-later
// morvello-content: turns the UTF-8 content sources (content/FORMAT.md) into
// the RTF files of the data folder, the reviewers' KEYS.md files and the C++
// tables the program is built with.
//
//   morvello-content SRC_DIR OUT_DIR           writes every RTF file and every
//                                              KEYS.md that changed
//   morvello-content --check SRC_DIR OUT_DIR   writes nothing; lists the files
//                                              that differ from what the
//                                              sources give
//   morvello-content --tables LIBRARY SRC_DIR OUT.cpp
//                                              writes one library's tables
//                                              (sequences, narrative, poetry);
//                                              the build runs this
//
// Exit code 0 when all is well, 1 on a source error or a difference, 2 on bad
// usage.

#include "content/catalogues.h"
#include "content/contenttree.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

using namespace morvello::content;

namespace {

void printLines(const QStringList &lines, FILE *to)
{
    for (const QString &l : lines)
        std::fprintf(to, "%s\n", l.toUtf8().constData());
}

int usage()
{
    std::fputs("Uso: morvello-content [--check] CARTELLA_SORGENTI CARTELLA_DATI\n"
               "     morvello-content --tables sequences|narrative|poetry CARTELLA_SORGENTI FILE.cpp\n",
               stderr);
    return 2;
}

int tables(const QStringList &args)
{
    static const QList<QPair<QString, CatalogueSet>> libraries{{QStringLiteral("sequences"), CatalogueSet::Sequences},
                                                               {QStringLiteral("narrative"), CatalogueSet::Narrative},
                                                               {QStringLiteral("poetry"), CatalogueSet::Poetry}};
    if (args.size() != 3 || !QFileInfo(args.at(1)).isDir())
        return usage();
    for (const auto &l : libraries) {
        if (l.first != args.at(0))
            continue;
        const Catalogues c = readCatalogues(args.at(1), l.second);
        if (!c.errors.isEmpty()) {
            printLines(c.errors, stderr);
            return 1;
        }
        QSaveFile out(args.at(2));
        const QByteArray data = cppTables(c, l.second);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.commit()) {
            printLines({QStringLiteral("%1: non riesco a scriverlo").arg(args.at(2))}, stderr);
            return 1;
        }
        return 0;
    }
    return usage();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == QLatin1String("--tables"))
        return tables(args.mid(1));
    const bool check = !args.isEmpty() && args.first() == QLatin1String("--check");
    if (check)
        args.removeFirst();
    if (args.size() != 2 || !QFileInfo(args.at(0)).isDir())
        return usage();

    const Generation g = generateAll(args.at(0));
    if (!g.errors.isEmpty()) {
        printLines(g.errors, stderr);
        return 1;
    }
    if (check) {
        const QStringList differences = compareAll(g, args.at(1)) + compareNotes(g);
        printLines(differences, stdout);
        return differences.isEmpty() ? 0 : 1;
    }
    const QStringList failed = writeAll(g, args.at(1)) + writeNotes(g);
    printLines(failed, stderr);
    return failed.isEmpty() ? 0 : 1;
}

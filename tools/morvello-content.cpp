// SPDX-License-Identifier: GPL-3.0-or-later
// morvello-content: turns the UTF-8 content sources (content/FORMAT.md) into
// the RTF files of the data folder.
//
//   morvello-content SRC_DIR OUT_DIR           writes every file that changed
//   morvello-content --check SRC_DIR OUT_DIR   writes nothing; lists the files
//                                              of OUT_DIR that differ from what
//                                              the sources give
//
// Exit code 0 when all is well, 1 on a source error or a difference, 2 on bad
// usage.

#include "content/contenttree.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

using namespace morvello::content;

namespace {

void printLines(const QStringList &lines, FILE *to)
{
    for (const QString &l : lines)
        std::fprintf(to, "%s\n", l.toUtf8().constData());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool check = !args.isEmpty() && args.first() == QLatin1String("--check");
    if (check)
        args.removeFirst();
    if (args.size() != 2 || !QFileInfo(args.at(0)).isDir()) {
        std::fputs("Uso: morvello-content [--check] CARTELLA_SORGENTI CARTELLA_DATI\n", stderr);
        return 2;
    }

    const Generation g = generateAll(args.at(0));
    if (!g.errors.isEmpty()) {
        printLines(g.errors, stderr);
        return 1;
    }
    if (check) {
        const QStringList differences = compareAll(g, args.at(1));
        printLines(differences, stdout);
        return differences.isEmpty() ? 0 : 1;
    }
    const QStringList failed = writeAll(g, args.at(1));
    printLines(failed, stderr);
    return failed.isEmpty() ? 0 : 1;
}

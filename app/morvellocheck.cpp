// SPDX-License-Identifier: GPL-3.0-or-later
// morvello-check: reads the content files of the data folder the way the
// program does and says, one Italian line each, what would not work.
//
//   morvello-check [CARTELLA]
//
// CARTELLA is the folder that holds permorvello (the one the program starts
// from) or permorvello itself; by default the current folder.
// Exit code 0 when everything is in order, 1 when a problem was found, 2 on
// bad usage.

#include "core/datapaths.h"
#include "shell/activities.h"
#include "text/contentcheck.h"
#include "storage/database.h"
#include "storage/datafolder.h"
#include "storage/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>

#include <cstdio>

using namespace morvello;

namespace {

// The results archive's rows whose names a person reads as one pupil's: the
// program leaves them as they are, for a teacher to join or rename. Read
// only: the checker never changes the archive.
void addArchiveChecks(ContentCheckRegistry &registry)
{
    registry.add(QStringLiteral("Archivio dei risultati"), [](CheckReport &r) {
        const QString file = schema::resultsFile();
        const QString path = r.pathOf(file);
        if (!QFileInfo::exists(path))
            return; // made at the program's first start
        r.noteFile(file);
        DbError error;
        std::unique_ptr<Database> db = Database::openForReading(path, &error);
        if (!db) {
            r.add(CheckProblem::Unreadable, file, QStringLiteral("l'archivio non si legge: %1").arg(error.message));
            return;
        }
        for (const QString &names : rowsNeedingALook(*db, &error))
            r.add(file, QStringLiteral("le righe %1 hanno nomi che si leggono come un solo alunno: unirle o "
                                       "rinominarle")
                            .arg(names));
        if (error.isError())
            r.add(CheckProblem::Unreadable, file, QStringLiteral("l'archivio non si legge: %1").arg(error.message));
    });
}

void print(FILE *to, const QString &line)
{
    std::fprintf(to, "%s\n", line.toUtf8().constData());
}

} // namespace

int main(int argc, char **argv)
{
    // No window: it runs where there is no display too.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() > 1 || (args.size() == 1 && args.first().startsWith(QLatin1Char('-')))) {
        print(stderr, QStringLiteral("Uso: morvello-check [CARTELLA]"));
        print(stderr, QStringLiteral("CARTELLA è quella che contiene %1 (di solito quella del programma).")
                          .arg(dataFolderName()));
        return 2;
    }

    QString base = args.isEmpty() ? QDir::currentPath() : QDir(args.first()).absolutePath();
    if (!QFileInfo(base).isDir()) {
        print(stderr, QStringLiteral("La cartella %1 non esiste.").arg(QDir::toNativeSeparators(base)));
        return 2;
    }
    if (!dataPathExists(dataFolderName(), base)
        && QDir(base).dirName().compare(dataFolderName(), Qt::CaseInsensitive) == 0)
        base = QFileInfo(base).absolutePath();
    if (!dataPathExists(dataFolderName(), base)) {
        print(stdout, QStringLiteral("In %1 non c'è la cartella %2: indica la cartella che la contiene.")
                          .arg(QDir::toNativeSeparators(base), dataFolderName()));
        return 1;
    }

    ContentCheckRegistry registry;
    addArchiveChecks(registry);
    addContentChecks(registry);
    CheckReport report(base);
    registry.run(report);

    for (const CheckProblem &p : report.problems())
        print(stdout, problemLine(p));
    if (report.clean()) {
        print(stdout, QStringLiteral("Tutto a posto: %1 file controllati, nessun problema.").arg(report.filesChecked()));
        return 0;
    }
    const qsizetype n = report.problems().size();
    const QString found = n == 1 ? QStringLiteral("Trovato un problema") : QStringLiteral("Trovati %1 problemi").arg(n);
    print(stdout, QStringLiteral("%1 in %2 file controllati.").arg(found).arg(report.filesChecked()));
    return 1;
}

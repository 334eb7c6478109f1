// morvello-check: reads the content files of the data folder the way the
// program does and says, one Italian line each, what would not work.
//
//   morvello-check [CARTELLA]
//
// CARTELLA is the folder that holds permorvello (the one the program starts
// from) or permorvello itself; by default the current folder.
// Exit code 0 when everything is in order, 1 when a problem was found, 2 on
// bad usage.

#include "narrative/genettechecks.h"
#include "narrative/storychecks.h"
#include "poetry/poesiachecks.h"
#include "text/contentcheck.h"
#include "core/datapaths.h"
#include "poetry/metaforechecks.h"

#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>

#include <cstdio>

using namespace morvello;

namespace {

// Every activity whose files lie in the data folder adds its checks here.
void addAllChecks(ContentCheckRegistry &registry)
{
    addPictureChecks(registry);
    addStoryChecks(registry);
    addGenetteChecks(registry);
    addFigureChecks(registry);
    addPoemChecks(registry);
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
    addAllChecks(registry);
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
